#pragma once
// The desktop's applications for a type of file, as the desktop's own
// associations (the mimeapps.list files and the installed .desktop entries)
// name them, read in-process through GIO: no helper program per question.
#include <QString>

namespace prolis {

// The name of the desktop's default application for a MIME type, or an
// empty text when there is none.
QString defaultApplicationFor(const QString& mimeType);

// Opens a file with the default application of `mimeType` (or of the file's
// own type when `mimeType` is empty), or a web address with the browser:
// an empty text when the application was started, otherwise why not.
QString openWithDefaultApplication(const QString& target, const QString& mimeType = {});

} // namespace prolis
