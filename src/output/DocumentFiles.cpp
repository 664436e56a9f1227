#include "DocumentFiles.h"

#include "core/Errors.h"
#include "core/FileIo.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <filesystem>
#include <system_error>

namespace prolis::out {

QString documentsFolder() {
    // Without HOME the cache folder is "/.cache/...": cleaned, never "//".
    return QDir::cleanPath(QStandardPaths::writableLocation(QStandardPaths::CacheLocation) +
                           QStringLiteral("/documents"));
}

QString safeFileName(const QString& text) {
    // At most 80 characters and 160 bytes as the file system writes names
    // (UTF-8): a name of Chinese letters must still fit in 255 bytes with
    // the date, a number and the extension. A pair of surrogates is one
    // character, never cut in two.
    constexpr qsizetype MaxCharacters = 80, MaxBytes = 160;
    QString out;
    qsizetype bytes = 0, characters = 0;
    for (qsizetype i = 0; i < text.size() && characters < MaxCharacters; ++i) {
        QString c(text[i]);
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) c += text[++i];
        const bool keep = c.size() == 1 ? (c[0].isLetterOrNumber() || c[0] == u'-' || c[0] == u'_' ||
                                           c[0] == u'.' || c[0] == u'(' || c[0] == u')')
                                        : QChar::isLetterOrNumber(QChar::surrogateToUcs4(c[0], c[1]));
        if (!keep) c = QStringLiteral("_");
        bytes += QFile::encodeName(c).size();
        if (bytes > MaxBytes) break;
        out += c;
        ++characters;
    }
    while (out.startsWith(QLatin1Char('.')))
        out.replace(0, 1, QLatin1Char('_'));
    return out;
}

namespace {
// A name is taken also by a link that points nowhere.
bool taken(const QString& path) {
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

QString reasonOf(const QFileDevice& file) {
    const QString reason = file.errorString();
    return reason.isEmpty() || reason == QLatin1String("Unknown error") ? QStringLiteral("Disk full")
                                                                        : reason;
}
} // namespace

QString newDocumentPath(const QString& folder, const QString& stem, const QString& extension,
                        const QDateTime& when) {
    const QString base = folder + QLatin1Char('/') + stem + QLatin1Char('-') +
                         when.toString(QStringLiteral("yyyy-MM-dd-HHmmss"));
    QString path = base + QLatin1Char('.') + extension;
    for (int n = 2; taken(path); ++n)
        path = base + QLatin1Char('-') + QString::number(n) + QLatin1Char('.') + extension;
    return path;
}

QString writeNewDocument(const QString& stem, const QString& extension, const QByteArray& bytes) {
    const QString folder = documentsFolder();
    std::error_code made;
    std::filesystem::create_directories(std::filesystem::path(QFile::encodeName(folder).toStdString()), made);
    if (made)
        throw FileError(QStringLiteral("Složku %1 nelze vytvořit: %2")
                            .arg(folder, QString::fromLocal8Bit(made.message())));
    // A new file every time: an application may still hold an earlier one.
    QString path;
    QFile file;
    for (int attempt = 0; attempt < 100; ++attempt) {
        path = newDocumentPath(folder, stem, extension, QDateTime::currentDateTime());
        file.setFileName(path);
        // Unbuffered: a full disk shows in the write's count and reason.
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered)) break;
        if (taken(path)) continue; // taken a moment ago: the next name
        throw FileError(QStringLiteral("Dokument %1 nelze zapsat: %2").arg(path, reasonOf(file)));
    }
    if (!file.isOpen())
        throw FileError(QStringLiteral("Dokument %1 nelze zapsat: %2").arg(path, reasonOf(file)));
    if (!writeAll(file, bytes) || !file.flush()) {
        const QString reason = reasonOf(file);
        file.close();
        QFile::remove(path); // cut short: no one has opened it yet
        throw FileError(QStringLiteral("Dokument %1 nelze zapsat: %2").arg(path, reason));
    }
    file.close();
    if (file.error() != QFileDevice::NoError) {
        const QString reason = reasonOf(file);
        QFile::remove(path);
        throw FileError(QStringLiteral("Dokument %1 nelze zapsat: %2").arg(path, reason));
    }
    return path;
}

} // namespace prolis::out
