// The database access on its own: values that are not numbers, the port's
// range, and a server that stops answering.
#include "core/Errors.h"
#include "db/MaterialCatalog.h"
#include "db/MaterialDb.h"
#include "support/FreezingProxy.h"
#include "support/TestDb.h"

#include <QElapsedTimer>
#include <QThread>
#include <QtTest>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <functional>

using namespace prolis;

class TestMaterialDb : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void textColumns_data();
    void textColumns();
    void textTemperatures_data();
    void textTemperatures();
    void portOutOfRange_data();
    void portOutOfRange();
    void silentServer();
    void tricklingServer();
};

void TestMaterialDb::initTestCase() {
    REQUIRE_TEST_DB();
}

void TestMaterialDb::textColumns_data() {
    QTest::addColumn<QString>("material");
    QTest::addColumn<QString>("error"); // empty: read
    QTest::addColumn<double>("polA");
    QTest::newRow("inf") << "inf"
                         << "Hodnota 'inf' ve sloupci pol_a není číslo." << 0.0;
    QTest::newRow("nan") << "nan"
                         << "Hodnota 'nan' ve sloupci pol_a není číslo." << 0.0;
    QTest::newRow("beyond double") << "1e999"
                                   << "Hodnota '1e999' ve sloupci pol_a není číslo." << 0.0;
    QTest::newRow("letters") << "abc"
                             << "Hodnota 'abc' ve sloupci pol_a není číslo." << 0.0;
    QTest::newRow("decimal comma") << "1,5"
                                   << "Hodnota '1,5' ve sloupci pol_a není číslo." << 0.0;
    QTest::newRow("a number as text") << "text 812.5"
                                      << "" << 812.5;
    QTest::newRow("exponent") << "exponent"
                              << "" << -250.0;
    QTest::newRow("NULL stays 0") << "NULL"
                                  << "" << 0.0;
}

void TestMaterialDb::textColumns() {
    QFETCH(QString, material);
    QFETCH(QString, error);
    QFETCH(double, polA);
    MaterialConnection c;
    c.connect(test::testDbSettings(qEnvironmentVariable("PROLIS_TEST_DB_TEXT")));
    Data d;
    try {
        QCOMPARE(loadMaterial(c, material, 20, d), LookupResult::Found);
        QVERIFY2(error.isEmpty(), "no error");
        QCOMPARE(d.pol_a, polA);
    } catch (const DatabaseError& e) {
        QCOMPARE(e.message(), error);
    }
}

void TestMaterialDb::textTemperatures_data() {
    QTest::addColumn<int>("material");
    QTest::addColumn<QString>("error"); // empty: read as 30
    QTest::newRow("20.5") << 18 << "Hodnota '20.5' ve sloupci %1 není celé číslo.";
    QTest::newRow("1e1") << 19 << "Hodnota '1e1' ve sloupci %1 není celé číslo.";
    QTest::newRow("' 30 '") << 20 << "";
}

void TestMaterialDb::textTemperatures() {
    // A temperature held as a text must be a whole number's text: the
    // listing, the lookup (which reads every temperature of the material)
    // and the filled record refuse anything else instead of reading 0 or 10.
    QFETCH(int, material);
    QFETCH(QString, error);
    MaterialConnection c;
    c.connect(test::testDbSettings(qEnvironmentVariable("PROLIS_TEST_DB_TEXT")));
    const auto refusal = [&](const std::function<void()>& f, const char* column) {
        try {
            f();
            return error.isEmpty() ? QString() : QStringLiteral("not refused");
        } catch (const DatabaseError& e) {
            return e.message() == error.arg(QLatin1String(column)) ? QString() : e.message();
        }
    };
    Data d;
    // The listing meets the first of them, material 18's.
    if (material == 18) QCOMPARE(refusal([&] { listMaterials(c); }, "teplo"), QString());
    QCOMPARE(refusal([&] { loadMaterial(c, QString::number(material), 30, d, MaterialBy::Id); }, "teplo"),
             QString());
    MaterialQuery q(c, sql::ConstantsAll);
    q.open({material, material - 8});
    QCOMPARE(q.rowCount(), 1);
    d = Data{};
    QCOMPARE(refusal([&] { fillData(d, &q.row(0)); }, "teplo"), QString());
    QCOMPARE(d.teplo, error.isEmpty() ? 30 : 0);
    if (error.isEmpty()) {
        QCOMPARE(loadMaterial(c, QString::number(material), 30, d, MaterialBy::Id), LookupResult::Found);
        QCOMPARE(d.nazev, QStringLiteral("teplota 30"));
    }
}

void TestMaterialDb::portOutOfRange_data() {
    QTest::addColumn<int>("port");
    QTest::newRow("99999") << 99999;
    QTest::newRow("65536") << 65536;
    QTest::newRow("-1") << -1;
}

void TestMaterialDb::portOutOfRange() {
    // The client library would use the port modulo 65536: another server.
    QFETCH(int, port);
    ConnectionSettings s = test::testDbSettings();
    s.Port = port;
    MaterialConnection c;
    try {
        c.connect(s);
        QFAIL("connected");
    } catch (const DatabaseError& e) {
        QCOMPARE(e.message(), QStringLiteral("Port %1 je mimo rozsah 0–65535.").arg(port));
    }
    QVERIFY(!c.isConnected());
}

void TestMaterialDb::silentServer() {
    // Connected, then the server says nothing more: the statement fails into
    // the database error instead of waiting for ever.
    test::FreezingProxy proxy(test::testDbSettings().Port);
    ConnectionSettings s = test::testDbSettings();
    s.Port = proxy.port();
    MaterialConnection c;
    c.setTimeouts(5, 1);
    c.connect(s);
    MaterialQuery q(c, sql::Materials);
    q.open();
    QVERIFY(q.rowCount() > 0);
    proxy.freeze();
    // A watchdog: without a read timeout the statement would never return.
    std::atomic<bool> done{false};
    std::thread watchdog([&] {
        for (int i = 0; i < 600 && !done; ++i)
            QThread::msleep(100);
        if (!done) {
            std::fprintf(stderr, "FAIL: the statement still waits after 60 s\n");
            std::_Exit(1);
        }
    });
    QElapsedTimer t;
    t.start();
    bool failed = false;
    try {
        q.open();
    } catch (const DatabaseError& e) {
        failed = true;
        QVERIFY(!e.message().isEmpty());
    }
    done = true;
    watchdog.join();
    QVERIFY(failed);
    QVERIFY2(t.elapsed() < 20000, qPrintable(QString::number(t.elapsed())));
}

void TestMaterialDb::tricklingServer() {
    // The server answers, but a byte at a time: each read gets its byte in
    // time, so only the bound on the statement's whole time ends the wait.
    test::FreezingProxy proxy(test::testDbSettings().Port);
    ConnectionSettings s = test::testDbSettings();
    s.Port = proxy.port();
    MaterialConnection c;
    c.setTimeouts(5, 1, 2);
    c.connect(s);
    MaterialQuery q(c, sql::ConstantsAll);
    q.open({1, 1});
    QCOMPARE(q.rowCount(), 1);
    proxy.trickle(100);
    QElapsedTimer t;
    t.start();
    try {
        q.open({1, 1}); // a row of some 700 bytes: over a minute at this pace
        QFAIL("the statement was answered");
    } catch (const DatabaseError& e) {
        QCOMPARE(e.message(), QStringLiteral("Databáze nevyřídila dotaz do 2 s."));
    }
    QVERIFY2(t.elapsed() < 10000, qPrintable(QString::number(t.elapsed())));
    QVERIFY(!q.isOpen());
}

QTEST_GUILESS_MAIN(TestMaterialDb)
#include "test_materialdb.moc"
