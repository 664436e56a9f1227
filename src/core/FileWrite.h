#pragma once
// Writing a whole file so that a failure never leaves it cut short: the bytes
// go to a temporary file beside the target, which replaces the target only
// when everything was written. An existing file stays untouched on failure.
#include <QByteArray>
#include <QString>
#include <functional>

class QIODevice;

namespace prolis {

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
