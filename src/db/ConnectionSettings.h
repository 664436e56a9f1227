#pragma once
// The connection parameters of the material database. The first four live in
// the settings file beside the executable; the password is typed at every load
// and never written anywhere.
#include <QString>
#include <functional>

namespace prolis {

struct ConnectionSettings {
    QString HostName;
    int Port = 0; // 0 = the client library's default port
    QString Database;
    QString User;
    QString Password;
};

// The one process-wide instance.
ConnectionSettings& connectionSettings();

inline const QString SettingsSection = QStringLiteral("Database");
inline const QString MsgSettingsLoadFailed = QStringLiteral(
    "Nepodařilo se načíst konfigurační soubor.\rDatabáze nebude přístupná.\rKontaktujte správce systému.");
inline const QString MsgSettingsCreateFailed =
    QStringLiteral("Nepodařilo se vytvořit konfigurační soubor.\rKontaktujte správce systému.");
inline const QString MsgNoPassword = QStringLiteral("Nezadali jste heslo.\rDatabáze nebude přístupná.");
inline const QString MsgNoConnection = QStringLiteral(
    "Nepodařilo se připojení k databázi.\rDatabáze nebude přístupná.\rKontaktujte správce systému.");

// The executable's full path with its extension replaced by ".ini" (a program
// without an extension gets ".ini" appended). Tests may set another path.
// The user's settings file: $XDG_CONFIG_HOME/Prolis/prolis.ini (~/.config/...).
QString userSettingsFilePath();
// The settings file of a program in `programFolder`: `fileName` beside it
// when there is one (a portable copy, a build folder), else the user's.
QString settingsFileIn(const QString& programFolder, const QString& fileName);
// Where a save of the settings goes: the file read, or the user's when the
// one beside the program may not be changed.
QString writableSettingsFilePath();
QString settingsFilePath();
void setSettingsFilePathOverride(const QString& path);

// The five lines "[Database]", "HostName=", "Port=", "Database=", "User=",
// each ended by CR LF (48 bytes).
QByteArray settingsTemplate();
// Creates the file holding the template; false when it cannot be written.
bool writeSettingsTemplate(const QString& path);

// Reads HostName, Port, Database and User of the file into `s` (the password
// is left alone). Raises SettingsError when the file cannot be read.
void readSettingsFile(const QString& path, ConnectionSettings& s);

// Clears the password and reads the settings file into the process-wide
// settings: false when there is none (the values kept) or it cannot be read
// (all five values cleared).
bool readConnectionSettings();

} // namespace prolis
