#include "ProgramLauncher.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

namespace prolis {

QStringList programSearchFolders(const QString& appDir, const QString& pathVariable) {
    QStringList folders{appDir};
    // A relative entry of PATH ("." or an empty one) would be the current
    // folder again: a program planted in the working folder must not run.
    for (const QString& p : pathVariable.split(QLatin1Char(':'), Qt::SkipEmptyParts))
        if (QDir::isAbsolutePath(p)) folders.append(p);
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
