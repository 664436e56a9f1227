#include "CalcCli.h"
#include "print/ReportPainter.h"

#include <QGuiApplication>
#include <memory>

#include <QCoreApplication>
#include <QFile>
#include <cstdio>
#include <termios.h>
#include <unistd.h>

namespace {
// The password from PROLIS_PASSWORD, otherwise asked on the terminal without echo.
QString askPassword() {
    if (qEnvironmentVariableIsSet("PROLIS_PASSWORD")) return qEnvironmentVariable("PROLIS_PASSWORD");
    FILE* tty = std::fopen("/dev/tty", "r+");
    if (!tty) return {};
    std::fputs("Heslo k databázi: ", tty);
    std::fflush(tty);
    termios old{};
    const int fd = fileno(tty);
    const bool isTerm = tcgetattr(fd, &old) == 0;
    if (isTerm) {
        termios quiet = old;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        tcsetattr(fd, TCSAFLUSH, &quiet);
    }
    char buf[1024] = {};
    const bool read = std::fgets(buf, sizeof buf, tty) != nullptr;
    if (isTerm) tcsetattr(fd, TCSAFLUSH, &old);
    std::fputs("\n", tty);
    std::fclose(tty);
    QString s = read ? QString::fromLocal8Bit(buf) : QString();
    while (s.endsWith(QLatin1Char('\n')) || s.endsWith(QLatin1Char('\r')))
        s.chop(1);
    return s;
}
} // namespace

int main(int argc, char** argv) {
    // Painting a PDF needs Qt Gui (fonts); everything else runs on Qt Core
    // alone. Without a display: the offscreen platform.
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    std::unique_ptr<QCoreApplication> app;
    if (prolis::cli::wantsPdf(args)) {
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QFile out;
    out.open(stdout, QIODevice::WriteOnly | QIODevice::Unbuffered);
    QTextStream err(stderr);
    prolis::cli::Environment env{QCoreApplication::applicationDirPath(), askPassword, prolis::reportPdf};
    return prolis::cli::run(QCoreApplication::arguments().mid(1), out, err, env);
}
