#include "db/MaterialDb.h"

#include "core/Errors.h"
#include "core/NumberText.h"
#include "db/StatementDeadline.h"

#include <QAtomicInt>
#include <QMetaType>
#include <QSqlError>
#include <QSqlField>
#include <charconv>
#include <cmath>

namespace prolis {

namespace sql {
const QString Materials = QStringLiteral("select id,nazev from materialy");

const QString Temperatures =
    QStringLiteral("select t.id,t.teplo from materialy m join spojeni s on s.Id_materialy=m.id\n"
                   "join teplota t on t.id=s.id_teplota where m.id = :material\n"
                   "order by t.teplo");

namespace {
// The joins, filter and order of both constants statements.
const QString ConstantsFrom = QStringLiteral("from spojeni s join materialy m on m.id=s.id_materialy\n"
                                             "join teplota   t on t.id=s.id_teplota\n"
                                             "join rovnice   r on r.id=s.id_rovnice\n"
                                             "join ppn       n on n.id=s.id_ppn\n"
                                             "join ppol      l on l.id=s.id_ppol\n"
                                             "where m.id = :material and t.id = :teplota\n"
                                             "order by t.teplo");
} // namespace

const QString ConstantsAll = QStringLiteral("select * ") + ConstantsFrom;

const QString ConstantsListing =
    QStringLiteral(
        "select m.Nazev,m.Rm,m.Rp,m.A5,m.Z,\n"
        "r.fimax,r.fistr,\n"
        "t.teplo,\n"
        "r.pol_a,r.pol_b,r.pol_c,\n"
        "r.pn3_0,r.pn3_1,r.pn3_2,r.pn3_3,\n"
        "r.pn5_0,r.pn5_1,r.pn5_2,r.pn5_3,r.pn5_4,r.pn5_5,\n"
        "r.rlff_0,r.rlff_1,r.rlff_2,r.rlff_3,r.rlff_4,r.rlff_5,r.rlff_6,r.rlff_7,r.rlff_8,r.rlff_9,\n"
        "r.rlfd_0,r.rlfd_1,r.rlfd_2,r.rlfd_3,r.rlfd_4,r.rlfd_5,r.rlfd_6,r.rlfd_7,r.rlfd_8,r.rlfd_9,\n"
        "l.ppol_a,l.ppol_b,l.ppol_c,\n"
        "n.ppn_0,n.ppn_1,n.ppn_2,n.ppn_3,n.ppn_4,n.ppn_5,n.ppn_6,n.ppn_7,n.ppn_8,n.ppn_9\n") +
    ConstantsFrom;
} // namespace sql

namespace {
QAtomicInt g_executions;
QAtomicInt g_connectionNumber;

DatabaseError libraryError(const QSqlError& e) {
    return DatabaseError(e.text());
}
} // namespace

MaterialConnection::MaterialConnection()
    : m_name(QStringLiteral("prolis-%1").arg(g_connectionNumber.fetchAndAddRelaxed(1))) {
    QSqlDatabase::addDatabase(QStringLiteral("QMYSQL"), m_name);
}

MaterialConnection::~MaterialConnection() {
    disconnect();
    QSqlDatabase::removeDatabase(m_name);
}

QSqlDatabase MaterialConnection::database() const {
    return QSqlDatabase::database(m_name, false);
}

void MaterialConnection::connect(const ConnectionSettings& s) {
    QSqlDatabase db = database();
    if (!db.isValid())
        throw DatabaseError(QStringLiteral("The MySQL client library (Qt driver QMYSQL) is not available"));
    // The client library would take a port above 65535 modulo 65536: another server.
    if (s.Port < 0 || s.Port > 65535)
        throw DatabaseError(QStringLiteral("Port %1 je mimo rozsah 0–65535.").arg(s.Port));
    db.setHostName(s.HostName);
    if (s.Port != 0) db.setPort(s.Port);
    db.setDatabaseName(s.Database);
    db.setUserName(s.User);
    db.setPassword(s.Password);
    // An unreachable host, or a server that stops answering, must not freeze
    // the program: a statement then fails into the database-error path. The
    // client library tries a read up to three times, so a silent server is
    // given up after three read timeouts.
    db.setConnectOptions(
        QStringLiteral("MYSQL_OPT_CONNECT_TIMEOUT=%1;MYSQL_OPT_READ_TIMEOUT=%2;MYSQL_OPT_WRITE_TIMEOUT=%2")
            .arg(m_connectTimeout)
            .arg(m_readTimeout));
    if (!db.open()) throw libraryError(db.lastError());
}

bool MaterialConnection::isConnected() const {
    const QSqlDatabase db = database();
    return db.isValid() && db.isOpen();
}

void MaterialConnection::disconnect() {
    QSqlDatabase db = database();
    if (db.isValid()) db.close();
}

MaterialQuery::MaterialQuery(MaterialConnection& connection, QString statement)
    : m_connection(connection), m_statement(std::move(statement)) {}

namespace {
// A statement that failed: the library's text, or the bound on its time when
// that is what cut it off.
DatabaseError statementError(const QSqlError& e, const StatementDeadline& deadline, int seconds) {
    if (deadline.expired())
        return DatabaseError(QStringLiteral("Databáze nevyřídila dotaz do %1 s.").arg(seconds));
    return libraryError(e);
}
} // namespace

QSqlQuery MaterialQuery::executed(const QList<Key>& params, bool forwardOnly,
                                  const StatementDeadline& deadline) const {
    QSqlQuery q(m_connection.database());
    q.setForwardOnly(forwardOnly);
    if (!q.prepare(m_statement)) throw statementError(q.lastError(), deadline, m_connection.statementLimit());
    for (int i = 0; i < params.size(); ++i) {
        if (params[i])
            q.bindValue(i, *params[i]);
        else
            q.bindValue(i, QVariant(QMetaType::fromType<int>()));
    }
    g_executions.fetchAndAddRelaxed(1);
    if (!q.exec()) throw statementError(q.lastError(), deadline, m_connection.statementLimit());
    return q;
}

QSqlQuery MaterialQuery::makeQuery(const QList<Key>& params) const {
    const StatementDeadline deadline(m_connection.database(), m_connection.statementLimit());
    return executed(params, false, deadline);
}

void MaterialQuery::open(const QList<Key>& params) {
    close();
    const StatementDeadline deadline(m_connection.database(), m_connection.statementLimit());
    QSqlQuery q = executed(params, true, deadline);
    m_columns = q.record();
    std::vector<QSqlRecord> rows;
    while (q.next())
        rows.push_back(q.record());
    if (deadline.expired() || q.lastError().isValid())
        throw statementError(q.lastError(), deadline, m_connection.statementLimit());
    m_rows = std::move(rows);
    m_open = true;
}

void MaterialQuery::close() {
    m_open = false;
    m_rows.clear();
    m_columns = QSqlRecord();
}

int MaterialQuery::executions() {
    return g_executions.loadRelaxed();
}

Key rowKey(const MaterialQuery& q, int row) {
    if (!q.isOpen() || row < 0 || row >= q.rowCount()) return std::nullopt;
    const QVariant v = q.row(row).value(QStringLiteral("id"));
    if (v.isNull()) return std::nullopt;
    return v.toInt();
}

namespace {
QVariant column(const QSqlRecord& row, const QString& name) {
    const int i = row.indexOf(name);
    if (i < 0) throw DataError(QStringLiteral("Field '%1' not found").arg(name));
    return row.value(i);
}

// A column's value as a finite number; NULL reads as 0. The schema is not
// ours: a column of another type may hold a text, which must then be a
// number in the server's notation ("35.68", "-1e-3"); anything else, and an
// infinity or not-a-number, is refused as a database error.
double number(const QSqlRecord& row, const QString& name) {
    const QVariant v = column(row, name);
    if (v.isNull()) return 0.0;
    double d = 0;
    bool ok = false;
    switch (v.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        d = v.toDouble(&ok);
        break;
    default: {
        const QByteArray text = v.toString().trimmed().toLatin1();
        const char* end = text.constData() + text.size();
        const char* begin = text.constData() + (text.startsWith('+') ? 1 : 0);
        const auto res = std::from_chars(begin, end, d, std::chars_format::general);
        ok = !text.isEmpty() && res.ec == std::errc() && res.ptr == end &&
             v.toString().trimmed().size() == text.size();
        break;
    }
    }
    if (!ok || !std::isfinite(d))
        throw DatabaseError(QStringLiteral("Hodnota '%1' ve sloupci %2 není číslo.").arg(v.toString(), name));
    return d;
}

} // namespace

double columnNumber(const QSqlRecord& row, const QString& name) {
    return number(row, name);
}

std::optional<qlonglong> wholeNumber(const QSqlRecord& row, const QString& name) {
    const QVariant v = column(row, name);
    if (v.isNull()) return std::nullopt;
    const auto notWhole = [&] {
        return DatabaseError(
            QStringLiteral("Hodnota '%1' ve sloupci %2 není celé číslo.").arg(v.toString(), name));
    };
    switch (v.typeId()) {
    case QMetaType::QString:
    case QMetaType::QByteArray: {
        // Only an integer's notation: "1e1" or "20.5" is no temperature, even
        // where a number column would read it.
        const QByteArray text = v.toString().trimmed().toLatin1();
        const char* begin = text.constData() + (text.startsWith('+') ? 1 : 0);
        const char* end = text.constData() + text.size();
        qlonglong value = 0;
        const auto res = std::from_chars(begin, end, value);
        if (!text.isEmpty() && res.ec == std::errc() && res.ptr == end &&
            v.toString().trimmed().size() == text.size())
            return value;
        (void)number(row, name); // not a number at all: that message
        throw notWhole();
    }
    default: {
        const double d = number(row, name);
        if (d != std::trunc(d) || std::fabs(d) > 9.0e18) throw notWhole();
        return static_cast<qlonglong>(d);
    }
    }
}

namespace {

template <size_t N>
void numbers(std::array<double, N>& target, const QSqlRecord& row, const QString& prefix) {
    for (size_t i = 0; i < N; ++i)
        target[i] = number(row, prefix + QString::number(i));
}
} // namespace

void fillData(Data& d, const QSqlRecord* row) {
    const QSqlRecord empty;
    const QSqlRecord& r = row ? *row : empty;
    if (!row) {
        d = Data{};
        return;
    }
    const QVariant name = column(r, QStringLiteral("Nazev"));
    d.nazev = name.isNull() ? QString() : name.toString();
    d.rm = number(r, QStringLiteral("Rm"));
    d.rp = number(r, QStringLiteral("Rp"));
    d.a5 = number(r, QStringLiteral("A5"));
    d.z = number(r, QStringLiteral("Z"));
    const qlonglong t = wholeNumber(r, QStringLiteral("Teplo")).value_or(0);
    if (t < -32768 || t > 32767) throw RangeError(msg::RangeCheck);
    d.teplo = static_cast<std::int16_t>(t);
    d.ppol_a = number(r, QStringLiteral("ppol_a"));
    d.ppol_b = number(r, QStringLiteral("ppol_b"));
    d.ppol_c = number(r, QStringLiteral("ppol_c"));
    numbers(d.ppn, r, QStringLiteral("ppn_"));
    d.pol_a = number(r, QStringLiteral("pol_a"));
    d.pol_b = number(r, QStringLiteral("pol_b"));
    d.pol_c = number(r, QStringLiteral("pol_c"));
    numbers(d.pn3, r, QStringLiteral("pn3_"));
    numbers(d.pn5, r, QStringLiteral("pn5_"));
    numbers(d.rlff, r, QStringLiteral("rlff_"));
    numbers(d.rlfd, r, QStringLiteral("rlfd_"));
    d.fimax = number(r, QStringLiteral("fimax"));
    d.fistr = number(r, QStringLiteral("fistr"));
}

QString displayText(const QSqlRecord& row, const QString& name) {
    const int i = row.indexOf(name);
    if (i < 0) return {};
    const QVariant v = row.value(i);
    if (v.isNull()) return {};
    switch (v.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return formatGeneral(v.toDouble());
    default:
        return v.toString();
    }
}

} // namespace prolis
