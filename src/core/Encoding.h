#pragma once
// The system's 8-bit files are Windows-1250 text.
#include <QByteArray>
#include <QString>

namespace prolis {

// Characters outside the code page become "?".
QByteArray toCp1250(const QString& text);
QString fromCp1250(const QByteArray& bytes);

} // namespace prolis
