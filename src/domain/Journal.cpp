#include "Journal.h"

#include "core/FileIo.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>

namespace prolis::journal {

namespace {
QString lockOf(const QString& journal) {
    return journal.left(journal.size() - QStringLiteral(".prolis").size()) + QStringLiteral(".lock");
}
} // namespace

QString stateFolder() {
    const QString xdg = qEnvironmentVariable("XDG_STATE_HOME");
    const QString base = !xdg.isEmpty() && QDir::isAbsolutePath(xdg)
                             ? xdg
                             : QDir::homePath() + QStringLiteral("/.local/state");
    return base + QStringLiteral("/Prolis");
}

Journal::Journal(QString folder) : m_folder(std::move(folder)) {
    QDir().mkpath(m_folder);
    m_path = QStringLiteral("%1/journal-%2.prolis").arg(m_folder).arg(QCoreApplication::applicationPid());
    m_lock = std::make_unique<QLockFile>(lockOf(m_path));
    m_lock->setStaleLockTime(0);
    m_lock->tryLock(0);
}

Journal::~Journal() = default;

QStringList Journal::orphans() const {
    QStringList out;
    const QDir dir(m_folder);
    for (const QString& name : dir.entryList({QStringLiteral("journal-*.prolis")}, QDir::Files, QDir::Name)) {
        const QString path = dir.filePath(name);
        if (path == m_path) continue;
        // A lock whose program runs is held; one of a program that is gone
        // (or no lock at all) is taken here at once.
        QLockFile lock(lockOf(path));
        lock.setStaleLockTime(0);
        if (lock.tryLock(0)) {
            lock.unlock();
            out << path;
        }
    }
    return out;
}

QString Journal::write(const project::Project& p) {
    QString reason;
    if (writeWholeFile(m_path, project::projectJson(p), &reason)) {
        m_failed = false;
        return {};
    }
    if (m_failed) return {};
    m_failed = true;
    return QStringLiteral("Výpočty nelze průběžně ukládat: %1: %2").arg(m_path, reason);
}

void Journal::close() {
    QFile::remove(m_path);
    if (m_lock) m_lock->unlock();
}

void Journal::putAside(const QString& orphan) const {
    const QString stamp = QFileInfo(orphan).lastModified().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString target = QStringLiteral("%1/journal-aside-%2.prolis.old").arg(m_folder, stamp);
    for (int n = 2; QFileInfo::exists(target); ++n)
        target = QStringLiteral("%1/journal-aside-%2-%3.prolis.old").arg(m_folder, stamp).arg(n);
    QFile::rename(orphan, target);
    QFile::remove(lockOf(orphan));
    const QDir dir(m_folder);
    const QStringList aside = dir.entryList({QStringLiteral("journal-aside-*.prolis.old")}, QDir::Files,
                                            QDir::Name | QDir::Reversed);
    for (qsizetype i = 5; i < aside.size(); ++i)
        QFile::remove(dir.filePath(aside[i]));
}

project::ReadProject Journal::take(const QString& orphan) {
    const FileRead file = readBoundedFile(orphan, project::MaxProjectFileSize);
    if (!file) return {std::nullopt, readFailure(orphan, file, project::MaxProjectFileSize)};
    project::ReadProject read = project::readProject(file.bytes, orphan);
    if (read.project) {
        QFile::remove(orphan);
        QFile::remove(lockOf(orphan));
    }
    return read;
}

} // namespace prolis::journal
