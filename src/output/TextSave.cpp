#include "TextSave.h"

#include "core/FileWrite.h"
#include "core/UiServices.h"

#include <QDir>
#include <QFileInfo>

namespace prolis::out {

QString dataFolder() {
    return QDir::currentPath() + QStringLiteral("/Data");
}

QString withTxtExtension(const QString& path) {
    return path.contains(QLatin1String(".txt")) ? path : path + QStringLiteral(".txt");
}

OutputResult saveTextFile(SaveDialogState& dialog, const QByteArray& bytes) {
    const QString proposed = QFileInfo(dialog.lastChoice).fileName();
    const QString chosen = ui().saveFileName(dataFolder(), proposed, TextFilter);
    if (chosen.isEmpty()) return OutputResult::Cancelled;
    dialog.lastChoice = chosen;
    const QString path = QFileInfo(withTxtExtension(chosen)).absoluteFilePath();
    QString reason;
    if (!writeWholeFile(path, bytes, &reason)) {
        errorBox(QStringLiteral("Protokol nebyl uložen.\r") + path + QStringLiteral(": ") + reason);
        return OutputResult::Failed;
    }
    return OutputResult::Done;
}

} // namespace prolis::out
