#pragma once
// Writing a whole file so that a failure never leaves it cut short: the bytes
// go to a temporary file beside the target, which replaces the target only
// when everything was written. An existing file stays untouched on failure.
#include <QByteArray>
#include <QString>

namespace prolis {

// True when written; otherwise false with the system's reason in `reason`.
bool writeWholeFile(const QString& path, const QByteArray& bytes, QString* reason = nullptr);

} // namespace prolis
