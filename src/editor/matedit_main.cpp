// MatEdit: the companion that maintains the material database. With options
// it runs without windows (import, export); without them it opens its windows.
#include "MatEditCli.h"
#include "cli/TerminalPassword.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <unistd.h>

int main(int argc, char** argv) {
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    if (prolis::edit::isCommandLine(args)) {
        QCoreApplication app(argc, argv);
        QFile out;
        out.open(STDOUT_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered);
        QTextStream err(stderr);
        return prolis::edit::runCommandLine(
            args, out, err, {QCoreApplication::applicationDirPath(), prolis::cli::askPassword});
    }
    QApplication app(argc, argv);
    // The editor's windows are not built yet: said, not pretended.
    QMessageBox box(QMessageBox::Information, QStringLiteral("MatEdit"),
                    QStringLiteral("Okna editoru materiálů zatím nejsou hotová.\n"
                                   "Materiály lze vložit a vypsat z příkazové řádky: MatEdit --help"),
                    QMessageBox::Ok);
    box.exec();
    return 0;
}
