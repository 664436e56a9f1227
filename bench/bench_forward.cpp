// Forward extrusion: one calculation in the core, "Výpočet" to the rebuilt
// list in the offscreen window, RebuildHistoryList with 1,000 entries, and
// "Výpočet" to the rebuilt list with 1,000 entries kept in the run's journal.
// Run with QT_QPA_PLATFORM=offscreen.
#include "domain/ForwardCalc.h"
#include "domain/ForwardUnit.h"
#include "domain/Journal.h"
#include "gui/U_ProtlDopr.h"
#include "support/Materials.h"
#include "support/RecordingUi.h"

#include "support/Controls.h"

#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>
#include <QtWidgets>

using namespace prolis;
using prolis::test::child;
using namespace prolis::fwd;
using enum prolis::fwd::Field;

namespace {
Data material() {
    return test::workedMaterial(20, QStringLiteral("C45 (12 050)"));
}
const Inputs Cone{"30", "100", "40", "40", "20", "50", "5", "60", "0,1", "0,1", "0,1"};
} // namespace

class BenchForward : public QObject {
    Q_OBJECT
private slots:
    void calculation_data() {
        QTest::addColumn<int>("die");
        QTest::newRow("with cone") << 0;
        QTest::newRow("without cone") << 1;
    }
    void calculation() {
        QFETCH(int, die);
        const Data m = material();
        const DataModel model(m);
        Inputs in = Cone;
        adjustInputsForDie(in, static_cast<DieType>(die));
        QBENCHMARK {
            const Validity v = validityRatios(in, m.fimax);
            const Souhrn r = calculate(m, model, EquationKind::Polytropa, static_cast<DieType>(die), in, v);
            QVERIFY(!r[SigmaRo2].isEmpty());
        }
    }
    void vypocetToList() {
        test::RecordingUi ui;
        forwardUnit() = ForwardUnit{};
        TProtlDopr w;
        w.MaterialChosen(material());
        w.selectEquation(0);
        w.selectDieType(0);
        const QList<QLineEdit*> e{
            child<QLineEdit>(&w, "Edit1"),  child<QLineEdit>(&w, "Edit2"), child<QLineEdit>(&w, "Edit3"),
            child<QLineEdit>(&w, "Edit4"),  child<QLineEdit>(&w, "Edit5"), child<QLineEdit>(&w, "Edit6"),
            child<QLineEdit>(&w, "Edit7"),  child<QLineEdit>(&w, "Edit8"), child<QLineEdit>(&w, "Edit9"),
            child<QLineEdit>(&w, "Edit10"), child<QLineEdit>(&w, "Edit11")};
        const QStringList texts{"30", "100", "40", "40", "20", "50", "5", "60", "0,1", "0,1", "0,1"};
        for (int i = 0; i < 11; ++i)
            e[i]->setText(texts[i]);
        QBENCHMARK {
            w.VypocetClick();
        }
        qDebug() << "history entries at the end:" << forwardUnit().history.size();
    }
    // Each sample starts from 999 entries: "Výpočet" makes the 1,000th, the
    // journal of both units is written whole (to disk, synced) and the list
    // rebuilt and painted. Times of single clicks, so the slowest is seen
    // too. A first window pays what a program pays once (fonts, the first
    // large buffers); the second is measured: its first click lists 1,000
    // lines it never measured (as after a restore), the others one new line.
    void vypocetWith1000Journaled_data() {
        QTest::addColumn<bool>("journaled");
        QTest::newRow("kept in the journal") << true;
        QTest::newRow("for comparison: no journal") << false;
    }
    void vypocetWith1000Journaled() {
        QFETCH(bool, journaled);
        test::RecordingUi ui;
        QTemporaryDir dir;
        journal::Journal run(dir.path());
        if (journaled) journal::installRunJournal(&run);
        const auto clicks = [&](const QString& steel, int count) {
            const Data m = test::workedMaterial(20, steel);
            const Souhrn base = calculate(m, DataModel(m), EquationKind::Polytropa, DieType::WithCone, Cone,
                                          validityRatios(Cone, m.fimax));
            ForwardUnit full;
            for (int i = 0; i < 999; ++i) {
                Souhrn r = base;
                r[Teplota] = QString::number((i * 7919) % 400);
                full.history.append(r);
            }
            full.sortHistory(); // as a history always stands
            TProtlDopr w;
            w.show();
            w.OtevriClick();
            w.MaterialChosen(m);
            w.selectEquation(0);
            w.selectDieType(0);
            const QStringList texts{"30", "100", "40", "40", "20", "50", "5", "60", "0,1", "0,1", "0,1"};
            for (int i = 0; i < 11; ++i)
                child<QLineEdit>(&w, qPrintable(QStringLiteral("Edit%1").arg(i + 1)))->setText(texts[i]);
            QList<double> ms;
            for (int k = 0; k < count; ++k) {
                forwardUnit().history = full.history;
                QElapsedTimer t;
                t.start();
                child<QPushButton>(&w, "Vypocet")->click();
                QCoreApplication::processEvents(); // the list laid out and painted
                ms << t.nsecsElapsed() / 1e6;
                [&] { QCOMPARE(child<QListWidget>(&w, "ListBox1")->count(), 1000); }();
            }
            return ms;
        };
        const QList<double> once = clicks(QStringLiteral("C15 (12 023)"), 3);
        QList<double> ms = clicks(QStringLiteral("C45 (12 050)"), 50);
        QVERIFY(ui.messages.isEmpty());
        const double first = ms.takeFirst();
        std::sort(ms.begin(), ms.end());
        qInfo("Výpočet with 1,000 entries and the journal (%lld bytes): the program's first three %.2f, %.2f, "
              "%.2f ms; in a second window: first %.2f ms, then median %.2f ms, slowest %.2f ms",
              QFileInfo(run.path()).size(), once[0], once[1], once[2], first, ms[ms.size() / 2], ms.last());
        journal::installRunJournal(nullptr);
    }
    void rebuild1000() {
        test::RecordingUi ui;
        forwardUnit() = ForwardUnit{};
        const Data m = material();
        const Souhrn base = calculate(m, DataModel(m), EquationKind::Polytropa, DieType::WithCone, Cone,
                                      validityRatios(Cone, m.fimax));
        for (int i = 0; i < 1000; ++i) {
            Souhrn r = base;
            r[Teplota] = QString::number((i * 7919) % 400);
            forwardUnit().history.append(r);
        }
        TProtlDopr w;
        QBENCHMARK {
            w.RebuildHistoryList(SeparatorWithCone);
        }
        QCOMPARE(child<QListWidget>(&w, "ListBox1")->count(), 1000);
    }
};

QTEST_MAIN(BenchForward)
#include "bench_forward.moc"
