#include "MaterialStore.h"

#include "core/Errors.h"
#include "db/StatementDeadline.h"
#include "domain/DataFields.h"

#include <QLocale>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>
#include <chrono>
#include <limits>
#include <random>
#include <thread>

namespace prolis::edit {

namespace {

const QString Combinations =
    QStringLiteral("select * from spojeni s join materialy m on m.id=s.id_materialy\n"
                   "join teplota t on t.id=s.id_teplota join rovnice r on r.id=s.id_rovnice\n"
                   "join ppn n on n.id=s.id_ppn join ppol l on l.id=s.id_ppol\n"
                   "where m.id = ? order by t.teplo, s.id");

// The columns of a table the record fills, and their values.
QStringList columnsOf(DataTable t) {
    QStringList out;
    for (const DataField* f : fieldsIn(t))
        out << f->column;
    return out;
}

QList<QVariant> valuesOf(DataTable t, const Data& d) {
    QList<QVariant> out;
    for (const DataField* f : fieldsIn(t)) {
        switch (f->kind) {
        case FieldKind::Text:
            out << d.nazev;
            break;
        case FieldKind::Whole:
            out << int(d.teplo);
            break;
        case FieldKind::Number:
            out << f->of(d);
            break;
        }
    }
    return out;
}

QString insertInto(DataTable t) {
    const QStringList columns = columnsOf(t);
    return QStringLiteral("insert into %1 (id, %2) values (?%3)")
        .arg(tableName(t), columns.join(QStringLiteral(", ")),
             QStringLiteral(", ?").repeated(columns.size()));
}

// The material row's columns as the listing and the loading read them.
const QString MaterialColumns = columnsOf(DataTable::Materialy).join(QStringLiteral(", "));

// A material row read strictly (a value that is no number is refused).
Data materialRowOf(const QSqlRecord& r) {
    Data d;
    for (const DataField* f : fieldsIn(DataTable::Materialy)) {
        if (f->kind == FieldKind::Text)
            d.nazev = r.value(f->column).toString();
        else
            *f->in(d) = columnNumber(r, f->column);
    }
    return d;
}

} // namespace

// A failed statement in Czech, the server's own words after it.
static QString czech(const QSqlError& e) {
    const QString code = e.nativeErrorCode();
    QString what;
    if (code == u"1142" || code == u"1143" || code == u"1044" || code == u"1045")
        what = QStringLiteral("Účet nemá právo zapisovat do materiálové databáze.");
    else if (code == u"2006" || code == u"2013" || code == u"2002" || code == u"2003")
        what = QStringLiteral("Spojení s databází se přerušilo.");
    else if (code == u"1205" || code == u"1213")
        what = QStringLiteral("Databáze je zaneprázdněna jiným zápisem.");
    else if (code == u"1062")
        what = QStringLiteral("Záznam s tímto klíčem už v databázi je.");
    else
        what = QStringLiteral("Databáze zápis odmítla.");
    return what + QStringLiteral(" Nic nebylo uloženo. (") + e.text().trimmed() + QLatin1Char(')');
}

namespace {
// A write that met another one (a deadlock or a cluster's certification
// failure, a lock wait given up, a key taken meanwhile): the whole
// transaction may succeed when tried again.
class WriteConflict : public DatabaseError {
public:
    using DatabaseError::DatabaseError;
};

// A connection that was found cut before a transaction sent anything (a
// node's connections can be cut when the cluster's membership changes).
class CutBeforeStart : public DatabaseError {
public:
    using DatabaseError::DatabaseError;
};

bool connectionCut(const QString& code) {
    return code == u"2006" || code == u"2013";
}

bool conflict(const QSqlError& e) {
    const QString code = e.nativeErrorCode();
    return code == u"1213" || code == u"1205" || code == u"1062";
}

[[noreturn]] void raise(const QSqlError& e) {
    if (conflict(e)) throw WriteConflict(czech(e));
    throw DatabaseError(czech(e));
}
} // namespace

// One statement after another on the editor's connection, each bounded in
// time; a failure raises DatabaseError saying why in Czech (WriteConflict
// when trying again may help).
static QSqlQuery run(MaterialConnection& c, const QString& sql, const QList<QVariant>& params = {}) {
    const StatementDeadline deadline(c.database(), c.statementLimit());
    QSqlQuery q(c.database());
    q.setForwardOnly(true);
    // Sent as text, each value in the driver's own escaping: a cluster node
    // reports a transaction it rolled back for another node's write to the
    // next text statement, where a prepared one can run on in a new
    // transaction as if nothing had happened.
    QString text;
    qsizetype next = 0;
    for (const QVariant& v : params) {
        const qsizetype mark = sql.indexOf(QLatin1Char('?'), next);
        text += sql.mid(next, mark - next);
        if (v.typeId() == QMetaType::Double) {
            // Every digit that tells the double apart (the driver's text has 15).
            text += QString::number(v.toDouble(), 'g', QLocale::FloatingPointShortest);
        } else {
            QSqlField field(QString(), v.metaType());
            field.setValue(v);
            text += c.database().driver()->formatValue(field);
        }
        next = mark + 1;
    }
    text += sql.mid(next);
    const bool ok = q.exec(text);
    if (!ok) {
        if (deadline.expired())
            throw DatabaseError(QStringLiteral("Databáze nevyřídila dotaz do %1 s. Nic nebylo uloženo.")
                                    .arg(c.statementLimit()));
        raise(q.lastError());
    }
    return q;
}

// A transaction: rolled back unless committed. A lock another writer holds
// is waited for only briefly (well within the connection's read timeout), so
// waiting never looks like a lost connection: the save is tried again.
class MaterialStore::Transaction {
public:
    Transaction(MaterialConnection& c, int lockWaitSeconds) : m_c(c) {
        QSqlQuery q(c.database());
        if (!q.exec(QStringLiteral("set session innodb_lock_wait_timeout = %1").arg(lockWaitSeconds))) {
            if (connectionCut(q.lastError().nativeErrorCode())) throw CutBeforeStart(czech(q.lastError()));
            raise(q.lastError());
        }
        if (!c.database().transaction()) {
            const QSqlError e = c.database().lastError();
            if (connectionCut(e.nativeErrorCode())) throw CutBeforeStart(czech(e));
            raise(e);
        }
        m_open = true;
    }
    ~Transaction() {
        if (m_open) m_c.database().rollback();
    }
    void commit() {
        m_open = false;
        if (!m_c.database().commit()) {
            const QSqlError e = m_c.database().lastError();
            m_c.database().rollback();
            raise(e);
        }
    }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

private:
    MaterialConnection& m_c;
    bool m_open = false;
};

// A write transaction tried whole again, after a short random wait, when it
// met another writer (on a cluster two nodes' writes meet at commit); every
// try checks again against what the user loaded. After the last one the
// conflict is the user's message.
template <class F> auto MaterialStore::written(F&& f) {
    static thread_local std::mt19937 random{std::random_device{}()};
    for (int attempt = 1;; ++attempt) {
        m_step.reset(); // a cluster's size, and so its increment, may have changed
        try {
            Transaction tx(m_connection, m_retry.lockWaitSeconds);
            auto result = f();
            tx.commit();
            return result;
        } catch (const WriteConflict&) {
            if (attempt >= m_retry.attempts) throw;
            ++m_retries;
        } catch (const CutBeforeStart&) {
            // Nothing was sent: connect again (when the store can) and start.
            if (!m_settings || attempt >= m_retry.attempts) throw;
            m_connection.disconnect();
            m_connection.connect(*m_settings);
            ++m_retries;
            continue;
        }
        const int ceiling = m_retry.backOffMs * (1 << std::min(attempt - 1, 4));
        std::this_thread::sleep_for(
            std::chrono::milliseconds(std::uniform_int_distribution<int>(ceiling / 4, ceiling)(random)));
    }
}

// Every action on the database: after a failed one the connection may be
// gone (a server stopped, restarted or frozen), so the next one connects
// again first.
template <class F> auto MaterialStore::guardedCall(F&& f) {
    if (m_broken && m_settings) {
        m_connection.disconnect();
        m_connection.connect(*m_settings);
    }
    m_broken = false;
    try {
        return f();
    } catch (const DatabaseError&) {
        m_broken = true;
        throw;
    }
}

QList<ListedMaterial> MaterialStore::list() {
    return guardedCall([&] {
        QSqlQuery q =
            run(m_connection,
                QStringLiteral("select id, %1 from materialy order by nazev, id").arg(MaterialColumns));
        QList<ListedMaterial> out;
        while (q.next()) {
            const QSqlRecord r = q.record();
            const Data d = materialRowOf(r);
            out.append({r.value(0).toInt(), d.nazev, d.rm, d.rp, d.a5, d.z});
        }
        return out;
    });
}

std::optional<Material> MaterialStore::loadMaterial(int id) {
    QSqlQuery row = run(
        m_connection, QStringLiteral("select id, %1 from materialy where id = ?").arg(MaterialColumns), {id});
    if (!row.next()) return std::nullopt;
    Material m;
    m.id = id;
    setMaterialRow(m, materialRowOf(row.record()));
    QSqlQuery combos = run(m_connection, Combinations, {id});
    while (combos.next()) {
        Data d;
        const QSqlRecord c = combos.record();
        fillData(d, &c);
        // The constants only: the name and values are the material's.
        Data constants;
        for (const DataField& f : dataFields())
            if (f.table != DataTable::Materialy && f.kind == FieldKind::Number) *f.in(constants) = f.of(d);
        constants.teplo = d.teplo;
        m.temperatures.append(constants);
    }
    return m;
}

std::optional<Material> MaterialStore::load(int id) {
    return guardedCall([&] { return loadMaterial(id); });
}

// Names compared exactly: the column's collation takes "C45", "c45", "Č45"
// and "C45 " for one name, so it only narrows the rows (through the index)
// and the bytes decide.
std::optional<int> MaterialStore::exactName(const QString& name, int except, bool locking) {
    // Locking inside a save: a second save of the same name waits for the
    // first and then sees it.
    QSqlQuery q = run(m_connection,
                      QStringLiteral("select id from materialy where nazev = ? and cast(nazev as binary) = "
                                     "cast(? as binary) and id <> ? order by id%1")
                          .arg(locking ? QStringLiteral(" for update") : QString()),
                      {name, name, except});
    if (!q.next()) return std::nullopt;
    return q.value(0).toInt();
}

std::optional<int> MaterialStore::findByName(const QString& name) {
    return guardedCall([&] { return exactName(name, 0, false); });
}

QStringList MaterialStore::similarNames(const QString& name) {
    return guardedCall([&] {
        QSqlQuery q =
            run(m_connection,
                QStringLiteral("select nazev from materialy where nazev = ? and cast(nazev as binary) "
                               "<> cast(? as binary) order by nazev"),
                {name, name});
        QStringList out;
        while (q.next())
            out << q.value(0).toString();
        return out;
    });
}

int MaterialStore::allocate(const char* table) {
    // The key columns need not count by themselves (no AUTO_INCREMENT), so
    // the next key is taken above the highest, locked until the commit: saves
    // through one server wait for each other here. On a cluster each node
    // takes its own residue of the increment the cluster gives it (as
    // AUTO_INCREMENT does there), so two nodes never choose the same key; on
    // one server that is 1 and every key is the next.
    if (!m_step) {
        QSqlQuery s =
            run(m_connection, QStringLiteral("select @@auto_increment_increment, @@auto_increment_offset"));
        s.next();
        m_step = {std::max(1, s.value(0).toInt()), std::max(1, s.value(1).toInt())};
    }
    const auto [increment, offset] = *m_step;
    QSqlQuery q = run(
        m_connection,
        QStringLiteral("select id from %1 order by id desc limit 1 for update").arg(QLatin1String(table)));
    const long long top = q.next() ? q.value(0).toLongLong() : 0;
    // The smallest key above `top` that is `offset` modulo `increment`.
    long long key = top + 1;
    const long long residue = ((offset - key) % increment + increment) % increment;
    key += residue;
    if (key > std::numeric_limits<int>::max())
        throw DatabaseError(
            QStringLiteral("Tabulka %1 nemá volný klíč. Nic nebylo uloženo.").arg(QLatin1String(table)));
    return static_cast<int>(key);
}

void MaterialStore::removeCombinations(int materialId) {
    QList<int> rovnice, ppn, ppol;
    QSqlQuery q =
        run(m_connection,
            QStringLiteral("select id_rovnice, id_ppn, id_ppol from spojeni where id_materialy = ?"),
            {materialId});
    while (q.next()) {
        rovnice << q.value(0).toInt();
        ppn << q.value(1).toInt();
        ppol << q.value(2).toInt();
    }
    run(m_connection, QStringLiteral("delete from spojeni where id_materialy = ?"), {materialId});
    // The constant rows no other link row uses.
    const QList<std::pair<const char*, const QList<int>*>> tables{
        {"rovnice", &rovnice}, {"ppn", &ppn}, {"ppol", &ppol}};
    for (const auto& [table, ids] : tables)
        for (int id : *ids)
            run(m_connection,
                QStringLiteral(
                    "delete from %1 where id = ? and not exists (select 1 from spojeni where id_%1 = ?)")
                    .arg(QLatin1String(table)),
                {id, id});
}

void MaterialStore::writeCombinations(int materialId, const QList<Data>& temperatures) {
    for (const Data& d : temperatures) {
        // A temperature that has a row already uses it.
        QSqlQuery t = run(m_connection, QStringLiteral("select id from teplota where teplo = ? order by id"),
                          {int(d.teplo)});
        int teplota = 0;
        if (t.next()) {
            teplota = t.value(0).toInt();
        } else {
            teplota = allocate("teplota");
            run(m_connection, QStringLiteral("insert into teplota (id, teplo) values (?, ?)"),
                {teplota, int(d.teplo)});
        }
        const int rovnice = allocate("rovnice");
        run(m_connection, insertInto(DataTable::Rovnice),
            QList<QVariant>{rovnice} + valuesOf(DataTable::Rovnice, d));
        const int ppn = allocate("ppn");
        run(m_connection, insertInto(DataTable::Ppn), QList<QVariant>{ppn} + valuesOf(DataTable::Ppn, d));
        const int ppol = allocate("ppol");
        run(m_connection, insertInto(DataTable::Ppol), QList<QVariant>{ppol} + valuesOf(DataTable::Ppol, d));
        run(m_connection,
            QStringLiteral("insert into spojeni (id_materialy, id_teplota, id_rovnice, id_ppn, id_ppol) "
                           "values (?, ?, ?, ?, ?)"),
            {materialId, teplota, rovnice, ppn, ppol});
    }
}

int MaterialStore::saveIn(const std::optional<Material>& loaded, const Material& edited) {
    const QStringList refused = refusals(edited);
    if (!refused.isEmpty()) throw SaveRefused(refused.join(QLatin1Char('\r')));
    int id = 0;
    if (loaded && loaded->id) {
        id = *loaded->id;
        // What this editor loaded must still be what the database holds.
        run(m_connection, QStringLiteral("select id from materialy where id = ? for update"), {id});
        const std::optional<Material> now = loadMaterial(id);
        if (!now) throw DeletedMeanwhile(msgDeletedMeanwhile(loaded->nazev));
        if (now != loaded) throw SaveRefused(MsgChangedMeanwhile);
    }
    if (exactName(edited.nazev, id, true))
        throw SaveRefused(QStringLiteral("Materiál „%1“ už v databázi je.").arg(edited.nazev));
    if (id == 0) {
        id = allocate("materialy");
        run(m_connection, insertInto(DataTable::Materialy),
            QList<QVariant>{id} + valuesOf(DataTable::Materialy, materialRow(edited)));
    } else {
        run(m_connection,
            QStringLiteral("update materialy set %1 = ? where id = ?")
                .arg(columnsOf(DataTable::Materialy).join(QStringLiteral(" = ?, "))),
            valuesOf(DataTable::Materialy, materialRow(edited)) + QList<QVariant>{id});
        removeCombinations(id);
    }
    writeCombinations(id, records(edited));
    // Before the commit: the transaction holds the material whole, as it was
    // written (a transaction a server rolled back on its own must never go
    // on half-written in a new one).
    const std::optional<Material> written = loadMaterial(id);
    if (!written || records(*written) != records(edited))
        throw WriteConflict(QStringLiteral("Databáze je zaneprázdněna jiným zápisem. Nic nebylo uloženo. "
                                           "(Uložený materiál se v transakci nenašel celý.)"));
    return id;
}

int MaterialStore::save(const std::optional<Material>& loaded, const Material& edited) {
    return guardedCall([&] { return written([&] { return saveIn(loaded, edited); }); });
}

QList<int> MaterialStore::saveAll(const QList<Save>& saves) {
    return guardedCall([&] {
        return written([&] {
            QList<int> ids;
            for (const Save& s : saves) {
                try {
                    ids << saveIn(s.loaded, s.edited);
                } catch (const DeletedMeanwhile&) {
                    throw;
                } catch (const SaveRefused& e) {
                    if (e.message().contains(s.edited.nazev)) throw;
                    throw SaveRefused(QStringLiteral("Materiál „%1“: ").arg(s.edited.nazev) + e.message());
                }
            }
            return ids;
        });
    });
}

void MaterialStore::remove(const Material& loaded) {
    if (!loaded.id) return;
    guardedCall([&] {
        return written([&] {
            run(m_connection, QStringLiteral("select id from materialy where id = ? for update"),
                {*loaded.id});
            const std::optional<Material> now = loadMaterial(*loaded.id);
            if (!now) return 0; // someone else deleted it already
            if (now != loaded) throw SaveRefused(MsgChangedMeanwhile);
            removeCombinations(*loaded.id);
            run(m_connection, QStringLiteral("delete from materialy where id = ?"), {*loaded.id});
            return 0;
        });
    });
}

namespace {
// A name cut to the 100 characters of the column, never inside a character
// and without a blank at its end.
QString cutName(QString name) {
    if (name.size() > 100) {
        name.truncate(100);
        if (name.back().isHighSurrogate()) name.chop(1);
    }
    while (!name.isEmpty() && name.back().isSpace())
        name.chop(1);
    return name;
}
} // namespace

int MaterialStore::duplicate(const Material& m) {
    Material copy = m;
    copy.id.reset();
    QString name = cutName(QStringLiteral("Kopie ") + m.nazev);
    for (int n = 2; findByName(name); ++n)
        name = cutName(QStringLiteral("Kopie %1 ").arg(n) + m.nazev);
    copy.nazev = name;
    return save(std::nullopt, copy);
}

} // namespace prolis::edit
