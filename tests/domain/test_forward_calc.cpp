#include "core/Errors.h"
#include "core/History.h"
#include "core/PanelChecks.h"
#include "domain/ForwardCalc.h"
#include "support/ErrorOf.h"
#include "support/Materials.h"

#include <QtTest>

using namespace prolis;
using prolis::test::errorOf;
using namespace prolis::fwd;
using enum prolis::fwd::Field;

namespace {
// The material model replaced by fixed values.
struct FixedModel final : MaterialModel {
    double sp = 800, sps = 600, rp = 350, aj = 0.5;
    double flowStressAt(EquationKind, double) const override { return sp; }
    double specificWorkAt(double) const override { return aj; }
    double meanFlowStressAt(double) const override { return sps; }
    double yieldStrength() const override { return rp; }
};

Inputs vectorInputs(const QString& alpha2, const QString& f2) {
    return Inputs{"30", "100", "40", "40", "20", "50", "5", alpha2, "0,1", f2, "0,1"};
}

Inputs geometry(const QString& d0, const QString& h0, const QString& d2, const QString& d3) {
    Inputs in;
    in.D0 = d0;
    in.h0 = h0;
    in.D2 = d2;
    in.D3 = d3;
    return in;
}

Data material() {
    Data d = test::workedMaterial();
    d.rm = 600;
    d.a5 = 20;
    d.z = 50;
    d.fistr = 0.8;
    return d;
}

} // namespace

class TestForwardCalc : public QObject {
    Q_OBJECT
private slots:
    void withoutConeVector();
    void withConeVector();
    void coneAt90MatchesWithoutCone();
    void f2ChangesNothingWithoutCone();
    void zeroFrictionInContainer();
    void failures_data();
    void failures();
    void inputChecks_data();
    void inputChecks();
    void validity_data();
    void validity();
    void recordFields();
    void historyLines();
};

void TestForwardCalc::withoutConeVector() {
    Souhrn r;
    calculateWithoutCone(r, FixedModel{}, EquationKind::Polytropa, vectorInputs(QString(), "0,5"));
    const QList<QPair<Field, QString>> expected{{SigmaRo2, "1960,00 MPa"},
                                                {SigmaFi2, "2310,00 MPa"},
                                                {TauRoFi2min, "175,00 MPa"},
                                                {TauRoFi2max, "400,00 MPa"},
                                                {SigmaRo3, "80,00 MPa"},
                                                {SigmaFi3, "880,00 MPa"},
                                                {SigmaR3, "800,00 MPa"},
                                                {Tau3, "80,00 MPa"},
                                                {SigmaZ1max, "3231,49 MPa"},
                                                {SigmaR1max, "3231,49 MPa"},
                                                {TauRZ1max, "323,15 MPa"},
                                                {SigmaZ2, "1960,00 MPa"},
                                                {SigmaR2, "1960,00 MPa"},
                                                {TauRZ2, "196,00 MPa"},
                                                {Fmax, "4060,81 kN"},
                                                {SigmaP3, "800,00 MPa"},
                                                {SigmaPS, "600,00 MPa"},
                                                {Aj, "0,5000 J/mm^3"},
                                                {Alfa2, " °"},
                                                {f2, "0,5"},
                                                {D1, "40 mm"}};
    for (const auto& [field, text] : expected)
        QCOMPARE(r[field], text);
    for (Field empty : {TauRoFi2, TauRoFi3, SigmaZ1, SigmaR1, TauRZ1, F})
        QVERIFY(r[empty].isEmpty());
}

void TestForwardCalc::withConeVector() {
    Souhrn r;
    calculateWithCone(r, FixedModel{}, EquationKind::Polytropa, vectorInputs("60", "0,1"));
    const QList<QPair<Field, QString>> expected{{SigmaRo2, "1204,68 MPa"}, {SigmaFi2, "1804,68 MPa"},
                                                {TauRoFi2, "180,47 MPa"},  {SigmaRo3, "80,00 MPa"},
                                                {SigmaFi3, "880,00 MPa"},  {TauRoFi3, "88,00 MPa"},
                                                {SigmaR3, "800,00 MPa"},   {Tau3, "80,00 MPa"},
                                                {SigmaZ1, "1493,64 MPa"},  {SigmaR1, "642,26 MPa"},
                                                {TauRZ1, "64,23 MPa"},     {SigmaZ2, "1204,68 MPa"},
                                                {SigmaR2, "518,01 MPa"},   {TauRZ2, "51,80 MPa"},
                                                {F, "1876,96 kN"},         {Alfa2, "60 °"}};
    for (const auto& [field, text] : expected)
        QCOMPARE(r[field], text);
    for (Field empty : {TauRoFi2min, TauRoFi2max, SigmaZ1max, SigmaR1max, TauRZ1max, Fmax})
        QVERIFY(r[empty].isEmpty());
}

void TestForwardCalc::coneAt90MatchesWithoutCone() {
    Souhrn cone, plain;
    calculateWithCone(cone, FixedModel{}, EquationKind::Polytropa, vectorInputs("90", "0,5"));
    calculateWithoutCone(plain, FixedModel{}, EquationKind::Polytropa, vectorInputs(QString(), "0,5"));
    QCOMPARE(cone[SigmaRo2], plain[SigmaRo2]);
    QCOMPARE(cone[SigmaRo2], QStringLiteral("1960,00 MPa"));
    QVERIFY(cone[SigmaFi2] != plain[SigmaFi2]); // sigma_ps instead of Rp
    QCOMPARE(cone[SigmaFi2], QStringLiteral("2560,00 MPa"));
}

void TestForwardCalc::f2ChangesNothingWithoutCone() {
    Souhrn a, b;
    calculateWithoutCone(a, FixedModel{}, EquationKind::Polytropa, vectorInputs(QString(), "0,5"));
    calculateWithoutCone(b, FixedModel{}, EquationKind::Polytropa, vectorInputs(QString(), "0,9"));
    b[f2] = a[f2];
    QCOMPARE(a, b);
}

void TestForwardCalc::zeroFrictionInContainer() {
    Inputs in = vectorInputs(QString(), "0,5");
    in.f1 = QStringLiteral("0,0");
    Souhrn r;
    calculateWithoutCone(r, FixedModel{}, EquationKind::Polytropa, in);
    QCOMPARE(r[SigmaZ1max], r[SigmaRo2]);
    QCOMPARE(r[TauRZ1max], QStringLiteral("0,00 MPa"));
    QCOMPARE(r[TauRZ2], QStringLiteral("0,00 MPa"));
}

void TestForwardCalc::failures_data() {
    QTest::addColumn<int>("die");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::newRow("D1 0,0 in step 13") << 1 << "D1"
                                       << "0,0" << msg::DivByZero;
    QTest::newRow("angle 0,0") << 0 << "alpha2"
                               << "0,0" << msg::DivByZero;
    QTest::newRow("f2 0,0 with cone") << 0 << "f2"
                                      << "0,0" << msg::DivByZero;
    QTest::newRow("lone comma") << 1 << "L1"
                                << ","
                                << "',' is not a valid floating point value";
    QTest::newRow("D2 = D3 fails in the model") << 1 << "D2"
                                                << "20" << msg::InvalidOp;
}

void TestForwardCalc::failures() {
    QFETCH(int, die);
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, message);
    Inputs in = vectorInputs(die == 0 ? "60" : "", die == 0 ? "0,1" : "0,5");
    if (field == "D1") in.D1 = text;
    if (field == "alpha2") in.alpha2 = text;
    if (field == "f2") in.f2 = text;
    if (field == "L1") in.L1 = text;
    if (field == "D2") in.D2 = text;
    const Data m = material();
    const DataModel model(m); // the real equations: phi3 = 0 gives 0/0 in the mean flow stress
    QCOMPARE(errorOf([&] {
                 calculate(m, model, EquationKind::Polytropa, static_cast<DieType>(die), in,
                           validityRatios(in, m.fimax));
             }),
             message);
}

void TestForwardCalc::inputChecks_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<Inputs>("in");
    QTest::addColumn<int>("eq");
    QTest::addColumn<int>("die");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("focus");
    const Inputs full{"30", "100", "40", "40", "20", "50", "5", "60", "0,1", "0,1", "0,1"};
    Inputs zero = full;
    zero.L3 = "0";
    Inputs zeroZero = full;
    zeroZero.L3 = "0,0";
    Inputs noAngle = full;
    noAngle.alpha2 = "0";
    Inputs noFriction = full;
    noFriction.f3.clear();
    QTest::newRow("no material first") << "" << Inputs{} << -1 << -1 << MsgNoMaterial << 0;
    QTest::newRow("dimension 0") << "C45" << zero << 0 << 0 << MsgNoDimensions << 1;
    QTest::newRow("dimension 0,0 passes") << "C45" << zeroZero << 0 << 0 << "" << 0;
    QTest::newRow("no equation") << "C45" << full << -1 << 0 << MsgNoEquation << 0;
    QTest::newRow("no die type") << "C45" << full << 0 << -1 << MsgNoDieType << 0;
    QTest::newRow("angle 0 with cone") << "C45" << noAngle << 0 << 0 << MsgNoAngle << 8;
    QTest::newRow("angle ignored without cone") << "C45" << noAngle << 0 << 1 << "" << 0;
    QTest::newRow("friction") << "C45" << noFriction << 0 << 0 << MsgNoFriction << 0;
}

void TestForwardCalc::inputChecks() {
    QFETCH(QString, name);
    QFETCH(Inputs, in);
    QFETCH(int, eq);
    QFETCH(int, die);
    QFETCH(QString, message);
    QFETCH(int, focus);
    const auto problem = checkInputs(name, in, static_cast<EquationKind>(eq), static_cast<DieType>(die));
    QCOMPARE(problem ? problem->message : QString(), message);
    QCOMPARE(problem ? problem->focusField : 0, focus);
}

void TestForwardCalc::validity_data() {
    QTest::addColumn<Inputs>("in");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QList<bool>>("inRange");
    QTest::newRow("h0/D0 exactly 3") << geometry("20", "60", "30", "20")
                                     << QStringList{"3,000", "1,000", "0,000", "0,811"}
                                     << QList<bool>{true, true, true, true};
    // The upper limits are permitted values too.
    QTest::newRow("h0/D0 exactly 8") << geometry("10", "80", "12", "10")
                                     << QStringList{"8,000", "1,000", "0,000", "0,365"}
                                     << QList<bool>{true, true, true, true};
    QTest::newRow("s0/s3 exactly 3.3")
        << geometry("18,16590212458495", "60", "12", "10") << QStringList{"3,303", "3,300", "0,697", "0,365"}
        << QList<bool>{true, true, true, true};
    QTest::newRow("2.9996 shown as 3,000 on red")
        << geometry("25", "74,99", "30", "20") << QStringList{"3,000", "1,563", "0,360", "0,811"}
        << QList<bool>{false, true, true, true};
    QTest::newRow("three rows out") << geometry("40", "40", "30", "20")
                                    << QStringList{"1,000", "4,000", "0,750", "0,811"}
                                    << QList<bool>{false, false, false, true};
    QTest::newRow("phi3 above fimax")
        << geometry("30", "100", "60", "20") << QStringList{"3,333", "2,250", "0,556", "2,197"}
        << QList<bool>{true, true, true, false};
}

void TestForwardCalc::validity() {
    QFETCH(Inputs, in);
    QFETCH(QStringList, texts);
    QFETCH(QList<bool>, inRange);
    const Validity v = validityRatios(in, 1.4);
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(v.rows[static_cast<size_t>(i)].text, texts[i]);
        QCOMPARE(v.rows[static_cast<size_t>(i)].inRange, inRange[i]);
    }
    QVERIFY(v.rows[3].question.contains(QStringLiteral("pro eps\r")));
    QCOMPARE(v.rows[0].refusal, QStringLiteral("Zadejte nové hodnoty h0 D0"));
}

void TestForwardCalc::recordFields() {
    const Data m = material();
    const Inputs in{"30", "100", "40,0", "40", "20", "50", "5", "", "0,1", "0,5", "0,1"};
    const Validity v = validityRatios(in, m.fimax);
    const Souhrn r = calculate(m, DataModel(m), EquationKind::Polynom3, DieType::WithoutCone, in, v);
    QCOMPARE(r[Ocel], QStringLiteral("C45"));
    QCOMPARE(r[Rm], QStringLiteral("600"));
    QCOMPARE(r[FiMax], QStringLiteral("1,4"));
    QCOMPARE(r[Teplota], QStringLiteral("20"));
    QCOMPARE(r[Fce], QStringLiteral("polynom 3 stupně"));
    QCOMPARE(r[TypVypoctu], QStringLiteral("bez kuzele"));
    QCOMPARE(r[D1], QStringLiteral("40,0 mm"));
    QCOMPARE(r[h0D0], QStringLiteral("3,333"));
    QCOMPARE(r[Alfa2], QStringLiteral(" °"));
    QCOMPARE(r[f2], QStringLiteral("0,5"));
    QCOMPARE(fieldNames().size(), size_t(49));
    QCOMPARE(QString::fromLatin1(fieldNames()[size_t(SigmaRo2)]), QStringLiteral("SigmaRo2"));
    QCOMPARE(equationName(EquationKind::Racionalni), QStringLiteral("racionálně lomená fce"));
    QCOMPARE(dieTypeName(DieType::WithCone), QStringLiteral("s kuzelem"));
}

void TestForwardCalc::historyLines() {
    Souhrn r;
    r[Ocel] = "C45";
    r[Teplota] = "20";
    r[D0] = "30 mm";
    r[h0] = "100 mm";
    r[D1] = "40 mm";
    r[D2] = "40 mm";
    r[D3] = "20 mm";
    r[L1] = "50 mm";
    r[L3] = "5 mm";
    QCOMPARE(historyLine(r, SeparatorWithCone),
             QStringLiteral(
                 "C45 20°  D0 = 30 mm h0 = 100 mm D1 = 40 mm D2 = 40 mm D3 = 20 mm L1 = 50 mm L3 = 5 mm"));
    QVERIFY(historyLine(r, SeparatorWithoutCone).startsWith(QStringLiteral("C45 20° D0 = 30 mm")));
}

QTEST_APPLESS_MAIN(TestForwardCalc)
#include "test_forward_calc.moc"
