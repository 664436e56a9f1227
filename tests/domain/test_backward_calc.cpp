#include "core/Errors.h"
#include "domain/BackwardCalc.h"
#include "domain/BackwardUnit.h"
#include "support/ErrorOf.h"
#include "support/Materials.h"

#include <QtTest>
#include <cmath>

using namespace prolis;
using prolis::test::errorOf;
using namespace prolis::bwd;
using enum prolis::bwd::Field;
using S = prolis::bwd::SummaryField;

namespace {
Data worked() {
    return test::workedMaterial(20, QStringLiteral("Ocel"));
}

const Inputs Example{"40", "30", "30", "40", "0,1", "0,05"};

Entry run(const Data& m, const Inputs& in) {
    const Reduction r = reductionOf(in);
    const Strain s = strainOf(in, m.fimax);
    return calculate(m, DataModel(m), EquationKind::Polytropa, in, meanFriction(in), r, s);
}

Entry entryAt(int temperature, const QString& tag) {
    Entry e;
    e.record[Teplota] = QString::number(temperature);
    e.record[Ocel] = tag;
    e.row[S::Teplota] = QString::number(temperature);
    e.row[S::Ocel] = tag;
    return e;
}

} // namespace

class TestBackwardCalc : public QObject {
    Q_OBJECT
private slots:
    void workedExample();
    void factorOneAndThreeQuarters();
    void textsKeptAsTyped();
    void zeroFriction();
    void limitsAccepted();
    void failures_data();
    void failures();
    void inputChecks_data();
    void inputChecks();
    void sortMovesRowsWithRecords();
};

void TestBackwardCalc::workedExample() {
    QCOMPARE(meanFriction(Example), QStringLiteral("0,075"));
    const Reduction r = reductionOf(Example);
    QCOMPARE(r.bText + ' ' + r.epsText, QStringLiteral("22,222 0,259"));
    const Strain s = strainOf(Example, 1.4);
    QCOMPARE(s.phi1Text + ' ' + s.phicText + ' ' + s.phi2Text, QStringLiteral("0,300 0,525 0,225"));
    const Entry e = run(worked(), Example);
    const QList<QPair<Field, QString>> expected{{SigmaP1, "628,85 MPa"},
                                                {SigmaPc, "703,32 MPa"},
                                                {Aj1, "0,1573 J/mm^3"},
                                                {Ajc, "0,3078 J/mm^3"},
                                                {Ac, "11604,7 J"},
                                                {SigmaP2str, "668,88 MPa"},
                                                {SigmaZ1str, "1548,63 MPa"},
                                                {F, "1094,66 kN"},
                                                {f2str, "0,075"},
                                                {b, "22,222"},
                                                {Epsilon, "0,259"},
                                                {Fi1, "0,300"},
                                                {Fce, "Polytropa"},
                                                {Ocel, "Ocel"},
                                                {Teplota, "20"}};
    for (const auto& [field, text] : expected)
        QCOMPARE(e.record[field], text);
    // The summary row holds the same numbers without units.
    QCOMPARE(e.row.f,
             (std::array<QString, SummaryFieldCount>{"Ocel", "20", "628,85", "703,32", "0,1573", "0,3078",
                                                     "11604,7", "668,88", "1548,63", "1094,66"}));
}

void TestBackwardCalc::factorOneAndThreeQuarters() {
    const Strain s = strainOf(Example, 1.4);
    QCOMPARE(s.phic, s.phi1 * 1.75);
    QVERIFY(std::fabs(s.phi2 - 0.75 * s.phi1) < 1e-15);
}

void TestBackwardCalc::textsKeptAsTyped() {
    Inputs in = Example;
    in.D0 = QStringLiteral("40,0");
    const Entry e = run(worked(), in);
    QCOMPARE(e.record[D0], QStringLiteral("40,0 mm"));
    QCOMPARE(e.record[h0], QStringLiteral("30 mm"));
    QCOMPARE(e.record[f2], QStringLiteral("0,05"));
    QCOMPARE(e.record[F], QStringLiteral("1094,66 kN"));
}

void TestBackwardCalc::zeroFriction() {
    Inputs in = Example;
    in.f1 = in.f2 = QStringLiteral("0,0");
    QCOMPARE(meanFriction(in), QStringLiteral("0,000"));
    const Entry e = run(worked(), in);
    const double sum = textToFloat(e.row[S::SigmaP1]) + textToFloat(e.row[S::SigmaP2str]);
    QVERIFY(std::fabs(textToFloat(e.row[S::SigmaZ1str]) - sum) <= 0.011);
}

void TestBackwardCalc::limitsAccepted() {
    // D0 40, d 20, h0 10, H 12: b = 4, eps exactly 0.6, phi1 = ln 2.5.
    const Inputs in{"40", "10", "20", "12", "0,1", "0,1"};
    const Reduction r = reductionOf(in);
    QCOMPARE(r.eps, 0.6);
    QVERIFY(r.epsInRange);
    const Strain s = strainOf(in, std::log(2.5));
    QVERIFY(s.phi1InRange);
    QVERIFY(!strainOf(in, std::nextafter(std::log(2.5), 0.0)).phi1InRange);
    Inputs high = in;
    high.H = QStringLiteral("12,5");
    QVERIFY(!reductionOf(high).epsInRange); // b = 2.5, eps 0.75
    Inputs low = in;
    low.H = QStringLiteral("8"); // b = 14 > h0: eps -0.4
    QVERIFY(reductionOf(low).eps < 0.0);
    QVERIFY(!reductionOf(low).epsInRange);
    low.H = QStringLiteral("10"); // H = h0: b = h0, eps exactly 0
    QCOMPARE(reductionOf(low).eps, 0.0);
    QVERIFY(reductionOf(low).epsInRange);
}

void TestBackwardCalc::failures_data() {
    QTest::addColumn<Inputs>("in");
    QTest::addColumn<QString>("message");
    QTest::newRow("H = h0: phi1 = 0") << Inputs{"40", "30", "30", "30", "0,1", "0,1"} << msg::InvalidOp;
    QTest::newRow("d 0,0") << Inputs{"40", "30", "0,0", "40", "0,1", "0,1"} << msg::DivByZero;
    QTest::newRow("lone comma") << Inputs{"40", ",", "30", "40", "0,1", "0,1"}
                                << "',' is not a valid floating point value";
}

void TestBackwardCalc::failures() {
    QFETCH(Inputs, in);
    QFETCH(QString, message);
    QCOMPARE(errorOf([&] { run(worked(), in); }), message);
}

void TestBackwardCalc::inputChecks_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<Inputs>("in");
    QTest::addColumn<int>("eq");
    QTest::addColumn<QString>("message");
    QTest::newRow("empty window: only the material") << "" << Inputs{} << -1 << MsgNoMaterial;
    QTest::newRow("0 is missing") << "X" << Inputs{"40", "0", "30", "40", "0,1", "0,1"} << 0
                                  << MsgNoDimensions;
    QTest::newRow("0,0 passes") << "X" << Inputs{"40", "0,0", "30", "40", "0,1", "0,1"} << 0 << "";
    QTest::newRow("00 passes") << "X" << Inputs{"40", "00", "30", "40", "0,1", "0,1"} << 0 << "";
    QTest::newRow("no equation") << "X" << Example << -1 << MsgNoEquation;
    QTest::newRow("friction 0") << "X" << Inputs{"40", "30", "30", "40", "0,1", "0"} << 0 << MsgNoFriction;
}

void TestBackwardCalc::inputChecks() {
    QFETCH(QString, name);
    QFETCH(Inputs, in);
    QFETCH(int, eq);
    QFETCH(QString, message);
    QCOMPARE(checkInputs(name, in, static_cast<EquationKind>(eq)).value_or(QString()), message);
}

void TestBackwardCalc::sortMovesRowsWithRecords() {
    BackwardUnit unit;
    unit.history.append(entryAt(100, "first"));
    unit.history.append(entryAt(100, "second"));
    unit.history.append(entryAt(20, "third"));
    unit.sortHistory();
    QStringList records, rows;
    for (int i = 0; i < unit.history.size(); ++i)
        records << unit.history.at(i).record[Ocel];
    for (const SouhrnVysl& r : unit.summaryRows())
        rows << r[S::Ocel];
    QCOMPARE(records, (QStringList{"third", "second", "first"}));
    QCOMPARE(rows, records);
}

QTEST_APPLESS_MAIN(TestBackwardCalc)
#include "test_backward_calc.moc"
