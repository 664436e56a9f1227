#pragma once
// The system's 8-bit files are Windows-1250 text.
#include <QByteArray>
#include <QString>

namespace prolis {

// What to do with a control character (C0, DEL) in the text.
enum class Controls {
    Keep,    // written as its byte
    Replace, // written as "?", like a character outside the code page
};

// Characters outside the code page become "?", each on its own: the
// characters after one of them are written as usual.
QByteArray toCp1250(const QString& text, Controls controls = Controls::Keep);
QString fromCp1250(const QByteArray& bytes);

// The text with every character that XML 1.0 does not allow (C0 controls
// other than tab, LF and CR; U+FFFE, U+FFFF; lone surrogates) replaced by
// U+FFFD, so that a document or workbook part stays well-formed.
QString xmlSafe(const QString& text);

} // namespace prolis
