#pragma once
// Documents handed to the desktop's applications (a Word document, the chart
// workbook): written as new files in the user's cache folder and opened there
// with the application registered for their type, never overwritten or
// deleted (the application may still hold them).
#include "Outputs.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <functional>

namespace prolis::out {

inline const QString WordMimeType =
    QStringLiteral("application/vnd.openxmlformats-officedocument.wordprocessingml.document");
inline const QString SpreadsheetMimeType =
    QStringLiteral("application/vnd.openxmlformats-officedocument.spreadsheetml.sheet");
inline const QString MsgNoWord = QStringLiteral("MS Word není nainstalovaný.\rUložení dokumentu není možné");
inline const QString MsgNoExcel =
    QStringLiteral("MS Excel není nainstalovaný.\rUložení dokumentu není možné");

// The folder of the handed-over documents: "documents" in the cache folder.
QString documentsFolder();
// A text made safe for a file name: letters, digits, "-", "_", "." and "(" ")"
// stay, every other character becomes "_".
QString safeFileName(const QString& text);
// "<folder>/<stem>-YYYY-MM-DD-HHMMSS.<extension>", with "-2", "-3", ... before
// the extension when such a file exists.
QString newDocumentPath(const QString& folder, const QString& stem, const QString& extension,
                        const QDateTime& when);

// The hand-over: without an application for `mimeType` the plain message
// `missing` and nothing else (Unavailable); otherwise the bytes `build`
// makes are written to a new file that is then opened (Done). A file that
// cannot be written or opened raises an Error with the path and the reason.
OutputResult handOverDocument(const QString& mimeType, const QString& missing, const QString& stem,
                              const QString& extension, const std::function<QByteArray()>& build);

} // namespace prolis::out
