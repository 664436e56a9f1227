#pragma once
// Documents handed to the desktop's applications (a Word document, the chart
// workbook): written as new files in the user's cache folder, to be opened
// there with the application registered for their type (by the windows),
// never overwritten or deleted (the application may still hold them).
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

// Writes `bytes` as a new document "<stem>-<date-time>.<extension>" in the
// documents folder (made when missing) and returns its path. A folder or file
// that cannot be made or written raises a FileError with the path and the
// system's reason; nothing is left of a file cut short.
QString writeNewDocument(const QString& stem, const QString& extension, const QByteArray& bytes);

} // namespace prolis::out
