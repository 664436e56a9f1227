#pragma once
// A bound on the whole time of one statement. The client library's read
// timeout only catches a server that falls silent; one that trickles a byte
// at a time would keep the statement waiting for ever. While a deadline is
// armed, a watchdog thread shuts the connection's socket down when it
// passes, so the waiting read fails and the statement ends in a database
// error.
#include <QSqlDatabase>

namespace prolis {

class StatementDeadline {
public:
    // Arms the deadline on the socket of `db` (nothing when it has none).
    StatementDeadline(const QSqlDatabase& db, int seconds);
    ~StatementDeadline();
    StatementDeadline(const StatementDeadline&) = delete;
    StatementDeadline& operator=(const StatementDeadline&) = delete;

    // Whether the deadline passed and the connection was cut.
    bool expired() const;

private:
    unsigned long long m_token = 0;
};

} // namespace prolis
