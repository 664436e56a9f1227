#include "FileWrite.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace prolis {

namespace {
// A device or a pipe (/dev/full, /dev/stdout): written in place, every step
// checked. Renaming a temporary file over it would replace the device.
bool writeInPlace(const QString& path, const QByteArray& bytes, QString* reason) {
    QFile file(path);
    const auto fail = [&] {
        if (reason) *reason = file.errorString();
        return false;
    };
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return fail();
    if (file.write(bytes) != bytes.size()) return fail();
    if (!file.flush()) return fail();
    file.close();
    if (file.error() != QFileDevice::NoError) return fail();
    return true;
}
} // namespace

bool writeWholeFile(const QString& path, const QByteArray& bytes, QString* reason) {
    if (path.isEmpty()) {
        if (reason) *reason = QStringLiteral("No file name");
        return false;
    }
    const QFileInfo info(path);
    if (info.isDir()) {
        if (reason) *reason = QStringLiteral("Is a directory");
        return false;
    }
    if (info.exists() && !info.isFile()) return writeInPlace(path, bytes, reason);
    QSaveFile file(path);
    const auto fail = [&] {
        if (reason) *reason = file.errorString();
        file.cancelWriting();
        return false;
    };
    // Unbuffered: a short write (a full disk) shows in write()'s count; a
    // buffered QSaveFile here would commit a file cut short as complete.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return fail();
    if (file.write(bytes) != bytes.size()) {
        if (reason)
            *reason = file.error() != QFileDevice::NoError ? file.errorString() : QStringLiteral("Disk full");
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        if (reason) *reason = file.errorString();
        return false;
    }
    return true;
}

} // namespace prolis
