#include "TextSave.h"

#include <QDir>

namespace prolis::out {

QString dataFolder() {
    return QDir::currentPath() + QStringLiteral("/Data");
}

QString withTxtExtension(const QString& path) {
    return path.contains(QLatin1String(".txt")) ? path : path + QStringLiteral(".txt");
}

} // namespace prolis::out
