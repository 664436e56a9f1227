#include "DocumentFiles.h"

#include "core/Errors.h"
#include "core/UiServices.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace prolis::out {

QString documentsFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + QStringLiteral("/documents");
}

QString safeFileName(const QString& text) {
    QString out;
    for (QChar c : text) {
        const bool keep =
            c.isLetterOrNumber() || c == u'-' || c == u'_' || c == u'.' || c == u'(' || c == u')';
        out += keep ? c : QLatin1Char('_');
    }
    while (out.startsWith(QLatin1Char('.')))
        out.replace(0, 1, QLatin1Char('_'));
    return out.left(80);
}

QString newDocumentPath(const QString& folder, const QString& stem, const QString& extension,
                        const QDateTime& when) {
    const QString base = folder + QLatin1Char('/') + stem + QLatin1Char('-') +
                         when.toString(QStringLiteral("yyyy-MM-dd-HHmmss"));
    QString path = base + QLatin1Char('.') + extension;
    for (int n = 2; QFile::exists(path); ++n)
        path = base + QLatin1Char('-') + QString::number(n) + QLatin1Char('.') + extension;
    return path;
}

OutputResult handOverDocument(const QString& mimeType, const QString& missing, const QString& stem,
                              const QString& extension, const std::function<QByteArray()>& build) {
    if (!ui().hasApplicationFor(mimeType)) {
        showMessage(missing);
        return OutputResult::Unavailable;
    }
    const QByteArray bytes = build();
    const QString folder = documentsFolder();
    QDir().mkpath(folder);
    // A new file every time: an application may still hold an earlier one.
    QString path;
    QFile file;
    for (int attempt = 0; attempt < 100; ++attempt) {
        path = newDocumentPath(folder, stem, extension, QDateTime::currentDateTime());
        file.setFileName(path);
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) break;
        if (file.exists()) continue; // taken a moment ago: the next name
        throw Error(QStringLiteral("Dokument %1 nelze zapsat: %2").arg(path, file.errorString()));
    }
    if (!file.isOpen())
        throw Error(QStringLiteral("Dokument %1 nelze zapsat: %2").arg(path, file.errorString()));
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const QString reason = file.errorString();
        file.close();
        QFile::remove(path); // cut short: no one has opened it yet
        throw Error(QStringLiteral("Dokument %1 nelze zapsat: %2").arg(path, reason));
    }
    file.close();
    const QString failure = ui().openDocument(path);
    if (!failure.isEmpty()) throw Error(QStringLiteral("Dokument %1 nelze otevřít: %2").arg(path, failure));
    return OutputResult::Done;
}

} // namespace prolis::out
