#include "ConnectionSettings.h"

#include "core/FileIo.h"
#include "core/ProfileFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace prolis {

namespace {
QString g_pathOverride;
}

ConnectionSettings& connectionSettings() {
    static ConnectionSettings settings;
    return settings;
}

void setSettingsFilePathOverride(const QString& path) {
    g_pathOverride = path;
}

QString userSettingsFilePath() {
    return QDir::cleanPath(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                           QStringLiteral("/Prolis/prolis.ini"));
}

namespace {
// Whether this user may change the file: an administrator's read-only file
// (no write bit at all) counts as not to be changed, even for root.
bool mayChange(const QFileInfo& info) {
    return info.isWritable() &&
           (info.permissions() & (QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther));
}
} // namespace

QString settingsFileIn(const QString& programFolder, const QString& fileName) {
    const QString beside = programFolder + QLatin1Char('/') + fileName;
    const QFileInfo info(beside);
    if (!info.exists()) return userSettingsFilePath();
    // A file beside the program that may not be changed is where the
    // settings come from until the user saves his own: then his are read.
    if (!mayChange(info) && QFileInfo::exists(userSettingsFilePath())) return userSettingsFilePath();
    return beside;
}

QString settingsFilePath() {
    if (!g_pathOverride.isEmpty()) return g_pathOverride;
    const QFileInfo exe(QCoreApplication::applicationFilePath());
    const QString name = exe.fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString base = dot > 0 ? name.left(dot) : name;
    return settingsFileIn(exe.absolutePath(), base + QStringLiteral(".ini"));
}

QString writableSettingsFilePath() {
    const QString path = settingsFilePath();
    if (!g_pathOverride.isEmpty()) return path;
    const QFileInfo info(path);
    // A file beside the program that this user may not change: the user's own.
    return info.exists() && !mayChange(info) ? userSettingsFilePath() : path;
}

QByteArray settingsTemplate() {
    return QByteArrayLiteral("[Database]\r\nHostName=\r\nPort=\r\nDatabase=\r\nUser=\r\n");
}

bool writeSettingsTemplate(const QString& path) {
    // The user's folder may not exist yet.
    return QDir().mkpath(QFileInfo(path).absolutePath()) && writeWholeFile(path, settingsTemplate());
}

void readSettingsFile(const QString& path, ConnectionSettings& s) {
    s.HostName = profile::readString(path, SettingsSection, QStringLiteral("HostName"));
    s.Port = profile::readInteger(path, SettingsSection, QStringLiteral("Port"), 0);
    s.Database = profile::readString(path, SettingsSection, QStringLiteral("Database"));
    s.User = profile::readString(path, SettingsSection, QStringLiteral("User"));
}

bool readConnectionSettings() {
    ConnectionSettings& s = connectionSettings();
    s.Password.clear();
    try {
        const QString path = settingsFilePath();
        if (!QFileInfo::exists(path)) return false;
        readSettingsFile(path, s);
        return true;
    } catch (const std::exception&) {
        s = ConnectionSettings{};
        return false;
    }
}

} // namespace prolis
