#pragma once
// The files of the system, read and written in one way with every step
// checked. Reading: only a regular file of a bounded size (a pipe would
// block, a device be read without end). Writing a whole file so that a
// failure never leaves it cut short: the bytes go to a temporary file beside
// the target, which replaces the target only when everything was written; an
// existing file stays untouched on failure.
#include <QByteArray>
#include <QString>
#include <functional>

class QIODevice;

namespace prolis {

// What reading a file gave.
struct FileRead {
    enum Problem { None, Missing, NotRegular, TooLarge, Unreadable };
    Problem problem = None;
    QByteArray bytes; // the whole file when there is no problem
    QString reason;   // the system's reason when Unreadable
    explicit operator bool() const { return problem == None; }
};

// Reads a regular file of at most `maxBytes` (also when it grows meanwhile).
FileRead readBoundedFile(const QString& path, qint64 maxBytes);

// Why a read failed, in Czech, naming the file: missing, not a regular file
// (a folder, a pipe, a device), larger than `maxBytes`, or the system's reason.
QString readFailure(const QString& path, const FileRead& read, qint64 maxBytes);

// Writes all of `bytes`, again after a short write so that a failure sets
// the device's error (and reason) instead of ending in a count cut short.
bool writeAll(QIODevice& device, const QByteArray& bytes);

// True when written; otherwise false with the system's reason in `reason`.
bool writeWholeFile(const QString& path, const QByteArray& bytes, QString* reason = nullptr);

// The same for bytes written piece by piece: `produce` writes them to the
// device and says whether all went well (false leaves the target as it was,
// except for a device or a pipe, which is written in place).
bool writeWholeFile(const QString& path, const std::function<bool(QIODevice&)>& produce,
                    QString* reason = nullptr);

} // namespace prolis
