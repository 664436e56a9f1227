// Forward extrusion: one calculation in the core, "Výpočet" to the rebuilt
// list in the offscreen window, and RebuildHistoryList with 1,000 entries.
// Run with QT_QPA_PLATFORM=offscreen.
#include "domain/ForwardCalc.h"
#include "domain/ForwardUnit.h"
#include "gui/U_ProtlDopr.h"
#include "support/Materials.h"
#include "support/RecordingUi.h"

#include "support/Controls.h"

#include <QtTest>
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
