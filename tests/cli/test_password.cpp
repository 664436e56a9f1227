// The password typed on a terminal (a pseudo-terminal here): no echo while
// typing, a line of any length, and the echo back whichever way the prompt ends.
#include "cli/TerminalPassword.h"

#include <QtTest>
#include <csignal>
#include <pty.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

using namespace prolis;

namespace {
bool echoOn(int fd) {
    termios t{};
    tcgetattr(fd, &t);
    return t.c_lflag & ECHO;
}

struct Pty {
    int master = -1, slave = -1;
    Pty() { openpty(&master, &slave, nullptr, nullptr, nullptr); }
    ~Pty() {
        ::close(master);
        ::close(slave);
    }
};
} // namespace

class TestPassword : public QObject {
    Q_OBJECT
private slots:
    void longLine();
    void echoBackAfterSignal_data();
    void echoBackAfterSignal();
};

void TestPassword::longLine() {
    Pty pty;
    QVERIFY(pty.master >= 0 && echoOn(pty.slave));
    const QByteArray password(5000, 'x');
    std::thread typist([&] { // typed once the prompt waits (it drops what came before)
        QThread::msleep(100);
        for (int at = 0; at < password.size(); at += 500) {
            (void)!::write(pty.master, password.constData() + at,
                           static_cast<size_t>(std::min<qsizetype>(500, password.size() - at)));
            QThread::msleep(5);
        }
        (void)!::write(pty.master, "\n", 1);
    });
    const std::optional<QByteArray> line = cli::readSecretLine(pty.slave);
    typist.join();
    QVERIFY(line);
    QCOMPARE(line->size(), 5000); // not cut at 1023 characters, nor at the terminal's 4095
    QVERIFY(echoOn(pty.slave));
    // Erase takes back one character (a UTF-8 one whole), kill the whole line.
    std::thread editor([&] {
        QThread::msleep(100);
        const QByteArray keys = QByteArray("abc\x15hesl\xC3\xA1x\x7f\x7fo") + '\n';
        (void)!::write(pty.master, keys.constData(), keys.size());
    });
    const std::optional<QByteArray> edited = cli::readSecretLine(pty.slave);
    editor.join();
    QCOMPARE(edited.value_or("?"), QByteArray("heslo"));
}

void TestPassword::echoBackAfterSignal_data() {
    QTest::addColumn<int>("sig");
    QTest::newRow("Ctrl-C") << int(SIGINT);
    QTest::newRow("kill") << int(SIGTERM);
    QTest::newRow("hang-up") << int(SIGHUP);
}

void TestPassword::echoBackAfterSignal() {
    QFETCH(int, sig);
    Pty pty;
    const pid_t child = fork();
    if (child == 0) {
        cli::readSecretLine(pty.slave);
        _exit(0);
    }
    // Wait until the prompt has turned the echo off, then interrupt it.
    for (int i = 0; i < 200 && echoOn(pty.slave); ++i)
        QThread::msleep(10);
    QVERIFY(!echoOn(pty.slave));
    ::kill(child, sig);
    int status = 0;
    QCOMPARE(::waitpid(child, &status, 0), child);
    QVERIFY(WIFSIGNALED(status) && WTERMSIG(status) == sig); // it still ends as the signal says
    QVERIFY(echoOn(pty.slave));
}

QTEST_GUILESS_MAIN(TestPassword)
#include "test_password.moc"
