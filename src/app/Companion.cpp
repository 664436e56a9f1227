#include "Companion.h"

#include "core/UiServices.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

namespace prolis {

QString startResultMessage(int result) {
    switch (result) {
    case 0:
        return QStringLiteral("The system is out of memory or resources.");
    case 2:
        return QStringLiteral("The specified file was not found.");
    case 3:
        return QStringLiteral("The specified path was not found.");
    case 11:
        return QStringLiteral("The .EXE file is invalid\r(non-Win32 .EXE or error in .EXE image).");
    default:
        return {};
    }
}

void startCompanion() {
    const int result = ui().startProgram(CompanionCommand);
    if (result == 31) {
        ui().startProgram(CompanionCommand);
        return;
    }
    const QString text = startResultMessage(result);
    if (!text.isEmpty()) errorBox(text);
}

QStringList companionSearchFolders(const QString& appDir, const QString& currentDir,
                                   const QString& pathVariable) {
    QStringList folders{appDir, currentDir};
    for (const QString& p : pathVariable.split(QLatin1Char(':'), Qt::SkipEmptyParts))
        folders.append(p);
    return folders;
}

int launchDetached(const QString& commandLine, const QStringList& folders) {
    QStringList args = QProcess::splitCommand(commandLine);
    if (args.isEmpty()) return 2;
    const QString program = args.takeFirst();
    QString found;
    if (program.contains(QLatin1Char('/'))) {
        const QFileInfo fi(program);
        if (!fi.dir().exists()) return 3;
        if (!fi.exists()) return 2;
        found = fi.absoluteFilePath();
    } else {
        for (const QString& folder : folders) {
            const QFileInfo fi(QDir(folder), program);
            if (fi.exists() && !fi.isDir()) {
                found = fi.absoluteFilePath();
                break;
            }
        }
        if (found.isEmpty()) return 2;
    }
    const QFileInfo fi(found);
    if (!fi.isFile() || !fi.isExecutable()) return 11;
    if (!QProcess::startDetached(found, args)) return 0;
    return 33;
}

} // namespace prolis
