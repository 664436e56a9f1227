// MatEdit's saves and Prolis's reads through the nodes of a three-node
// Galera cluster (scripts/cluster; PROLIS_CLUSTER_PORTS, _DIR, _DB): every
// parallel save lands whole, two nodes replacing one material end with one
// whole version, a read through another node sees a save at once, and a node
// killed in the middle of a save leaves nothing half-written.
#include "core/Errors.h"
#include "db/MaterialCatalog.h"
#include "editor/MaterialStore.h"

#include <QProcess>
#include <QSqlQuery>
#include <QtTest>
#include <atomic>
#include <barrier>
#include <thread>

using namespace prolis;
using namespace prolis::edit;

namespace {
QList<int> ports() {
    QList<int> out;
    for (const QString& p : qEnvironmentVariable("PROLIS_CLUSTER_PORTS").split(' ', Qt::SkipEmptyParts))
        out << p.toInt();
    return out;
}

ConnectionSettings node(int n, const QString& user = QStringLiteral("prolis_editor")) {
    ConnectionSettings s;
    s.HostName = QStringLiteral("127.0.0.1");
    s.Port = ports().value(n - 1);
    s.Database = qEnvironmentVariable("PROLIS_CLUSTER_DB");
    s.User = user;
    s.Password = QStringLiteral("prolis");
    return s;
}

Material material(const QString& name, const QList<int>& temperatures, double rm = 650) {
    Material m;
    m.nazev = name;
    m.rm = rm;
    m.rp = 350;
    for (int t : temperatures) {
        Data d;
        d.teplo = static_cast<std::int16_t>(t);
        d.pol_a = 900 - t + rm / 1000;
        d.pol_b = 0.2;
        d.ppol_a = 0.6;
        d.ppol_b = 1.2;
        d.fimax = 1.4;
        m.temperatures.append(d);
    }
    return m;
}

// The tables of a node, as checksums after it has applied every write.
QString tables(int n) {
    MaterialConnection c;
    c.connect(node(n));
    QSqlQuery q(c.database());
    q.exec(QStringLiteral("select count(*) from spojeni")); // waits for the cluster's writes
    QStringList out;
    for (const char* t : {"materialy", "teplota", "spojeni", "rovnice", "ppn", "ppol"}) {
        q.exec(QStringLiteral("checksum table %1").arg(t));
        out << (q.next() ? q.value(1).toString() : QStringLiteral("?"));
    }
    return out.join(' ');
}

void cluster(const QString& action, int n) {
    QProcess p;
    p.start(qEnvironmentVariable("PROLIS_CLUSTER_SCRIPT"),
            {action, QString::number(n), qEnvironmentVariable("PROLIS_CLUSTER_DIR")});
    QVERIFY(p.waitForFinished(120000));
    QVERIFY2(p.exitCode() == 0, p.readAllStandardError().constData());
}
} // namespace

class TestCluster : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void parallelSavesThroughEveryNode();
    void replacedThroughTwoNodesAtOnce();
    void readThroughAnotherNodeAtOnce();
    void nodeKilledInTheMiddleOfASave();

private:
    // Names of this run (the cluster may hold an earlier run's materials).
    const QString m_run = QString::number(QDateTime::currentMSecsSinceEpoch() % 1000000);
};

void TestCluster::initTestCase() {
    if (ports().size() != 3) QSKIP("no cluster (scripts/test starts one: PROLIS_CLUSTER_PORTS)");
}

void TestCluster::parallelSavesThroughEveryNode() {
    // Thirty imports at once, ten through each node: every one lands, whole,
    // and the three nodes hold the same tables.
    constexpr int Count = 30;
    std::atomic<int> landed = 0, retried = 0;
    std::vector<QString> failures(Count);
    std::barrier start(Count);
    std::vector<std::thread> editors;
    for (int i = 0; i < Count; ++i)
        editors.emplace_back([&, i] {
            MaterialConnection c;
            c.connect(node(i % 3 + 1));
            MaterialStore store(c);
            start.arrive_and_wait();
            try {
                store.save(std::nullopt, material(QStringLiteral("Paralelní %1 %2").arg(m_run).arg(i),
                                                  {20, 200, 400, 600}));
                ++landed;
            } catch (const Error& e) {
                failures[size_t(i)] = e.message();
            }
            retried += store.retries();
        });
    for (std::thread& t : editors)
        t.join();
    for (const QString& f : failures)
        QVERIFY2(f.isEmpty(), qPrintable(f));
    QCOMPARE(landed.load(), Count);
    qInfo("30 parallel saves through three nodes: %d landed, %d tries again", landed.load(), retried.load());
    for (int n = 1; n <= 3; ++n) {
        MaterialConnection c;
        c.connect(node(n));
        MaterialStore store(c);
        int found = 0;
        for (const ListedMaterial& m : store.list())
            if (m.nazev.startsWith(QStringLiteral("Paralelní %1 ").arg(m_run))) {
                QCOMPARE(store.load(m.id)->temperatures.size(), 4);
                ++found;
            }
        QCOMPARE(found, Count);
    }
    QCOMPARE(tables(2), tables(1));
    QCOMPARE(tables(3), tables(1));
}

void TestCluster::replacedThroughTwoNodesAtOnce() {
    // Two editors, on nodes 1 and 2, save over the same material at the same
    // moment: each save lands or is refused as changed meanwhile, never both
    // refused, and node 3 holds one whole version.
    for (int round = 0; round < 5; ++round) {
        int id = 0;
        {
            MaterialConnection c;
            c.connect(node(1));
            MaterialStore store(c);
            id = store.save(std::nullopt,
                            material(QStringLiteral("Sporný %1 %2").arg(m_run).arg(round), {20, 300}));
        }
        const QList<Material> versions{
            material(QStringLiteral("Sporný %1 %2").arg(m_run).arg(round), {20, 300, 500}, 701),
            material(QStringLiteral("Sporný %1 %2").arg(m_run).arg(round), {100}, 702)};
        QStringList said(2);
        std::barrier start(2);
        std::vector<std::thread> editors;
        for (int k = 0; k < 2; ++k)
            editors.emplace_back([&, k] {
                MaterialConnection c;
                c.connect(node(k + 1));
                MaterialStore store(c);
                const std::optional<Material> loaded = store.load(id);
                Material edited = versions[k];
                edited.id = id;
                start.arrive_and_wait();
                try {
                    store.save(loaded, edited);
                    said[k] = QStringLiteral("uloženo");
                } catch (const Error& e) {
                    said[k] = e.message();
                }
            });
        for (std::thread& t : editors)
            t.join();
        for (const QString& s : said)
            QVERIFY2(s == u"uloženo" || s == MsgChangedMeanwhile, qPrintable(s));
        QVERIFY2(said.contains(QStringLiteral("uloženo")), qPrintable(said.join('|')));
        MaterialConnection c;
        c.connect(node(3));
        MaterialStore store(c);
        Material now = *store.load(id);
        now.id.reset();
        const int version = versions.indexOf(now);
        QVERIFY2(version >= 0, qPrintable(QString::number(now.rm)));
        if (said[0] != said[1]) QCOMPARE(said[version], QStringLiteral("uloženo"));
    }
}

void TestCluster::readThroughAnotherNodeAtOnce() {
    // Saved through node 1, read by Prolis through node 3 at once.
    MaterialConnection writer, reader;
    writer.connect(node(1));
    reader.connect(node(3, QStringLiteral("prolis")));
    MaterialStore store(writer);
    for (int i = 0; i < 20; ++i) {
        const QString name = QStringLiteral("Hned čtený %1 %2").arg(m_run).arg(i);
        store.save(std::nullopt, material(name, {20 + i}));
        Data d;
        QCOMPARE(loadMaterial(reader, name, 20 + i, d, MaterialBy::Name), LookupResult::Found);
        QCOMPARE(d.nazev, name);
    }
}

void TestCluster::nodeKilledInTheMiddleOfASave() {
    // A save through node 3 waits for another writer's rows when node 3 is
    // killed: it is refused as a lost connection and nothing of it stays;
    // nodes 1 and 2 go on, and node 3 rejoins with the same tables.
    std::atomic<bool> holding = false, release = false;
    std::thread other([&] {
        MaterialConnection c;
        c.connect(node(3));
        QSqlQuery q(c.database());
        c.database().transaction();
        q.exec(QStringLiteral("select id from materialy order by id desc limit 1 for update"));
        holding = true;
        while (!release)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
    });
    while (!holding)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    QString said;
    std::thread saver([&] {
        MaterialConnection c;
        c.connect(node(3));
        MaterialStore store(c);
        store.setRetry({1, 20, 10});
        try {
            store.save(std::nullopt, material(QStringLiteral("Při výpadku %1").arg(m_run), {20, 200}));
            said = QStringLiteral("uloženo");
        } catch (const Error& e) {
            said = e.message();
        }
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(1000));
    cluster(QStringLiteral("kill"), 3);
    saver.join();
    release = true;
    other.join();
    QVERIFY2(said.startsWith(QStringLiteral("Spojení s databází se přerušilo. Nic nebylo uloženo.")),
             qPrintable(said));
    // The others go on: the next action connects again (a connection that
    // the cluster's change of membership cut is made anew, as MatEdit does).
    {
        MaterialConnection c;
        c.connect(node(1));
        MaterialStore store(c, node(1));
        QString failed;
        bool saved = false;
        for (int attempt = 0; attempt < 3 && !saved; ++attempt) {
            try {
                store.save(std::nullopt, material(QStringLiteral("Bez uzlu 3 %1").arg(m_run), {20}));
                saved = true;
            } catch (const Error& e) {
                failed = e.message();
                std::this_thread::sleep_for(std::chrono::milliseconds(500));
            }
        }
        QVERIFY2(saved, qPrintable(failed));
        MaterialConnection r;
        r.connect(node(2, QStringLiteral("prolis")));
        Data d;
        QCOMPARE(loadMaterial(r, QStringLiteral("Bez uzlu 3 %1").arg(m_run), 20, d, MaterialBy::Name),
                 LookupResult::Found);
        QCOMPARE(loadMaterial(r, QStringLiteral("Při výpadku %1").arg(m_run), 20, d, MaterialBy::Name),
                 LookupResult::NoMaterial);
    }
    cluster(QStringLiteral("restart"), 3);
    QCOMPARE(tables(3), tables(1));
    QCOMPARE(tables(2), tables(1));
}

QTEST_GUILESS_MAIN(TestCluster)
#include "test_cluster.moc"
