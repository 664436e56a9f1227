#include "db/MaterialDb.h"

#include "core/Errors.h"
#include "core/NumberText.h"
#include "db/StatementDeadline.h"
#include "domain/DataFields.h"

#include <QAtomicInt>
#include <QMetaType>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
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

namespace {
// The listing shows the material, its strains and temperature, then the
// constants equation by equation.
QString listingColumns() {
    const auto alias = [](DataTable t) {
        switch (t) {
        case DataTable::Materialy:
            return "m.";
        case DataTable::Teplota:
            return "t.";
        case DataTable::Rovnice:
            return "r.";
        case DataTable::Ppol:
            return "l.";
        case DataTable::Ppn:
            return "n.";
        }
        return "";
    };
    QStringList lines;
    for (DataGroup g : {DataGroup::Name, DataGroup::Material, DataGroup::Strain, DataGroup::Temperature,
                        DataGroup::Polytropa, DataGroup::Polynom3, DataGroup::Polynom5, DataGroup::PolynomF,
                        DataGroup::PolynomD, DataGroup::WorkPolytropa, DataGroup::WorkPolynom}) {
        QStringList columns;
        for (const DataField* f : fieldsOf(g))
            columns << QLatin1String(alias(f->table)) + f->column;
        lines << columns.join(QLatin1Char(','));
    }
    // The name and the material values share the first line.
    lines[0] += QLatin1Char(',') + lines.takeAt(1);
    return lines.join(QStringLiteral(",\n")) + QLatin1Char('\n');
}
} // namespace

const QString ConstantsListing = QStringLiteral("select ") + listingColumns() + ConstantsFrom;
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
    // On a node of a Galera cluster a read first waits until the node has
    // applied every write committed anywhere before it: a material saved
    // through another node is seen at the next selection. Elsewhere the
    // setting does nothing (a server that does not know it refuses it, and
    // that is all).
    QSqlQuery syncWait(db);
    syncWait.exec(QStringLiteral("set session wsrep_sync_wait = 1"));
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

void fillData(Data& d, const QSqlRecord* row) {
    d = Data{};
    if (!row) return;
    for (const DataField& f : dataFields()) {
        switch (f.kind) {
        case FieldKind::Text: {
            const QVariant name = column(*row, f.column);
            d.nazev = name.isNull() ? QString() : name.toString();
            break;
        }
        case FieldKind::Whole: {
            const qlonglong t = wholeNumber(*row, f.column).value_or(0);
            if (t < -32768 || t > 32767) throw RangeError(msg::RangeCheck);
            d.teplo = static_cast<std::int16_t>(t);
            break;
        }
        case FieldKind::Number:
            *f.in(d) = number(*row, f.column);
            break;
        }
    }
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
