// Constants from measured flow curves: the points files, exact curves of each
// form recovered, and the quality judged through the flow-stress model.
#include "core/Encoding.h"
#include "domain/CurveFit.h"

#include <QtTest>
#include <cmath>

using namespace prolis;
using namespace prolis::fit;

namespace {
QList<Point> sampled(const std::function<double(double)>& f, double from, double to, int n) {
    QList<Point> points;
    for (int i = 0; i < n; ++i) {
        const double phi = from + (to - from) * i / (n - 1);
        points.append({phi, f(phi)});
    }
    return points;
}

bool near(double value, double expected, double relative = 1e-9) {
    return std::fabs(value - expected) <= relative * std::max(1.0, std::fabs(expected));
}
} // namespace

class TestCurveFit : public QObject {
    Q_OBJECT
private slots:
    void files_data();
    void files();
    void refusals_data();
    void refusals();
    void exactPolytropa_data();
    void exactPolytropa();
    void exactPolynomials();
    void exactRational();
    void workLaws();
    void noisyCurve();
};

void TestCurveFit::files_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::newRow("tab, point") << QByteArray("0.1\t650\n0.2\t700\n0.3\t730\n");
    QTest::newRow("semicolon, comma, header")
        << QByteArray("phi;sigma [MPa]\r\n0,1;650\r\n0,2;700\r\n0,3;730\r\n");
    QTest::newRow("blanks, comments")
        << QByteArray("# měření 12\n  0.1   650 # první\n\n0.2 700\n0.3    730\n");
    QTest::newRow("Windows-1250 header") << QByteArray("P\xf8"
                                                       "etvo\xf8"
                                                       "en\xed;Nap\xeat\xed\n0,1;650\n0,2;700\n0,3;730");
    QTest::newRow("UTF-8 mark") << QByteArray("\xef\xbb\xbf"
                                              "0,1 650\n0,3 730\n0,2 700\n");
    QTest::newRow("a point twice") << QByteArray("0.1 650\n0.2 700\n0.2 700\n0.3 730\n");
}

void TestCurveFit::files() {
    QFETCH(QByteArray, file);
    const ReadPoints r = readPoints(file);
    QCOMPARE(r.refusal, QString());
    QCOMPARE(r.points.size(), 3);
    QCOMPARE(r.points[0].phi, 0.1);
    QCOMPARE(r.points[1].sigma, 700.0);
    QCOMPARE(r.points[2].phi, 0.3);
}

void TestCurveFit::refusals_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("phi 0") << QByteArray("0.1 650\n0 600\n") << "Řádek 2: φ musí být větší než 0.";
    QTest::newRow("negative phi") << QByteArray("-0.1 650\n") << "Řádek 1: φ musí být větší než 0.";
    QTest::newRow("two sigmas at one phi")
        << QByteArray("0.1 650\n0.2 700\n0.2 710\n") << "Řádek 3: při φ = 0.2 je už jiné σp (řádek 2).";
    QTest::newRow("three numbers") << QByteArray("0.1 650\n0.2 700 3\n")
                                   << "Řádek 2: očekávána dvě čísla (φ a σp), je zde „0.2 700 3“.";
    QTest::newRow("not a number") << QByteArray("0.1 650\n0.2 abc\n")
                                  << "Řádek 2: očekávána dvě čísla (φ a σp), je zde „0.2 abc“.";
    QTest::newRow("beyond double") << QByteArray("0.1 650\n0.2 1e999\n")
                                   << "Řádek 2: očekávána dvě čísla (φ a σp), je zde „0.2 1e999“.";
    QTest::newRow("mixed marks") << QByteArray("0,1;650\n0.2;700\n")
                                 << "Řádek 2: desetinná čárka i tečka v jednom souboru.";
    QTest::newRow("no points") << QByteArray("# nic\n") << "Soubor neobsahuje žádný bod.";
    QTest::newRow("over 10 MiB") << QByteArray(MaxPointsFileSize + 1, ' ') << "Soubor je větší než 10 MiB.";
}

void TestCurveFit::refusals() {
    QFETCH(QByteArray, file);
    QFETCH(QString, refusal);
    QCOMPARE(readPoints(file).refusal, refusal);
}

void TestCurveFit::exactPolytropa_data() {
    QTest::addColumn<double>("a");
    QTest::addColumn<double>("b");
    QTest::addColumn<double>("c");
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("to");
    QTest::newRow("Hollomon") << 800.0 << 0.2 << 0.0 << 0.05 << 1.4;
    QTest::newRow("with c") << 600.0 << 0.5 << 120.0 << 0.05 << 1.4;
    QTest::newRow("small strains") << 950.0 << 0.15 << 0.0 << 1e-3 << 2.0;
}

void TestCurveFit::exactPolytropa() {
    QFETCH(double, a);
    QFETCH(double, b);
    QFETCH(double, c);
    QFETCH(double, from);
    QFETCH(double, to);
    const QList<Point> points = sampled([&](double x) { return a * std::pow(x, b) + c; }, from, to, 60);
    const Result r = fitAll(points, {});
    QVERIFY2(near(r.constants.pol_a, a, 1e-7) && near(r.constants.pol_b, b, 1e-7) &&
                 near(r.constants.pol_c, c, 1e-6),
             qPrintable(QStringLiteral("%1 %2 %3")
                            .arg(r.constants.pol_a, 0, 'g', 17)
                            .arg(r.constants.pol_b, 0, 'g', 17)
                            .arg(r.constants.pol_c, 0, 'g', 17)));
    QVERIFY(r.polytropa.r2 > 1 - 1e-12);
    QCOMPARE(r.polytropa.phiMin, from);
    QCOMPARE(r.polytropa.phiMax, to);
    QCOMPARE(r.constants.fimax, to);
    // The work law of the same curve, exactly.
    QVERIFY(near(r.constants.ppol_a, r.constants.pol_a / (r.constants.pol_b + 1) / 1000, 1e-15));
    QCOMPARE(r.constants.ppol_b, r.constants.pol_b + 1);
    // c = 0 when asked for.
    Options zero;
    zero.polytropaC = false;
    QCOMPARE(fitAll(points, zero).constants.pol_c, 0.0);
}

void TestCurveFit::exactPolynomials() {
    const std::array<double, 4> p3{500, 300, -100, 20};
    const std::array<double, 6> p5{450, 500, -400, 250, -80, 10};
    const auto poly = [](const auto& c, double x) {
        double s = 0;
        for (size_t i = 0; i < c.size(); ++i)
            s += c[i] * std::pow(x, static_cast<double>(i));
        return s;
    };
    const Result r3 = fitAll(sampled([&](double x) { return poly(p3, x); }, 0.01, 1.5, 40), {});
    for (size_t i = 0; i < 4; ++i)
        QVERIFY2(near(r3.constants.pn3[i], p3[i], 1e-9),
                 qPrintable(QString::number(r3.constants.pn3[i], 'g', 17)));
    QVERIFY(r3.polynom3.r2 > 1 - 1e-12 && r3.polynom3.maxDeviation < 1e-8);
    const Result r5 = fitAll(sampled([&](double x) { return poly(p5, x); }, 0.01, 1.5, 40), {});
    for (size_t i = 0; i < 6; ++i)
        QVERIFY2(near(r5.constants.pn5[i], p5[i], 1e-8),
                 qPrintable(QString::number(r5.constants.pn5[i], 'g', 17)));
    // Too few points for an equation: not fitted, the others are.
    const Result few = fitAll(sampled([&](double x) { return poly(p3, x); }, 0.1, 1, 5), {});
    QVERIFY(few.polynom3.fitted && !few.polynom5.fitted);
}

void TestCurveFit::exactRational() {
    // F of degree 5 over a constant D = √(4000/π): σ = F.
    const std::array<double, 6> f{300, 1400, -3000, 4500, -3800, 1700};
    const auto curve = [&](double x) {
        double s = 0;
        for (size_t i = 0; i < f.size(); ++i)
            s += f[i] * std::pow(x, static_cast<double>(i));
        return s;
    };
    const Result r = fitAll(sampled(curve, 0.02, 1.2, 50), {});
    for (size_t i = 0; i < 6; ++i)
        QVERIFY2(near(r.constants.rlff[i], f[i], 1e-8),
                 qPrintable(QString::number(r.constants.rlff[i], 'g', 17)));
    QVERIFY(near(r.constants.rlfd[0], std::sqrt(4000 / M_PI), 1e-15));
    QVERIFY(r.racionalni.r2 > 1 - 1e-12);
    // A D of degree 1 never has a zero in the range.
    Options linearD;
    linearD.dDegree = 1;
    linearD.fDegree = 2;
    const Result rd = fitAll(
        sampled([](double x) { return 500 * (1 + x) / std::pow(1 + 0.3 * x, 2); }, 0.02, 1.2, 50), linearD);
    QVERIFY(rd.racionalni.fitted);
    for (int k = 1; k <= 100; ++k) {
        const double x = 1.2 * k / 100;
        QVERIFY(rd.constants.rlfd[0] + rd.constants.rlfd[1] * x != 0);
    }
    QVERIFY2(rd.racionalni.r2 > 0.999, qPrintable(QString::number(rd.racionalni.r2)));
}

void TestCurveFit::workLaws() {
    // The polynomial work law against the integral of a Hollomon curve.
    const Result r = fitAll(sampled([](double x) { return 800 * std::pow(x, 0.2); }, 0.02, 1.4, 100), {});
    QVERIFY(r.work.fitted);
    QCOMPARE(r.constants.ppn[1], 0.0);
    QVERIFY(r.constants.ppn[0] != 0);
    QVERIFY2(r.work.r2 > 0.9999, qPrintable(QString::number(r.work.r2)));
    const double exact = 800 * std::pow(1.4, 1.2) / 1.2 / 1000;
    QVERIFY2(std::fabs(SpecificWork(r.constants, 1.4) - exact) / exact < 2e-3,
             qPrintable(QString::number(SpecificWork(r.constants, 1.4))));
}

void TestCurveFit::noisyCurve() {
    // Measurement noise: the fit is the curve's, R² below 1 but high.
    QList<Point> points = sampled([](double x) { return 800 * std::pow(x, 0.2); }, 0.05, 1.4, 200);
    for (qsizetype i = 0; i < points.size(); ++i)
        points[i].sigma += ((i * 7919) % 11 - 5) * 0.8;
    const Result r = fitAll(points, {});
    QVERIFY(near(r.constants.pol_a, 800, 5e-3) && near(r.constants.pol_b, 0.2, 2e-2));
    QVERIFY(r.polytropa.r2 > 0.99 && r.polytropa.r2 < 1);
    QVERIFY(r.polytropa.maxDeviation > 1 && r.polytropa.maxDeviation < 10);
}

QTEST_GUILESS_MAIN(TestCurveFit)
#include "test_curvefit.moc"
