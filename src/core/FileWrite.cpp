#include "FileWrite.h"

#include <QFileInfo>
#include <QSaveFile>

namespace prolis {

bool writeWholeFile(const QString& path, const QByteArray& bytes, QString* reason) {
    QSaveFile file(path);
    const auto fail = [&] {
        if (reason) *reason = file.errorString();
        file.cancelWriting();
        return false;
    };
    if (QFileInfo(path).isDir()) {
        if (reason) *reason = QStringLiteral("Is a directory");
        return false;
    }
    if (!file.open(QIODevice::WriteOnly)) return fail();
    if (file.write(bytes) != bytes.size()) return fail();
    if (!file.commit()) {
        if (reason) *reason = file.errorString();
        return false;
    }
    return true;
}

} // namespace prolis
