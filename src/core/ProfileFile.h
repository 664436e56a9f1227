#pragma once
// A small reader and writer of profile ("ini") files in the manner of the
// platform's profile functions: section and key names without regard to case,
// blanks around names and values ignored, one pair of enclosing quotes removed,
// at most 2047 characters of a value. A write replaces the key's line or adds
// the key (and its section) and keeps every other line byte for byte; added
// lines end with CR LF. The file is Windows-1250 text.
#include <QString>

namespace prolis::profile {

// A settings file larger than this, or one that is not a regular file (a
// pipe, a device), cannot be read: SettingsError saying why in Czech
// (readFailure: too large, not a regular file, the system's reason).
inline constexpr qint64 MaxFileSize = 1024 * 1024;

constexpr int MaxValueLength = 2047;

// The value of key in section, or `fallback` when the file, section or key is
// missing. Raises SettingsError when the file exists but cannot be read.
QString readString(const QString& path, const QString& section, const QString& key,
                   const QString& fallback = {});

// The integer of key: decimal with an optional sign, or hexadecimal with
// "0x" or "$"; `fallback` when missing or not such a number.
int readInteger(const QString& path, const QString& section, const QString& key, int fallback = 0);

// Writes key=value into section, creating the file when missing. Raises
// SettingsError "Unable to write to %s" with the full path on failure.
void writeString(const QString& path, const QString& section, const QString& key, const QString& value);
void writeInteger(const QString& path, const QString& section, const QString& key, int value);

} // namespace prolis::profile
