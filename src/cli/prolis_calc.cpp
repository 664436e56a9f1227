#include "CalcCli.h"

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
    QCoreApplication app(argc, argv);
    QFile out;
    out.open(stdout, QIODevice::WriteOnly | QIODevice::Unbuffered);
    QTextStream err(stderr);
    prolis::cli::Environment env{QCoreApplication::applicationDirPath(), askPassword};
    return prolis::cli::run(app.arguments().mid(1), out, err, env);
}
