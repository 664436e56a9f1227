#include "TerminalPassword.h"

#include <QtGlobal>
#include <array>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace prolis::cli {

namespace {

// The terminal being read and its settings; the signal handlers put them back.
volatile sig_atomic_t g_fd = -1;
termios g_normal{};
termios g_quiet{};

constexpr std::array<int, 5> EndingSignals{SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE};
struct sigaction g_previous[NSIG];

void onEndingSignal(int sig) {
    const int fd = g_fd;
    if (fd >= 0) tcsetattr(fd, TCSANOW, &g_normal);
    // What the program would have done without us: usually to end.
    sigaction(sig, &g_previous[sig], nullptr);
    raise(sig);
}

void onStop(int) {
    const int fd = g_fd;
    if (fd >= 0) tcsetattr(fd, TCSANOW, &g_normal);
    struct sigaction stop {};
    stop.sa_handler = SIG_DFL;
    sigemptyset(&stop.sa_mask);
    sigaction(SIGTSTP, &stop, nullptr);
    sigset_t unblock;
    sigemptyset(&unblock);
    sigaddset(&unblock, SIGTSTP);
    sigprocmask(SIG_UNBLOCK, &unblock, nullptr);
    raise(SIGTSTP); // stopped here until continued
    struct sigaction again {};
    again.sa_handler = onStop;
    sigemptyset(&again.sa_mask);
    sigaction(SIGTSTP, &again, nullptr);
    if (fd >= 0) tcsetattr(fd, TCSANOW, &g_quiet);
}

// Echo off for the lifetime of the guard, back on when it ends, whichever way.
class QuietTerminal {
public:
    explicit QuietTerminal(int fd) {
        if (tcgetattr(fd, &g_normal) != 0) return;
        g_quiet = g_normal;
        // No echo, and no line editing by the terminal either: it keeps at
        // most 4095 characters of a line. Erase and kill are done here.
        g_quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHOE | ECHOK | ECHONL | ICANON);
        g_quiet.c_cc[VMIN] = 1;
        g_quiet.c_cc[VTIME] = 0;
        struct sigaction ending {};
        ending.sa_handler = onEndingSignal;
        sigemptyset(&ending.sa_mask);
        for (int sig : EndingSignals)
            sigaction(sig, &ending, &g_previous[sig]);
        struct sigaction stop {};
        stop.sa_handler = onStop;
        sigemptyset(&stop.sa_mask);
        sigaction(SIGTSTP, &stop, &m_previousStop);
        g_fd = fd;
        tcsetattr(fd, TCSAFLUSH, &g_quiet);
        m_active = true;
    }
    bool active() const { return m_active; }
    cc_t erase() const { return g_normal.c_cc[VERASE]; }
    cc_t kill() const { return g_normal.c_cc[VKILL]; }
    cc_t eof() const { return g_normal.c_cc[VEOF]; }
    ~QuietTerminal() {
        if (!m_active) return;
        tcsetattr(g_fd, TCSAFLUSH, &g_normal);
        g_fd = -1;
        for (int sig : EndingSignals)
            sigaction(sig, &g_previous[sig], nullptr);
        sigaction(SIGTSTP, &m_previousStop, nullptr);
    }
    QuietTerminal(const QuietTerminal&) = delete;
    QuietTerminal& operator=(const QuietTerminal&) = delete;

private:
    bool m_active = false;
    struct sigaction m_previousStop {};
};

} // namespace

std::optional<QByteArray> readSecretLine(int fd) {
    QuietTerminal quiet(fd);
    QByteArray line;
    for (;;) {
        char c = 0;
        const ssize_t n = ::read(fd, &c, 1);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return line.isEmpty() ? std::nullopt : std::optional<QByteArray>(line);
        const auto u = static_cast<cc_t>(c);
        if (c == '\n' || (quiet.active() && c == '\r')) break;
        if (quiet.active() && (u == quiet.erase() || c == '\b')) {
            // One character back (a UTF-8 character may be several bytes).
            while (!line.isEmpty() && (static_cast<unsigned char>(line.back()) & 0xC0) == 0x80)
                line.chop(1);
            if (!line.isEmpty()) line.chop(1);
            continue;
        }
        if (quiet.active() && u == quiet.kill()) {
            line.clear();
            continue;
        }
        if (quiet.active() && u == quiet.eof()) {
            if (line.isEmpty()) return std::nullopt;
            continue;
        }
        line.append(c);
    }
    if (line.endsWith('\r')) line.chop(1);
    return line;
}

QString askPassword() {
    if (qEnvironmentVariableIsSet("PROLIS_PASSWORD")) return qEnvironmentVariable("PROLIS_PASSWORD");
    const int tty = ::open("/dev/tty", O_RDWR | O_CLOEXEC);
    if (tty < 0) return {};
    const char* prompt = "Heslo k databázi: ";
    (void)!::write(tty, prompt, std::strlen(prompt));
    const std::optional<QByteArray> line = readSecretLine(tty);
    (void)!::write(tty, "\n", 1);
    ::close(tty);
    return line ? QString::fromLocal8Bit(*line) : QString();
}

} // namespace prolis::cli
