// The material editor's writing module and command line against a writable
// copy of the fixture database: saves all or nothing, keys that never
// collide, two editors, deletion, import and export.
#include "core/Errors.h"
#include "db/MaterialCatalog.h"
#include "editor/MatEditCli.h"
#include "editor/MaterialFiles.h"
#include "editor/MaterialStore.h"
#include "support/FreezingProxy.h"
#include "support/TestDb.h"

#include <QBuffer>
#include <QFileInfo>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>
#include <atomic>
#include <condition_variable>
#include <future>
#include <mutex>
#include <thread>

using namespace prolis;
using namespace prolis::edit;

namespace {
ConnectionSettings editor(const QString& database = qEnvironmentVariable("PROLIS_TEST_DB_EDIT"),
                          const QString& user = QStringLiteral("prolis_editor")) {
    ConnectionSettings s = test::testDbSettings(database);
    s.User = user;
    return s;
}

int count(MaterialConnection& c, const QString& sql) {
    QSqlQuery q(c.database());
    q.exec(sql);
    return q.next() ? q.value(0).toInt() : -1;
}

Data at(int temperature, double polA) {
    Data d;
    d.teplo = static_cast<std::int16_t>(temperature);
    d.pol_a = polA;
    d.pol_b = 0.2;
    d.ppol_a = polA / 1200;
    d.ppol_b = 1.2;
    d.pn3 = {500, 300, -100, 20};
    d.rlfd[0] = 35.6824823;
    d.fimax = 1.4;
    d.fistr = 0.7;
    return d;
}

Material newMaterial(const QString& name, const QList<int>& temperatures) {
    Material m;
    m.nazev = name;
    m.rm = 650;
    m.rp = 350;
    m.a5 = 16;
    m.z = 40;
    for (int t : temperatures)
        m.temperatures.append(at(t, 900 - t));
    return m;
}
} // namespace

Q_DECLARE_METATYPE(prolis::edit::Material)

class TestMaterialStore : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void saveAndLoad();
    void readByProlis();
    void editorsAtOnce();
    void changedMeanwhile();
    void deletion();
    void refusals_data();
    void refusals();
    void failedHalfway();
    void duplicate();
    void serverGone();
    void importExport();
    void reconnectsAfterServerBack();
    void exactNames();
    void importAllOrNothing();
    void exportWithoutTemperatures();
    void copiesOfLongNames();
    void strictMaterialValues();
    void nothingHeldWhenTransactionFails();
    void deletedByAnother();
    void waitsForAnotherEditor();
    void triesAgainUntilTheOtherWriterIsDone();
    void commandLineOrWindows_data();
    void commandLineOrWindows();

private:
    struct Result {
        int code;
        QByteArray out;
        QString err;
    };
    Result run(const QStringList& args);
    QString ini(const QString& database);
    QTemporaryDir m_dir;
};

TestMaterialStore::Result TestMaterialStore::run(const QStringList& args) {
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    QString err;
    QTextStream e(&err);
    const int code = runCommandLine(args, out, e, {m_dir.path(), [] { return QStringLiteral("prolis"); }});
    return {code, out.data(), err};
}

QString TestMaterialStore::ini(const QString& database) {
    const QString path = m_dir.filePath(database + QStringLiteral(".ini"));
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(test::testDbIni(database));
    return path;
}

void TestMaterialStore::initTestCase() {
    REQUIRE_TEST_DB();
}

void TestMaterialStore::saveAndLoad() {
    // A new material with two temperatures: the one the database has (20)
    // reuses its row, a new one (450) gets one; everything reads back.
    MaterialConnection c;
    c.connect(editor());
    MaterialStore store(c);
    const int temperatures = count(c, "select count(*) from teplota");
    const Material m = newMaterial(QStringLiteral("Nová ocel ž"), {450, 20});
    const int id = store.save(std::nullopt, m);
    QCOMPARE(count(c, "select count(*) from teplota"), temperatures + 1);
    const std::optional<Material> loaded = store.load(id);
    QVERIFY(loaded);
    Material expected = m;
    expected.id = id;
    expected.temperatures = {m.temperatures[1], m.temperatures[0]}; // lowest first
    QCOMPARE(*loaded, expected);
    // Saved again with a change: one combination less, the other changed.
    Material changed = *loaded;
    changed.temperatures.removeFirst();
    changed.temperatures[0].pol_a = 777;
    QCOMPARE(store.save(loaded, changed), id);
    QCOMPARE(*store.load(id), changed);
    QCOMPARE(count(c, QStringLiteral("select count(*) from spojeni where id_materialy = %1").arg(id)), 1);
}

void TestMaterialStore::readByProlis() {
    // What the editor saved is what Prolis reads (its own statements, its
    // read-only user).
    MaterialConnection c;
    c.connect(editor());
    MaterialStore store(c);
    const Material m = newMaterial(QStringLiteral("Pro Prolis"), {20, 200});
    const int id = store.save(std::nullopt, m);
    MaterialConnection reader;
    reader.connect(test::testDbSettings(qEnvironmentVariable("PROLIS_TEST_DB_EDIT")));
    Data d;
    QCOMPARE(loadMaterial(reader, QString::number(id), 200, d, MaterialBy::Id), LookupResult::Found);
    QCOMPARE(d, records(m)[1]);
}

void TestMaterialStore::editorsAtOnce() {
    // Two editors saving new materials at the same moment: their keys never
    // collide, both materials are whole.
    QList<int> ids;
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    std::mutex lock;
    for (int k = 0; k < 2; ++k)
        threads.emplace_back([&, k] {
            MaterialConnection c;
            try {
                c.connect(editor());
                MaterialStore store(c);
                for (int i = 0; i < 5; ++i) {
                    const int id =
                        store.save(std::nullopt, newMaterial(QStringLiteral("Souběh %1-%2").arg(k).arg(i),
                                                             {20, 100, 300 + k}));
                    std::lock_guard g(lock);
                    ids << id;
                }
            } catch (const Error&) {
                ++failures;
            }
        });
    for (std::thread& t : threads)
        t.join();
    QCOMPARE(failures.load(), 0);
    QCOMPARE(ids.size(), 10);
    MaterialConnection c;
    c.connect(editor());
    MaterialStore store(c);
    for (int id : ids)
        QCOMPARE(store.load(id)->temperatures.size(), 3);
    QCOMPARE(QSet<int>(ids.begin(), ids.end()).size(), 10);
}

void TestMaterialStore::changedMeanwhile() {
    // Two editors on one material: the second save over the first one's
    // change is refused and writes nothing; the first one's change stays.
    MaterialConnection a, b;
    a.connect(editor());
    b.connect(editor());
    MaterialStore first(a), second(b);
    const int id = first.save(std::nullopt, newMaterial(QStringLiteral("Dva editoři"), {20, 100}));
    const Material loadedA = *first.load(id);
    const Material loadedB = *second.load(id);
    Material byA = loadedA;
    byA.rm = 700;
    first.save(loadedA, byA);
    Material byB = loadedB;
    byB.temperatures[0].pol_a = 1;
    try {
        second.save(loadedB, byB);
        QFAIL("saved over the other editor's change");
    } catch (const SaveRefused& e) {
        QCOMPARE(e.message(), MsgChangedMeanwhile);
    }
    QCOMPARE(*second.load(id), byA);
}

void TestMaterialStore::deletion() {
    // A deleted material takes its link rows and the constant rows no other
    // link uses; a temperature row stays for the others.
    MaterialConnection c;
    c.connect(editor());
    MaterialStore store(c);
    const int id = store.save(std::nullopt, newMaterial(QStringLiteral("Ke smazání"), {20, 777}));
    const Material loaded = *store.load(id);
    const int rovnice = count(c, "select count(*) from rovnice");
    const int spojeni = count(c, "select count(*) from spojeni");
    store.remove(loaded);
    QVERIFY(!store.load(id));
    QCOMPARE(count(c, "select count(*) from rovnice"), rovnice - 2);
    QCOMPARE(count(c, "select count(*) from spojeni"), spojeni - 2);
    QCOMPARE(count(c, "select count(*) from teplota where teplo = 777"), 1);
    // Constant rows another link uses stay: a second material linked by hand
    // to the constants of the first.
    const int a = store.save(std::nullopt, newMaterial(QStringLiteral("Sdílí A"), {20}));
    const int b = store.save(std::nullopt, newMaterial(QStringLiteral("Sdílí B"), {}));
    QSqlQuery link(c.database());
    QVERIFY(link.exec(
        QStringLiteral("insert into spojeni (id_materialy, id_teplota, id_rovnice, id_ppn, id_ppol) "
                       "select %1, id_teplota, id_rovnice, id_ppn, id_ppol from spojeni "
                       "where id_materialy = %2")
            .arg(b)
            .arg(a)));
    const int shared = count(c, "select count(*) from rovnice");
    store.remove(*store.load(a));
    QCOMPARE(count(c, "select count(*) from rovnice"), shared);
    QCOMPARE(store.load(b)->temperatures.size(), 1);
}

void TestMaterialStore::refusals_data() {
    QTest::addColumn<Material>("material");
    QTest::addColumn<QString>("message");
    Material m = newMaterial(QStringLiteral("Zkušební ocel"), {20});
    QTest::newRow("name taken") << m << "Materiál „Zkušební ocel“ už v databázi je.";
    m.nazev.clear();
    QTest::newRow("no name") << m << "Název materiálu nesmí být prázdný.";
    m.nazev = QString(101, QLatin1Char('x'));
    QTest::newRow("name too long") << m << "Název materiálu je delší než 100 znaků.";
    m = newMaterial(QStringLiteral("Dvakrát 20"), {20, 20});
    QTest::newRow("temperature twice") << m << "Teplota 20 °C je zadána vícekrát.";
    m = newMaterial(QStringLiteral("Nekonečno"), {20});
    m.temperatures[0].pn5[2] = std::numeric_limits<double>::infinity();
    QTest::newRow("infinite constant") << m << "Konstanty při teplotě 20 °C musí být konečná čísla.";
}

void TestMaterialStore::refusals() {
    QFETCH(Material, material);
    QFETCH(QString, message);
    MaterialConnection c;
    c.connect(editor());
    MaterialStore store(c);
    const int before = count(c, "select count(*) from materialy");
    try {
        store.save(std::nullopt, material);
        QFAIL("saved");
    } catch (const SaveRefused& e) {
        QCOMPARE(e.message(), message);
    }
    QCOMPARE(count(c, "select count(*) from materialy"), before);
}

void TestMaterialStore::failedHalfway() {
    // The server refuses a write half-way (no privilege for the work
    // constants): the server's reason, and nothing of the material written.
    MaterialConnection c;
    c.connect(editor(qEnvironmentVariable("PROLIS_TEST_DB_EDIT"), QStringLiteral("prolis_halfway")));
    MaterialStore store(c);
    const QStringList tables{"materialy", "teplota", "rovnice", "ppn", "ppol", "spojeni"};
    QList<int> before;
    for (const QString& t : tables)
        before << count(c, "select count(*) from " + t);
    try {
        store.save(std::nullopt, newMaterial(QStringLiteral("Napůl"), {20, 888}));
        QFAIL("saved");
    } catch (const DatabaseError& e) {
        QVERIFY2(
            e.message().startsWith(QStringLiteral("Účet nemá právo zapisovat do materiálové databáze. Nic "
                                                  "nebylo uloženo. (")) &&
                e.message().contains(QLatin1String("denied")),
            qPrintable(e.message()));
    }
    for (int i = 0; i < tables.size(); ++i)
        QCOMPARE(count(c, "select count(*) from " + tables[i]), before[i]);
    // The lock is given back: the next save goes through.
    MaterialConnection other;
    other.connect(editor());
    QVERIFY(MaterialStore(other).save(std::nullopt, newMaterial(QStringLiteral("Po chybě"), {20})) > 0);
}

void TestMaterialStore::serverGone() {
    // The server goes away while a material is open: the save says so in
    // Czech, and after the server is back nothing of it is there.
    test::FreezingProxy proxy(test::testDbSettings().Port);
    ConnectionSettings s = editor();
    s.Port = proxy.port();
    MaterialConnection c;
    c.connect(s);
    MaterialStore store(c);
    QVERIFY(!store.list().isEmpty());
    proxy.setDown(true);
    QThread::msleep(200);
    try {
        store.save(std::nullopt, newMaterial(QStringLiteral("Bez serveru"), {20}));
        QFAIL("saved");
    } catch (const DatabaseError& e) {
        QVERIFY2(
            e.message().startsWith(QStringLiteral("Spojení s databází se přerušilo. Nic nebylo uloženo.")),
            qPrintable(e.message()));
    }
    MaterialConnection direct;
    direct.connect(editor());
    QVERIFY(!MaterialStore(direct).findByName(QStringLiteral("Bez serveru")));
}

void TestMaterialStore::duplicate() {
    MaterialConnection c;
    c.connect(editor());
    MaterialStore store(c);
    const Material original = *store.load(1);
    const int copy = store.duplicate(original);
    const int second = store.duplicate(original);
    Material expected = original;
    expected.id = copy;
    expected.nazev = QStringLiteral("Kopie Zkušební ocel");
    QCOMPARE(*store.load(copy), expected);
    QCOMPARE(store.load(second)->nazev, QStringLiteral("Kopie 2 Zkušební ocel"));
}

void TestMaterialStore::importExport() {
    // A material exported from one database and imported into an empty one
    // reads there, through Prolis's own statements, as the file holds it.
    const QString from = ini(qEnvironmentVariable("PROLIS_TEST_DB_EDIT"));
    const QString to = ini(qEnvironmentVariable("PROLIS_TEST_DB_EDIT_EMPTY"));
    const QString file = m_dir.filePath(QStringLiteral("zkusebni.json"));
    const Result exported =
        run({"--export", "Zkušební ocel", "-o", file, "--ini", from, "--user", "prolis_editor"});
    QCOMPARE(exported.code, 0);
    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray json = f.readAll();
    f.close();
    QVERIFY(json.startsWith("[\n  {\n    \"nazev\": \"Zkušební ocel\""));
    const Result imported = run({"--import", file, "--ini", to, "--user", "prolis_editor"});
    QVERIFY2(imported.code == 0, qPrintable(imported.err));
    MaterialConnection reader;
    reader.connect(test::testDbSettings(qEnvironmentVariable("PROLIS_TEST_DB_EDIT_EMPTY")));
    MaterialConnection source;
    source.connect(test::testDbSettings(qEnvironmentVariable("PROLIS_TEST_DB_EDIT")));
    for (int t : {20, 100}) {
        Data there, here;
        QCOMPARE(loadMaterial(reader, QStringLiteral("Zkušební ocel"), t, there, MaterialBy::Name),
                 LookupResult::Found);
        QCOMPARE(loadMaterial(source, QStringLiteral("Zkušební ocel"), t, here, MaterialBy::Name),
                 LookupResult::Found);
        QCOMPARE(there, here);
    }
    // The name is there now: refused, unless replaced.
    const Result again = run({"--import", file, "--ini", to, "--user", "prolis_editor"});
    QCOMPARE(again.code, 1);
    QCOMPARE(again.err,
             QStringLiteral(
                 "Materiál „Zkušební ocel“ už v databázi je (nahradí jej --replace). Nic nebylo uloženo.\n"));
    QCOMPARE(run({"--import", file, "--replace", "--ini", to, "--user", "prolis_editor"}).code, 0);
    // A file with one bad value imports nothing; the account must be allowed to write.
    QByteArray bad = json;
    bad.replace("\"pol_a\": ", "\"pol_a\": \"x\", \"dříve\": ");
    const QString badFile = m_dir.filePath(QStringLiteral("bad.json"));
    QFile b(badFile);
    QVERIFY(b.open(QIODevice::WriteOnly));
    b.write(bad.replace("Zkušební ocel", "Jiná ocel"));
    b.close();
    const Result refused = run({"--import", badFile, "--ini", to, "--user", "prolis_editor"});
    QCOMPARE(refused.code, 1);
    QVERIFY2(refused.err.contains(QStringLiteral("klíč \"pol_a\" nemá číselnou hodnotu")),
             qPrintable(refused.err));
    Data none;
    QCOMPARE(loadMaterial(reader, QStringLiteral("Jiná ocel"), 20, none, MaterialBy::Name),
             LookupResult::NoMaterial);
    const Result readOnly = run({"--import", file, "--replace", "--ini", to});
    QCOMPARE(readOnly.code, 3);
    QVERIFY2(readOnly.err.startsWith(QStringLiteral("Účet nemá právo zapisovat do materiálové databáze.")),
             qPrintable(readOnly.err));
    QCOMPARE(run({"--export"}).code, 64);
}

void TestMaterialStore::reconnectsAfterServerBack() {
    // One lost connection does not end the editor's saves: the first save
    // after it fails, the next action connects again and saves.
    test::FreezingProxy proxy(test::testDbSettings().Port);
    ConnectionSettings s = editor();
    s.Port = proxy.port();
    MaterialConnection c;
    c.connect(s);
    MaterialStore store(c, s);
    QVERIFY(!store.list().isEmpty());
    proxy.setDown(true);
    QThread::msleep(200);
    QVERIFY_THROWS_EXCEPTION(DatabaseError,
                             store.save(std::nullopt, newMaterial(QStringLiteral("Po výpadku"), {20})));
    proxy.setDown(false);
    QVERIFY(store.save(std::nullopt, newMaterial(QStringLiteral("Po výpadku"), {20})) > 0);
    QVERIFY(store.findByName(QStringLiteral("Po výpadku")));
}

void TestMaterialStore::exactNames() {
    // The column's collation takes these for one name; the editor does not.
    MaterialConnection c;
    c.connect(editor());
    MaterialStore store(c);
    const int id = store.save(std::nullopt, newMaterial(QStringLiteral("C45 (12 050)"), {20}));
    for (const QString& other : {QStringLiteral("Č45 (12 050)"), QStringLiteral("c45 (12 050)")}) {
        QCOMPARE(store.findByName(other), std::nullopt);
        QVERIFY(store.similarNames(other).contains(QStringLiteral("C45 (12 050)")));
        const int otherId = store.save(std::nullopt, newMaterial(other, {20}));
        QVERIFY(otherId != id);
        QCOMPARE(store.load(otherId)->nazev, other);
    }
    QCOMPARE(store.findByName(QStringLiteral("C45 (12 050)")), std::optional<int>(id));
    QCOMPARE(store.load(id)->nazev, QStringLiteral("C45 (12 050)"));
    // Through the command line: --replace of the accented name replaces
    // only that one and warns of the others.
    const QString file = m_dir.filePath(QStringLiteral("c45.json"));
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(materialJson(newMaterial(QStringLiteral("Č45 (12 050)"), {20, 100})));
    f.close();
    const Result r = run({"--import", file, "--replace", "--ini",
                          ini(qEnvironmentVariable("PROLIS_TEST_DB_EDIT")), "--user", "prolis_editor"});
    QVERIFY2(r.code == 0, qPrintable(r.err));
    QVERIFY2(r.err.contains(QStringLiteral("v databázi je materiál „C45 (12 050)“")), qPrintable(r.err));
    QCOMPARE(store.load(id)->temperatures.size(), 1);
    QCOMPARE(store.load(id)->nazev, QStringLiteral("C45 (12 050)"));
}

void TestMaterialStore::importAllOrNothing() {
    // The second file is refused: the first is not saved either.
    const QString a = m_dir.filePath(QStringLiteral("a.json")), b = m_dir.filePath(QStringLiteral("b.json"));
    for (const auto& [path, name] :
         {std::pair{a, QStringLiteral("Nový z a")}, std::pair{b, QStringLiteral("Zkušební ocel")}}) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(materialJson(newMaterial(name, {20})));
    }
    const QString database = ini(qEnvironmentVariable("PROLIS_TEST_DB_EDIT"));
    const Result r = run({"--import", a, b, "--ini", database, "--user", "prolis_editor"});
    QCOMPARE(r.code, 1);
    MaterialConnection c;
    c.connect(editor());
    QCOMPARE(MaterialStore(c).findByName(QStringLiteral("Nový z a")), std::nullopt);
    // The same material in two files is refused too.
    const Result twice = run({"--import", a, a, "--ini", database, "--user", "prolis_editor"});
    QCOMPARE(twice.code, 1);
    QCOMPARE(twice.err, QStringLiteral("Materiál „Nový z a“ je v importovaných souborech vícekrát.\n"));
    QCOMPARE(run({"--import", a, "--ini", database, "--user", "prolis_editor"}).code, 0);
}

void TestMaterialStore::exportWithoutTemperatures() {
    const Result r = run({"--export", "Bez teplot", "-o", m_dir.filePath(QStringLiteral("bez.json")), "--ini",
                          ini(qEnvironmentVariable("PROLIS_TEST_DB_EDIT")), "--user", "prolis_editor"});
    QCOMPARE(r.code, 1);
    QVERIFY2(r.err.startsWith(QStringLiteral("Materiál „Bez teplot“ nemá žádnou teplotu")),
             qPrintable(r.err));
    QVERIFY(!QFileInfo::exists(m_dir.filePath(QStringLiteral("bez.json"))));
}

void TestMaterialStore::copiesOfLongNames() {
    // A name of 100 characters: every copy is cut to 100 before it is
    // compared, so the second copy gets a number of its own.
    MaterialConnection c;
    c.connect(editor());
    MaterialStore store(c);
    const QString name = QString(99, QLatin1Char('D')) + QStringLiteral("x");
    const int id = store.save(std::nullopt, newMaterial(name, {20}));
    const Material m = *store.load(id);
    const int first = store.duplicate(m), second = store.duplicate(m), third = store.duplicate(m);
    QCOMPARE(store.load(first)->nazev, (QStringLiteral("Kopie ") + name).left(100));
    QCOMPARE(store.load(second)->nazev, (QStringLiteral("Kopie 2 ") + name).left(100));
    QCOMPARE(store.load(third)->nazev, (QStringLiteral("Kopie 3 ") + name).left(100));
}

void TestMaterialStore::strictMaterialValues() {
    // Rm held as a text that is no number is refused, not read as 0.
    MaterialConnection c;
    c.connect(editor(qEnvironmentVariable("PROLIS_TEST_DB_EDIT_TEXT")));
    MaterialStore store(c);
    const QString refusal = QStringLiteral("Hodnota 'abc' ve sloupci Rm není číslo.");
    for (const auto& action : QList<std::function<void()>>{[&] { store.load(2); }, [&] { store.list(); }}) {
        try {
            action();
            QFAIL("read as a number");
        } catch (const DatabaseError& e) {
            QCOMPARE(e.message(), refusal);
        }
    }
    QCOMPARE(store.load(1)->rm, 600.0);
}

void TestMaterialStore::nothingHeldWhenTransactionFails() {
    // The transaction cannot start (an XA transaction is open on the
    // connection): the save fails and holds nothing, so another editor
    // saves at once.
    MaterialConnection c;
    c.connect(editor());
    QSqlQuery xa(c.database());
    QVERIFY(xa.exec(QStringLiteral("xa start 'prolis_test'")));
    MaterialStore store(c);
    QVERIFY_THROWS_EXCEPTION(DatabaseError,
                             store.save(std::nullopt, newMaterial(QStringLiteral("Bez transakce"), {20})));
    MaterialConnection other;
    other.connect(editor());
    MaterialStore second(other);
    second.setRetry({1, 1, 10}); // a lock left behind would fail this at once
    QVERIFY(second.save(std::nullopt, newMaterial(QStringLiteral("Hned po ní"), {20})) > 0);
    QCOMPARE(second.retries(), 0);
    xa.exec(QStringLiteral("xa end 'prolis_test'"));
    xa.exec(QStringLiteral("xa rollback 'prolis_test'"));
}

void TestMaterialStore::deletedByAnother() {
    MaterialConnection a, b;
    a.connect(editor());
    b.connect(editor());
    MaterialStore first(a), second(b);
    const int id = first.save(std::nullopt, newMaterial(QStringLiteral("Smazaný jinde"), {20}));
    const Material loaded = *second.load(id);
    first.remove(*first.load(id));
    Material edited = loaded;
    edited.rm = 700;
    try {
        second.save(loaded, edited);
        QFAIL("saved");
    } catch (const DeletedMeanwhile& e) {
        QCOMPARE(e.message(), msgDeletedMeanwhile(QStringLiteral("Smazaný jinde")));
    }
    second.remove(loaded); // already gone: nothing to say
}

namespace {
// Another writer in the middle of a save: its transaction holds the newest
// key rows of the material tables until it is told to end.
class OtherWriter {
public:
    explicit OtherWriter(const ConnectionSettings& settings) {
        std::promise<void> holding;
        m_holding = holding.get_future();
        m_thread = std::thread([this, settings, holding = std::move(holding)]() mutable {
            MaterialConnection c;
            c.connect(settings);
            QSqlQuery q(c.database());
            c.database().transaction();
            for (const char* table : {"materialy", "rovnice", "ppn", "ppol"})
                q.exec(QStringLiteral("select id from %1 order by id desc limit 1 for update").arg(table));
            holding.set_value();
            std::unique_lock lock(m_mutex);
            m_done.wait(lock, [this] { return m_end; });
            c.database().rollback();
        });
        m_holding.wait();
    }
    void end() {
        {
            std::lock_guard lock(m_mutex);
            m_end = true;
        }
        m_done.notify_all();
        if (m_thread.joinable()) m_thread.join();
    }
    ~OtherWriter() { end(); }

private:
    std::future<void> m_holding;
    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_done;
    bool m_end = false;
};
} // namespace

void TestMaterialStore::waitsForAnotherEditor() {
    // Another writer holds its rows longer than every try waits: the save
    // says the database is busy (not a lost connection) after trying again,
    // and the same connection saves once the other is done.
    MaterialConnection c;
    c.connect(editor());
    MaterialStore store(c);
    store.setRetry({3, 1, 10});
    OtherWriter other(editor());
    try {
        store.save(std::nullopt, newMaterial(QStringLiteral("Po čekání"), {20}));
        QFAIL("saved through another writer's locks");
    } catch (const DatabaseError& e) {
        QVERIFY2(e.message().startsWith(
                     QStringLiteral("Databáze je zaneprázdněna jiným zápisem. Nic nebylo uloženo.")),
                 qPrintable(e.message()));
    }
    QCOMPARE(store.retries(), 2);
    other.end();
    QVERIFY(store.save(std::nullopt, newMaterial(QStringLiteral("Po čekání"), {20})) > 0);
}

void TestMaterialStore::triesAgainUntilTheOtherWriterIsDone() {
    // The other writer ends while this save waits: a later try lands, whole.
    MaterialConnection c;
    c.connect(editor());
    MaterialStore store(c);
    store.setRetry({8, 1, 10});
    auto other = std::make_unique<OtherWriter>(editor());
    std::thread ender([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        other->end();
    });
    const int id = store.save(std::nullopt, newMaterial(QStringLiteral("Až po druhém"), {20, 300}));
    ender.join();
    QVERIFY(id > 0);
    QVERIFY(store.retries() >= 1);
    QCOMPARE(store.load(id)->temperatures.size(), 2);
}

void TestMaterialStore::commandLineOrWindows_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("commandLine");
    QTest::newRow("nothing") << QStringList{} << false;
    QTest::newRow("Qt's platform") << QStringList{"-platform", "offscreen"} << false;
    QTest::newRow("Qt's platform, two dashes") << QStringList{"--platform", "offscreen"} << false;
    QTest::newRow("Qt's style and reverse") << QStringList{"-style=Fusion", "-reverse"} << false;
    QTest::newRow("import") << QStringList{"--import", "a.json"} << true;
    QTest::newRow("Qt's option, then ours") << QStringList{"-platform", "offscreen", "--help"} << true;
    QTest::newRow("a wrong option") << QStringList{"--imprt", "a.json"} << true;
    QTest::newRow("a file alone") << QStringList{"a.json"} << true;
}

void TestMaterialStore::commandLineOrWindows() {
    // Only MatEdit's own arguments select the command line; a wrong one is
    // told in readable Czech.
    QFETCH(QStringList, args);
    QFETCH(bool, commandLine);
    QCOMPARE(isCommandLine(args), commandLine);
    if (args.value(0) == u"--imprt") {
        const Result r = run(args);
        QCOMPARE(r.code, 64);
        QVERIFY2(r.err.contains(QStringLiteral("Použití: MatEdit --import")), qPrintable(r.err));
    }
}

QTEST_GUILESS_MAIN(TestMaterialStore)
#include "test_materialstore.moc"
