// Backward extrusion: one calculation in the core and "Výpočet" to the rebuilt
// list in the offscreen window. Run with QT_QPA_PLATFORM=offscreen.
#include "domain/BackwardCalc.h"
#include "domain/BackwardUnit.h"
#include "gui/U_ProtlZpet.h"
#include "support/Materials.h"
#include "support/RecordingUi.h"

#include "support/Controls.h"

#include <QtTest>
#include <QtWidgets>

using namespace prolis;
using prolis::test::child;
using namespace prolis::bwd;
using enum prolis::bwd::Field;
using S = prolis::bwd::SummaryField;

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
            const Reduction r = reductionOf(Example);
            const Strain s = strainOf(Example, m.fimax);
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
        const QList<QLineEdit*> e{child<QLineEdit>(&w, "Edit1"), child<QLineEdit>(&w, "Edit2"),
                                  child<QLineEdit>(&w, "Edit3"), child<QLineEdit>(&w, "Edit4"),
                                  child<QLineEdit>(&w, "Edit5"), child<QLineEdit>(&w, "Edit6")};
        for (int i = 0; i < 6; ++i)
            e[i]->setText(QStringList{"40", "30", "30", "40", "0,1", "0,05"}[i]);
        QBENCHMARK {
            w.VypocetClick();
        }
    }
};

QTEST_MAIN(BenchBackward)
#include "bench_backward.moc"
