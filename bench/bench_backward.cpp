// Backward extrusion: one calculation in the core and "Výpočet" to the rebuilt
// list in the offscreen window. Run with QT_QPA_PLATFORM=offscreen.
#include "backward/BackwardCalc.h"
#include "backward/BackwardUnit.h"
#include "backward/U_ProtlZpet.h"
#include "support/Materials.h"
#include "support/RecordingUi.h"
#include "ui_U_ProtlZpet.h"

#include <QtTest>

using namespace prolis;
using namespace prolis::bwd;

namespace {
Data material() {
    return test::workedMaterial(20, QStringLiteral("C45 (12 050)"));
}
const Inputs Example{"40", "30", "30", "40", "0,1", "0,05"};
} // namespace

class BenchBackward : public QObject {
    Q_OBJECT
private slots:
    void calculation() {
        const Data m = material();
        const DataModel model(m);
        QBENCHMARK {
            const QString f2str = meanFriction(Example);
            const Reduction r = checkReduction(Example);
            const Strain s = checkStrain(Example, m.fimax);
            const Entry e = calculate(m, model, EquationKind::Polytropa, Example, f2str, r, s);
            QVERIFY(!e.record[F].isEmpty());
        }
    }
    void vypocetToList() {
        test::RecordingUi ui;
        backwardUnit() = BackwardUnit{};
        TProtlZpet w;
        w.MaterialChosen(material());
        w.selectEquation(0);
        const QList<QLineEdit*> e{w.form()->Edit1, w.form()->Edit2, w.form()->Edit3,
                                  w.form()->Edit4, w.form()->Edit5, w.form()->Edit6};
        for (int i = 0; i < 6; ++i)
            e[i]->setText(QStringList{"40", "30", "30", "40", "0,1", "0,05"}[i]);
        QBENCHMARK {
            w.VypocetClick();
        }
    }
};

QTEST_MAIN(BenchBackward)
#include "bench_backward.moc"
