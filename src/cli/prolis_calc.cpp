#include "CalcCli.h"
#include "print/ReportPainter.h"

#include <QGuiApplication>
#include <memory>

#include "TerminalPassword.h"

#include <QCoreApplication>
#include <QFile>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {
// The password from PROLIS_PASSWORD, otherwise asked on the terminal without echo.
QString askPassword() {
    if (qEnvironmentVariableIsSet("PROLIS_PASSWORD")) return qEnvironmentVariable("PROLIS_PASSWORD");
    const int tty = ::open("/dev/tty", O_RDWR | O_CLOEXEC);
    if (tty < 0) return {};
    const char* prompt = "Heslo k databázi: ";
    (void)!::write(tty, prompt, std::strlen(prompt));
    const std::optional<QByteArray> line = prolis::cli::readSecretLine(tty);
    (void)!::write(tty, "\n", 1);
    ::close(tty);
    return line ? QString::fromLocal8Bit(*line) : QString();
}

// Standard input as it comes: a pipe's line is answered before the next is
// written (Qt's file reading would wait for a whole block).
qint64 readStandardInput(char* data, qint64 size) {
    for (;;) {
        const ssize_t got = ::read(STDIN_FILENO, data, static_cast<size_t>(size));
        if (got >= 0 || errno != EINTR) return got;
    }
}

// Qt's own warnings ("QSqlQuery::prepare: database not open", ...) stay off
// standard error unless --verbose asks for them: scripts read one message line.
void quietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "%s\n", qPrintable(text));
        std::abort();
    }
}
} // namespace

int main(int argc, char** argv) {
    // Painting a PDF needs Qt Gui (fonts); everything else runs on Qt Core
    // alone. Without a display: the offscreen platform.
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    if (!args.contains(QStringLiteral("--verbose"))) qInstallMessageHandler(quietQtMessages);
    std::unique_ptr<QCoreApplication> app;
    if (prolis::cli::wantsPdf(args)) {
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QFile out;
    // The descriptor, not stdio's stream: what is written goes out at once
    // (a batch answers a pipe line by line).
    out.open(STDOUT_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered);
    QTextStream err(stderr);
    prolis::cli::Environment env{QCoreApplication::applicationDirPath(), askPassword, prolis::reportPdf,
                                 readStandardInput};
    return prolis::cli::run(QCoreApplication::arguments().mid(1), out, err, env);
}
