#include "ProgramMain.h"

#include "CalcCli.h"
#include "TerminalPassword.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace prolis::cli {

namespace {
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

// The program's own folder, from /proc (before any application object).
QByteArray programFolder(const char* argv0) {
    char path[4096];
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    const QByteArray self = n > 0 ? QByteArray(path, n) : QByteArray(argv0);
    const qsizetype slash = self.lastIndexOf('/');
    return slash >= 0 ? self.left(slash) : QByteArray(".");
}
} // namespace

int programMain(int argc, char** argv, const ProgramParts& parts) {
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    if (!parts.pdf && wantsPdf(args)) {
        // The painter lives in the companion: the same command line there.
        const QByteArray companion = programFolder(argv[0]) + '/' + PdfCompanion;
        // A companion that is this very program (a link left by a packaging
        // slip) would hand the command line to itself for ever.
        struct stat self{}, other{};
        if (::stat("/proc/self/exe", &self) == 0 && ::stat(companion.constData(), &other) == 0 &&
            self.st_dev == other.st_dev && self.st_ino == other.st_ino) {
            std::fprintf(stderr, "PDF nelze zapsat: %s je tentýž program jako prolis-calc, ne jeho část pro PDF.\n",
                         companion.constData());
            return 3;
        }
        ::execv(companion.constData(), argv);
        std::fprintf(stderr, "PDF nelze zapsat: %s nelze spustit: %s\n", companion.constData(),
                     std::strerror(errno));
        return 3;
    }
    if (!args.contains(QStringLiteral("--verbose"))) qInstallMessageHandler(quietQtMessages);
    const std::unique_ptr<QCoreApplication> app = parts.application(argc, argv);
    QFile out;
    // The descriptor, not stdio's stream: what is written goes out at once
    // (a batch answers a pipe line by line).
    out.open(STDOUT_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered);
    QTextStream err(stderr);
    const Environment env{QCoreApplication::applicationDirPath(), askPassword, parts.pdf, readStandardInput};
    return run(QCoreApplication::arguments().mid(1), out, err, env);
}

} // namespace prolis::cli
