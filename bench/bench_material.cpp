// Round trip of each statement on the database of PROLIS_TEST_DB_* (the test
// command's server, or any server loaded with tests/db/fixture.sql), and the
// model's evaluation per equation.
#include "db/MaterialDb.h"
#include "domain/FlowModel.h"
#include "support/TestDb.h"

#include <QtTest>

using namespace prolis;

class BenchMaterial : public QObject {
    Q_OBJECT
private slots:
    void statement_data() {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<int>("params");
        QTest::newRow("Q1 materials") << sql::Materials << 0;
        QTest::newRow("Q2 temperatures") << sql::Temperatures << 1;
        QTest::newRow("Q3a constants (select *)") << sql::ConstantsAll << 2;
        QTest::newRow("Q3b constants (54 columns)") << sql::ConstantsListing << 2;
    }
    void statement() {
        REQUIRE_TEST_DB();
        QFETCH(QString, statement);
        QFETCH(int, params);
        MaterialConnection c;
        c.connect(test::testDbSettings());
        MaterialQuery q(c, statement);
        const QList<Key> keys = params == 0 ? QList<Key>{} : params == 1 ? QList<Key>{1} : QList<Key>{1, 1};
        QBENCHMARK {
            q.open(keys);
        }
    }
    void model_data() {
        QTest::addColumn<int>("kind");
        QTest::newRow("Polytropa") << 0;
        QTest::newRow("Polynom 3 st.") << 1;
        QTest::newRow("Polynom 5 st.") << 2;
        QTest::newRow("Racionalni") << 3;
        QTest::newRow("SpecificWork ppn") << 4;
        QTest::newRow("MeanFlowStress ppol") << 5;
    }
    void model() {
        QFETCH(int, kind);
        Data d;
        d.pol_a = 800;
        d.pol_b = 0.2;
        d.pn3 = {389, 719, -518, 150};
        d.pn5 = {344, 1226, -2135, 2251, -1190, 244};
        d.rlff = {329, 1474, -3436, 5201, -4441, 1958, -346, 0, 0, 0};
        d.rlfd[0] = 35.6824823;
        d.ppol_a = 0.6667;
        d.ppol_b = 1.2;
        Data w = d;
        w.ppn = {0.3, 0, 0.5, -0.4, 0.2, -0.05, 0, 0, 0, 0};
        double sink = 0;
        QBENCHMARK {
            for (int i = 1; i <= 1000; ++i) {
                const double phi = i * 0.0014;
                if (kind < 4)
                    sink += FlowStress(d, static_cast<EquationKind>(kind), phi);
                else if (kind == 4)
                    sink += SpecificWork(w, phi);
                else
                    sink += MeanFlowStress(d, phi);
            }
        }
        QVERIFY(sink != 0);
    }
};

QTEST_APPLESS_MAIN(BenchMaterial)
#include "bench_material.moc"
