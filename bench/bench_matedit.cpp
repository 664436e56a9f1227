// The material editor: a save of a material with four temperatures to the
// local server, the list of 10,000 materials, and the redraw after a
// keystroke. Uses the writable test database (PROLIS_TEST_DB_* and
// PROLIS_TEST_DB_EDIT, as scripts/test sets them).
#include "editor/MaterialStore.h"
#include "editor/U_MatEdit.h"
#include "support/RecordingUi.h"
#include "support/TestDb.h"

#include <QDateTime>
#include <QSqlQuery>
#include <QtTest>

using namespace prolis;
using namespace prolis::edit;

namespace {
ConnectionSettings editor() {
    ConnectionSettings s = test::testDbSettings(qEnvironmentVariable("PROLIS_TEST_DB_EDIT"));
    s.User = QStringLiteral("prolis_editor");
    return s;
}

Material fourTemperatures(const QString& name) {
    Material m;
    m.nazev = name;
    m.rm = 650;
    m.rp = 350;
    for (int t : {20, 100, 200, 300}) {
        Data d;
        d.teplo = static_cast<std::int16_t>(t);
        d.pol_a = 800 - t;
        d.pol_b = 0.2;
        d.ppol_a = 0.6;
        d.ppol_b = 1.2;
        d.pn3 = {500, 300, -100, 20};
        d.pn5 = {450, 500, -400, 250, -80, 10};
        d.rlff = {300, 1400, -3000, 4500, -3800, 1700, -310, 0.5, 0.25, 0.125};
        d.rlfd[0] = 35.6824823;
        d.fimax = 1.4;
        m.temperatures.append(d);
    }
    return m;
}
} // namespace

class BenchMatEdit : public QObject {
    Q_OBJECT
    const qint64 m_run = QDateTime::currentMSecsSinceEpoch();
    int m_saved = 0; // the benchmark may run a function more than once
private slots:
    void save() {
        MaterialConnection c;
        c.connect(editor());
        MaterialStore store(c);
        QBENCHMARK {
            store.save(std::nullopt, fourTemperatures(QStringLiteral("Bench %1-%2").arg(m_run).arg(++m_saved)));
        }
    }
    void listTenThousand() {
        MaterialConnection c;
        c.connect(editor());
        QSqlQuery q(c.database());
        q.exec(QStringLiteral("select count(*) from materialy"));
        q.next();
        for (int have = q.value(0).toInt(); have < 10000; have += 1000) {
            QString values;
            QSqlQuery top(c.database());
            top.exec(QStringLiteral("select coalesce(max(id), 0) from materialy"));
            top.next();
            const int base = top.value(0).toInt();
            for (int i = 1; i <= 1000; ++i)
                values += QStringLiteral("%1(%2, 'Mnoho %2', 600, 350, 20, 50)").arg(i > 1 ? "," : "").arg(base + i);
            QVERIFY(q.exec(QStringLiteral("insert into materialy (id, nazev, rm, rp, a5, z) values ") + values));
        }
        MaterialStore store(c);
        test::RecordingUi ui;
        TMatEdit w(store);
        QBENCHMARK {
            w.RefreshList();
        }
    }
    void replotOnKeystroke() {
        MaterialConnection c;
        c.connect(editor());
        MaterialStore store(c);
        test::RecordingUi ui;
        TMatEdit w(store);
        w.show();
        w.NewMaterial();
        w.AddTemperature(20, false);
        for (const auto& [field, text] : QList<std::pair<const char*, const char*>>{
                 {"pol_a", "800"}, {"pol_b", "0,2"}, {"pn3_0", "500"}, {"pn3_1", "300"}, {"pn5_0", "450"},
                 {"rlff_0", "300"}, {"rlfd_0", "35,68"}, {"fimax", "1,4"}, {"ppol_a", "0,6"}, {"ppol_b", "1,2"}})
            w.TypeField(field, text);
        int k = 0;
        QBENCHMARK {
            w.TypeField("pol_a", (++k % 2) ? "810" : "800");
            QCoreApplication::processEvents(); // the queued redraw
        }
    }
};

QTEST_MAIN(BenchMatEdit)
#include "bench_matedit.moc"
