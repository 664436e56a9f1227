#include "Companion.h"

#include "widgets/UiServices.h"

#include <QCoreApplication>
#include <QFileInfo>

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

bool companionInstalled() {
    const QFileInfo program(QCoreApplication::applicationDirPath() + QLatin1Char('/') + CompanionCommand);
    return program.isFile() && program.isExecutable();
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

} // namespace prolis
