#include "FileIo.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace prolis {

FileRead readBoundedFile(const QString& path, qint64 maxBytes) {
    FileRead r;
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists()) {
        r.problem = FileRead::Missing;
        return r;
    }
    if (!info.isFile()) {
        r.problem = FileRead::NotRegular;
        return r;
    }
    if (info.size() > maxBytes) {
        r.problem = FileRead::TooLarge;
        return r;
    }
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        r.problem = FileRead::Unreadable;
        r.reason = f.errorString();
        return r;
    }
    r.bytes = f.read(maxBytes + 1); // it may have grown since
    if (f.error() != QFileDevice::NoError) {
        r.problem = FileRead::Unreadable;
        r.reason = f.errorString();
        r.bytes.clear();
    } else if (r.bytes.size() > maxBytes) {
        r.problem = FileRead::TooLarge;
        r.bytes.clear();
    }
    return r;
}

bool writeAll(QIODevice& device, const QByteArray& bytes) {
    for (qsizetype done = 0; done < bytes.size();) {
        const qint64 n = device.write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0) return false;
        done += n;
    }
    return true;
}

bool writeWholeFile(const QString& path, const QByteArray& bytes, QString* reason) {
    return writeWholeFile(
        path, [&bytes](QIODevice& file) { return writeAll(file, bytes); }, reason);
}

bool writeWholeFile(const QString& path, const std::function<bool(QIODevice&)>& produce, QString* reason) {
    if (path.isEmpty()) {
        if (reason) *reason = QStringLiteral("No file name");
        return false;
    }
    const QFileInfo info(path);
    if (info.isDir()) {
        if (reason) *reason = QStringLiteral("Is a directory");
        return false;
    }
    // Unbuffered: a short write (a full disk) shows in write()'s count; a
    // buffered QSaveFile would commit a file cut short as complete.
    const auto failure = [reason](const QFileDevice& file) {
        if (reason)
            *reason = file.error() != QFileDevice::NoError ? file.errorString() : QStringLiteral("Disk full");
        return false;
    };
    if (info.exists() && !info.isFile()) {
        // A device or a pipe (/dev/full, /dev/stdout): written in place, every
        // step checked. Renaming a temporary file over it would replace the device.
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) || !produce(file) || !file.flush())
            return failure(file);
        file.close();
        return file.error() == QFileDevice::NoError || failure(file);
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return failure(file);
    if (!produce(file)) {
        failure(file);
        file.cancelWriting();
        return false;
    }
    return file.commit() || failure(file);
}

QString readFailure(const QString& path, const FileRead& read, qint64 maxBytes) {
    switch (read.problem) {
    case FileRead::Missing:
        return QStringLiteral("Soubor %1 neexistuje.").arg(path);
    case FileRead::NotRegular:
        return QStringLiteral("%1 není obyčejný soubor (je to složka, roura nebo zařízení).").arg(path);
    case FileRead::TooLarge:
        return QStringLiteral("Soubor %1 je větší než %2 MiB.").arg(path).arg(maxBytes / (1024 * 1024));
    case FileRead::Unreadable:
        return QStringLiteral("Soubor %1 nelze číst: %2.").arg(path, read.reason);
    case FileRead::None:
        break;
    }
    return {};
}

} // namespace prolis
