#pragma once
// Access to the material database: one connection per window, the four fixed
// statements, and the filling of the material record from a constants row.
#include "db/ConnectionSettings.h"
#include "domain/Data.h"

#include <QList>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>
#include <optional>

namespace prolis {

class StatementDeadline;

namespace sql {
// Q1: the materials, in the server's order.
extern const QString Materials;
// Q2: the temperatures of one material (:material), lowest first.
extern const QString Temperatures;
// Q3a: every column of one combination (:material, :teplota), for the selection dialog.
extern const QString ConstantsAll;
// Q3b: the 54 columns of one combination, for the listing window.
extern const QString ConstantsListing;
} // namespace sql

// A window's own connection. Connecting copies the settings at that moment.
class MaterialConnection {
public:
    MaterialConnection();
    ~MaterialConnection();
    MaterialConnection(const MaterialConnection&) = delete;
    MaterialConnection& operator=(const MaterialConnection&) = delete;

    // Connects with host, port, database, user and password, in this order;
    // raises DatabaseError with the library's own text when it fails.
    void connect(const ConnectionSettings& settings);
    bool isConnected() const;
    void disconnect();
    QSqlDatabase database() const;

    // Seconds to wait for the server: for the connection (5), and for each
    // attempt to read or write once connected (5, tried three times).
    // A statement, however its answer comes (a server may trickle it a
    // byte at a time), is given up after `statementSeconds` (30).
    void setTimeouts(int connectSeconds, int readSeconds, int statementSeconds = 30) {
        m_connectTimeout = connectSeconds;
        m_readTimeout = readSeconds;
        m_statementLimit = statementSeconds;
    }
    int statementLimit() const { return m_statementLimit; }

private:
    QString m_name;
    int m_connectTimeout = 5;
    int m_readTimeout = 5;
    int m_statementLimit = 30;
};

// A parameter: an integer key, or none (bound as NULL: the statement yields no rows).
using Key = std::optional<int>;

// One read-only query of a window: opened with its parameters, closed, re-run.
class MaterialQuery {
public:
    MaterialQuery(MaterialConnection& connection, QString statement);

    // Closes, binds the parameters by position (integers or typed NULLs) and
    // runs the statement; its rows are read at once. A failure raises
    // DatabaseError with the library's text and leaves the query closed.
    void open(const QList<Key>& params = {});
    void close();
    bool isOpen() const { return m_open; }

    int rowCount() const { return static_cast<int>(m_rows.size()); }
    const QSqlRecord& row(int i) const { return m_rows[static_cast<size_t>(i)]; }
    // The column names of the result, as the server returns them.
    const QSqlRecord& columns() const { return m_columns; }
    // The statement as a QSqlQuery for a grid model (prepared and run again).
    QSqlQuery makeQuery(const QList<Key>& params) const;

    // Statements run so far in this process (for tests and benchmarks).
    static int executions();

private:
    QSqlQuery executed(const QList<Key>& params, bool forwardOnly, const StatementDeadline& deadline) const;
    MaterialConnection& m_connection;
    QString m_statement;
    bool m_open = false;
    std::vector<QSqlRecord> m_rows;
    QSqlRecord m_columns;
};

// The key (column `id`) of a row, or none.
Key rowKey(const MaterialQuery& q, int row);

// Fills `data` from a constants row, field by field in record order: a missing
// column raises DataError naming it, a temperature outside -32768..32767 raises
// RangeError "Range check error"; fields filled before a failure keep their
// new values. A null record (no row) gives an empty name and zeros.
void fillData(Data& data, const QSqlRecord* row);

// A column that holds a number, read as strictly as the constants: NULL is
// 0; a text must be a number in the server's notation; anything else, and an
// infinity or not-a-number, raises DatabaseError ("Hodnota '…' ve sloupci …
// není číslo."). A missing column raises DataError.
double columnNumber(const QSqlRecord& row, const QString& column);

// A column that holds a whole number (a temperature): NULL is none; a text
// must be an integer's notation. Anything else raises DatabaseError
// ("Hodnota '…' ve sloupci … není číslo." or "… není celé číslo.").
std::optional<qlonglong> wholeNumber(const QSqlRecord& row, const QString& column);

// The text a data-bound label shows for a column of a row: numbers in the
// general number text, NULL as empty text.
QString displayText(const QSqlRecord& row, const QString& column);

} // namespace prolis
