#include "StatementDeadline.h"

#include <QSqlDriver>
#include <QVariant>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <mysql.h>
#include <sys/socket.h>
#include <thread>

namespace prolis {

namespace {

using Clock = std::chrono::steady_clock;

struct Armed {
    int socket;
    Clock::time_point deadline;
    bool expired = false;
};

// One thread for the process, started at the first statement and waiting on
// the nearest deadline. A deadline is disarmed under the same lock before
// its statement returns, so a socket is never shut down once the statement
// that armed it is over.
class Watchdog {
public:
    static Watchdog& instance() {
        static Watchdog* w = new Watchdog; // lives to the process's end; the thread is detached
        return *w;
    }

    unsigned long long arm(int socket, Clock::time_point deadline) {
        std::lock_guard lock(m_mutex);
        const unsigned long long token = ++m_next;
        m_armed.emplace(token, Armed{socket, deadline});
        m_wake.notify_one();
        return token;
    }

    // True when the deadline had passed.
    bool disarm(unsigned long long token) {
        std::lock_guard lock(m_mutex);
        const auto it = m_armed.find(token);
        if (it == m_armed.end()) return false;
        const bool expired = it->second.expired;
        m_armed.erase(it);
        return expired;
    }

    bool expired(unsigned long long token) {
        std::lock_guard lock(m_mutex);
        const auto it = m_armed.find(token);
        return it != m_armed.end() && it->second.expired;
    }

private:
    Watchdog() {
        std::thread([this] { run(); }).detach();
    }

    void run() {
        std::unique_lock lock(m_mutex);
        for (;;) {
            Clock::time_point nearest = Clock::time_point::max();
            const Clock::time_point now = Clock::now();
            for (auto& [token, a] : m_armed) {
                if (a.expired) continue;
                if (a.deadline <= now) {
                    a.expired = true;
                    ::shutdown(a.socket, SHUT_RDWR);
                } else {
                    nearest = std::min(nearest, a.deadline);
                }
            }
            if (nearest == Clock::time_point::max())
                m_wake.wait(lock);
            else
                m_wake.wait_until(lock, nearest);
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::map<unsigned long long, Armed> m_armed;
    unsigned long long m_next = 0;
};

int socketOf(const QSqlDatabase& db) {
    if (!db.isValid() || !db.isOpen() || !db.driver()) return -1;
    const QVariant handle = db.driver()->handle();
    // The driver names the handle's type either way.
    if (qstrcmp(handle.typeName(), "MYSQL*") != 0 && qstrcmp(handle.typeName(), "st_mysql*") != 0) return -1;
    MYSQL* mysql = *static_cast<MYSQL* const*>(handle.data());
    return mysql ? static_cast<int>(mysql_get_socket(mysql)) : -1;
}

} // namespace

StatementDeadline::StatementDeadline(const QSqlDatabase& db, int seconds) {
    const int socket = socketOf(db);
    if (socket >= 0 && seconds > 0)
        m_token = Watchdog::instance().arm(socket, Clock::now() + std::chrono::seconds(seconds));
}

StatementDeadline::~StatementDeadline() {
    if (m_token) Watchdog::instance().disarm(m_token);
}

bool StatementDeadline::expired() const {
    return m_token && Watchdog::instance().expired(m_token);
}

} // namespace prolis
