#include "Journal.h"

#include "UnitsProject.h"
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

Journal* g_runJournal = nullptr;
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
    const qint64 pid = QCoreApplication::applicationPid();
    m_path = QStringLiteral("%1/journal-%2.prolis").arg(m_folder).arg(pid);
    // Only this program can hold the lock of its own process number; one
    // left there belongs to an ended run that had the same number.
    m_lock = std::make_unique<QLockFile>(lockOf(m_path));
    m_lock->setStaleLockTime(0);
    if (!m_lock->tryLock(0)) {
        m_lock->removeStaleLockFile();
        QFile::remove(lockOf(m_path));
        m_lock->tryLock(0);
    }
    // That run's journal is not ours to overwrite: it is moved where it is
    // offered like any other.
    if (QFileInfo::exists(m_path)) {
        QString moved;
        for (int n = 1; moved.isEmpty() || QFileInfo::exists(moved); ++n)
            moved = QStringLiteral("%1/journal-%2-%3.prolis").arg(m_folder).arg(pid).arg(n);
        QFile::rename(m_path, moved);
    }
}

Journal::~Journal() {
    if (g_runJournal == this) g_runJournal = nullptr;
}

QStringList Journal::orphans() {
    QStringList out;
    for (const auto& [path, lock] : m_claimed)
        out << path;
    const QDir dir(m_folder);
    for (const QString& name : dir.entryList({QStringLiteral("journal-*.prolis")}, QDir::Files, QDir::Name)) {
        const QString path = dir.filePath(name);
        if (path == m_path || out.contains(path)) continue;
        // A lock whose program runs is held; one of a program that is gone
        // (or no lock at all) is taken here and kept.
        auto lock = std::make_unique<QLockFile>(lockOf(path));
        lock->setStaleLockTime(0);
        if (!lock->tryLock(0)) continue;
        // Claimed: is it still there (another Prolis may have just taken it)?
        if (!QFileInfo::exists(path)) continue;
        out << path;
        m_claimed.emplace_back(path, std::move(lock));
    }
    out.sort();
    return out;
}

QString Journal::write(const project::Project& p) {
    m_buffer.resize(0);
    project::appendProjectJson(p, m_buffer);
    QString reason;
    if (writeWholeFile(m_path, m_buffer, &reason)) {
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

void Journal::adopt(const QString& orphan) {
    QFile::remove(orphan);
    release(orphan);
}

QString Journal::putAside(const QString& orphan) {
    const QString stamp = QFileInfo(orphan).lastModified().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString target = QStringLiteral("%1/journal-aside-%2.prolis.old").arg(m_folder, stamp);
    for (int n = 2; QFileInfo::exists(target); ++n)
        target = QStringLiteral("%1/journal-aside-%2-%3.prolis.old").arg(m_folder, stamp).arg(n);
    QFile::rename(orphan, target);
    release(orphan);
    const QDir dir(m_folder);
    const QStringList aside = dir.entryList({QStringLiteral("journal-aside-*.prolis.old")}, QDir::Files,
                                            QDir::Name | QDir::Reversed);
    for (qsizetype i = 5; i < aside.size(); ++i)
        QFile::remove(dir.filePath(aside[i]));
    return target;
}

void Journal::release(const QString& orphan) {
    for (auto it = m_claimed.begin(); it != m_claimed.end(); ++it)
        if (it->first == orphan) {
            it->second->unlock(); // removes the lock file
            m_claimed.erase(it);
            return;
        }
    QFile::remove(lockOf(orphan));
}

void installRunJournal(Journal* journal) {
    g_runJournal = journal;
}

Journal* runJournal() {
    return g_runJournal;
}

QString keepUnits() {
    return startKeepingUnits().get();
}

std::future<QString> startKeepingUnits() {
    if (!g_runJournal) {
        std::promise<QString> nothing;
        nothing.set_value(QString());
        return nothing.get_future();
    }
    // The copy shares the texts with the histories (they are not changed
    // before the caller waits); the journal is only ever written from here.
    return std::async(std::launch::async,
                      [journal = g_runJournal, p = project::projectOf(fwd::forwardUnit(), bwd::backwardUnit())] {
                          return journal->write(p);
                      });
}

} // namespace prolis::journal
