#include "core/Errors.h"
#include "domain/FlowModel.h"
#include "support/ErrorOf.h"

#include <QtTest>
#include <cmath>

using namespace prolis;
using prolis::test::errorOf;

namespace {
Data polytropaData(double a, double b, double c) {
    Data d;
    d.pol_a = a;
    d.pol_b = b;
    d.pol_c = c;
    return d;
}
} // namespace

class TestFlowModel : public QObject {
    Q_OBJECT
private slots:
    void polytropa_data();
    void polytropa();
    void polynomials();
    void polynomialFailures_data();
    void polynomialFailures();
    void rational();
    void specificWork_data();
    void specificWork();
    void workLawsAndMean();
    void availability_data();
    void availability();
};

void TestFlowModel::polytropa_data() {
    QTest::addColumn<double>("a");
    QTest::addColumn<double>("b");
    QTest::addColumn<double>("c");
    QTest::addColumn<double>("phi");
    QTest::addColumn<double>("expected");
    QTest::newRow("phi 1 gives a + c") << 800.0 << 0.2 << 15.0 << 1.0 << 815.0;
    QTest::newRow("b 0 at 0.3") << 800.0 << 0.0 << 15.0 << 0.3 << 815.0;
    QTest::newRow("b 0 at 0") << 800.0 << 0.0 << 15.0 << 0.0 << 815.0;
    QTest::newRow("phi 0, b > 0 gives c") << 800.0 << 0.2 << 7.0 << 0.0 << 7.0;
    QTest::newRow("integral b, negative phi") << 2.0 << 3.0 << 0.0 << -2.0 << -16.0;
    QTest::newRow("general power") << 800.0 << 0.2 << 0.0 << 0.5 << 800.0 * std::exp(0.2 * std::log(0.5));
}

void TestFlowModel::polytropa() {
    QFETCH(double, a);
    QFETCH(double, b);
    QFETCH(double, c);
    QFETCH(double, phi);
    QFETCH(double, expected);
    QCOMPARE(FlowStress(polytropaData(a, b, c), EquationKind::Polytropa, phi), expected);
}

void TestFlowModel::polynomials() {
    Data d;
    d.pn3 = {250, 0, 0, 0};
    for (double phi : {0.01, 0.5, 1.0, 3.0})
        QCOMPARE(FlowStress(d, EquationKind::Polynom3, phi), 250.0);
    d.pn5 = {1, 2, 3, 4, 5, 6};
    QCOMPARE(FlowStress(d, EquationKind::Polynom5, 1.0), 21.0);
    // Terms by exp(i ln phi), added in order of increasing i.
    const double phi = 0.7;
    double sum = 0;
    for (int i = 0; i < 6; ++i)
        sum += d.pn5[static_cast<size_t>(i)] * std::exp(i * std::log(phi));
    QCOMPARE(FlowStress(d, EquationKind::Polynom5, phi), sum);
}

void TestFlowModel::polynomialFailures_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<double>("phi");
    QTest::addColumn<QString>("message");
    QTest::newRow("Polynom3 at 0 even for the constant term") << 1 << 0.0 << msg::DivByZero;
    QTest::newRow("Polynom5 negative") << 2 << -0.5 << msg::InvalidOp;
    QTest::newRow("Racionalni at 0") << 3 << 0.0 << msg::DivByZero;
    QTest::newRow("Polytropa negative phi, real exponent") << 0 << -0.5 << msg::InvalidOp;
}

void TestFlowModel::polynomialFailures() {
    QFETCH(int, kind);
    QFETCH(double, phi);
    QFETCH(QString, message);
    Data d = polytropaData(800, 0.2, 0);
    d.pn3 = {250, 0, 0, 0};
    d.pn5 = {250, 0, 0, 0, 0, 0};
    d.rlff[0] = 100;
    d.rlfd[0] = 10;
    QCOMPARE(errorOf([&] { FlowStress(d, static_cast<EquationKind>(kind), phi); }), message);
}

void TestFlowModel::rational() {
    Data d;
    d.rlff = {100, 50, 25, 0, 0, 0, 0, 0, 0, 1};
    d.rlfd = {10, 2, 0, 0, 0, 0, 0, 0, 0, 0};
    const double f = 176, dd = 12;
    QCOMPARE(FlowStress(d, EquationKind::Racionalni, 1.0), (f * 4000) / (dd * dd * 3.1415926535897932385));
    // D = sqrt(4000/pi) makes the flow stress equal F.
    Data e;
    e.rlff[0] = 640;
    e.rlfd[0] = std::sqrt(4000 / M_PI);
    QVERIFY(std::fabs(FlowStress(e, EquationKind::Racionalni, 0.4) - 640) < 1e-9);
    Data zero;
    zero.rlff[0] = 1;
    QCOMPARE(errorOf([&] { FlowStress(zero, EquationKind::Racionalni, 1.0); }), msg::DivByZero);
    zero.rlff[0] = 0;
    QCOMPARE(errorOf([&] { FlowStress(zero, EquationKind::Racionalni, 1.0); }), msg::InvalidOp);
}

void TestFlowModel::specificWork_data() {
    QTest::addColumn<double>("phi");
    QTest::addColumn<double>("expected");
    // ppn = 1..10: at 1 the plain sum; at 2, ppn[0] and ppn[1] both take phi.
    QTest::newRow("phi 1") << 1.0 << 55.0;
    double at2 = 2 * 1 + 2 * 2;
    for (int i = 2; i < 10; ++i)
        at2 += (i + 1) * std::pow(2.0, i);
    QTest::newRow("phi 2") << 2.0 << at2;
}

void TestFlowModel::specificWork() {
    QFETCH(double, phi);
    QFETCH(double, expected);
    Data d;
    for (int i = 0; i < 10; ++i)
        d.ppn[static_cast<size_t>(i)] = i + 1;
    d.ppol_a = 0.6667; // present, but the polynomial wins
    d.ppol_b = 1.2;
    QCOMPARE(SpecificWork(d, phi), expected);
}

void TestFlowModel::workLawsAndMean() {
    Data d = polytropaData(800, 0.2, 0);
    d.ppol_a = 0.6667;
    d.ppol_b = 1.2;
    d.ppol_c = 0.01;
    QCOMPARE(SpecificWork(d, 2.0), 0.6667 * std::exp(1.2 * std::log(2.0)) + 0.02);
    QCOMPARE(MeanFlowStress(d, 1.0), 1000 * SpecificWork(d, 1.0));
    QCOMPARE(SpecificWork(d, 0.0), 0.0);
    QCOMPARE(errorOf([&] { MeanFlowStress(d, 0.0); }), msg::InvalidOp);
    Data none = polytropaData(800, 0.2, 0);
    QCOMPARE(errorOf([&] { SpecificWork(none, 0.5); }), MsgNoWorkConstants);
    Data ppn;
    ppn.ppn[0] = 0.5;
    QCOMPARE(errorOf([&] { SpecificWork(ppn, 0.0); }), msg::DivByZero);
}

void TestFlowModel::availability_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QList<bool>>("available");
    QTest::newRow("nothing") << "" << QList<bool>{false, false, false, false};
    QTest::newRow("pol_a") << "pol_a" << QList<bool>{true, false, false, false};
    QTest::newRow("pol_b only") << "pol_b" << QList<bool>{false, false, false, false};
    QTest::newRow("pn3[0]") << "pn3" << QList<bool>{false, true, false, false};
    QTest::newRow("pn5[0]") << "pn5" << QList<bool>{false, false, true, false};
    QTest::newRow("rlff[0]") << "rlff" << QList<bool>{false, false, false, true};
    QTest::newRow("only rlfd[0]") << "rlfd" << QList<bool>{false, false, false, true};
    QTest::newRow("rlff[1] only") << "rlff1" << QList<bool>{false, false, false, false};
}

void TestFlowModel::availability() {
    QFETCH(QString, field);
    QFETCH(QList<bool>, available);
    Data d;
    if (field == "pol_a") d.pol_a = 1;
    if (field == "pol_b") d.pol_b = 1;
    if (field == "pn3") d.pn3[0] = 1;
    if (field == "pn5") d.pn5[0] = 1;
    if (field == "rlff") d.rlff[0] = 1;
    if (field == "rlfd") d.rlfd[0] = 1;
    if (field == "rlff1") d.rlff[1] = 1;
    for (int k = 0; k < 4; ++k)
        QCOMPARE(EquationAvailable(d, static_cast<EquationKind>(k)), available[k]);
}

QTEST_APPLESS_MAIN(TestFlowModel)
#include "test_flowmodel.moc"
