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
    void certifiedPolynomials_data();
    void certifiedPolynomials();
    void laboratoryCurves_data();
    void laboratoryCurves();
    void yieldDrop();
    void flatCurve();
    void notConverged();
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
    QTest::newRow("CR line ends") << QByteArray("phi;sigma\r0,1;650\r0,2;700\r0,3;730\r");
    QTest::newRow("CR, LF and CR LF mixed") << QByteArray("0.1 650\r\n0.2 700\r0.3 730\n");
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
    QTest::newRow("sigma 0") << QByteArray("0.1 650\n0.2 0\n") << "Řádek 2: σp musí být větší než 0.";
    QTest::newRow("negative sigma") << QByteArray("0.1 -650\n") << "Řádek 1: σp musí být větší než 0.";
    QTest::newRow("seven identical points")
        << QByteArray("x y\n0.1 650\n0.1 650\n0.1 650\n0.1 650\n0.1 650\n0.1 650\n0.1 650\n")
        << "Všech 7 bodů je stejných (řádek 2); pro proložení jsou potřeba alespoň 2 body s různým φ.";
    QTest::newRow("one point")
        << QByteArray("\n0.1 650\n")
        << "Soubor obsahuje jen jeden bod (řádek 2); pro proložení jsou potřeba alespoň 2 "
           "body s různým φ.";
    QTest::newRow("UTF-16 with its mark")
        << QByteArray("\xff\xfe"
                      "0\0.\0"
                      "1\0 \0"
                      "6\0"
                      "5\0"
                      "0\0\n\0",
                      18)
        << "Soubor je v kódování UTF-16; uložte jej jako UTF-8 nebo Windows-1250.";
    QTest::newRow("UTF-16 without a mark")
        << QByteArray("0\0.\0"
                      "1\0 \0"
                      "6\0"
                      "5\0"
                      "0\0\n\0",
                      16)
        << "Soubor je v kódování UTF-16; uložte jej jako UTF-8 nebo Windows-1250.";
    QTest::newRow("NUL on line 3, CR ends") << QByteArray("0.1 650\r0.2 700\r0.3 7\0"
                                                          "30\r",
                                                          23)
                                            << "Řádek 3: obsahuje nulový bajt (NUL), soubor není text.";
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
    const Fits r = fitAll(points, {});
    const Data d = r.constants();
    QVERIFY2(near(d.pol_a, a, 1e-7) && near(d.pol_b, b, 1e-7) && near(d.pol_c, c, 1e-6),
             qPrintable(QStringLiteral("%1 %2 %3")
                            .arg(d.pol_a, 0, 'g', 17)
                            .arg(d.pol_b, 0, 'g', 17)
                            .arg(d.pol_c, 0, 'g', 17)));
    const Fit& p = r.of(FitKind::Polytropa);
    QVERIFY(p.made() && p.notes.isEmpty());
    QVERIFY(p.quality.r2 > 1 - 1e-12);
    QCOMPARE(p.quality.phiMin, from);
    QCOMPARE(p.quality.phiMax, to);
    QCOMPARE(d.fimax, to);
    // The work law of the same curve, exactly.
    QVERIFY(near(d.ppol_a, d.pol_a / (d.pol_b + 1) / 1000, 1e-15));
    QCOMPARE(d.ppol_b, d.pol_b + 1);
    // c = 0 when asked for.
    Options zero;
    zero.polytropaC = false;
    QCOMPARE(fitAll(points, zero).constants().pol_c, 0.0);
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
    const Fits r3 = fitAll(sampled([&](double x) { return poly(p3, x); }, 0.01, 1.5, 40), {});
    for (size_t i = 0; i < 4; ++i)
        QVERIFY2(near(r3.constants().pn3[i], p3[i], 1e-9),
                 qPrintable(QString::number(r3.constants().pn3[i], 'g', 17)));
    const Quality& q3 = r3.of(FitKind::Polynom3).quality;
    QVERIFY(q3.r2 > 1 - 1e-12 && q3.maxDeviation < 1e-8);
    const Fits r5 = fitAll(sampled([&](double x) { return poly(p5, x); }, 0.01, 1.5, 40), {});
    for (size_t i = 0; i < 6; ++i)
        QVERIFY2(near(r5.constants().pn5[i], p5[i], 1e-8),
                 qPrintable(QString::number(r5.constants().pn5[i], 'g', 17)));
    // Too few points for an equation: not fitted, with the reason; the others are.
    const Fits few = fitAll(sampled([&](double x) { return poly(p3, x); }, 0.1, 1, 5), {});
    QVERIFY(few.of(FitKind::Polynom3).made());
    QCOMPARE(few.of(FitKind::Polynom5).status, FitStatus::TooFewPoints);
    QCOMPARE(few.of(FitKind::Polynom5).reason, QStringLiteral("potřebuje alespoň 6 bodů, křivka má jen 5."));
    QCOMPARE(few.constants().pn5[0], 0.0);
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
    const Fits r = fitAll(sampled(curve, 0.02, 1.2, 50), {});
    for (size_t i = 0; i < 6; ++i)
        QVERIFY2(near(r.constants().rlff[i], f[i], 1e-8),
                 qPrintable(QString::number(r.constants().rlff[i], 'g', 17)));
    QVERIFY(near(r.constants().rlfd[0], std::sqrt(4000 / M_PI), 1e-15));
    QVERIFY(r.of(FitKind::Racionalni).quality.r2 > 1 - 1e-12);
    // A D of degree 1 never has a zero in the range.
    Options linearD;
    linearD.dDegree = 1;
    linearD.fDegree = 2;
    const Fits rd = fitAll(
        sampled([](double x) { return 500 * (1 + x) / std::pow(1 + 0.3 * x, 2); }, 0.02, 1.2, 50), linearD);
    QVERIFY(rd.of(FitKind::Racionalni).made());
    for (int k = 1; k <= 100; ++k) {
        const double x = 1.2 * k / 100;
        QVERIFY(rd.constants().rlfd[0] + rd.constants().rlfd[1] * x != 0);
    }
    const double r2 = rd.of(FitKind::Racionalni).quality.r2;
    QVERIFY2(r2 > 0.999, qPrintable(QString::number(r2)));
}

void TestCurveFit::workLaws() {
    // The polynomial work law against the integral of a Hollomon curve.
    const Fits r = fitAll(sampled([](double x) { return 800 * std::pow(x, 0.2); }, 0.02, 1.4, 100), {});
    const Fit& w = r.of(FitKind::WorkPolynom);
    QVERIFY(w.made());
    QCOMPARE(w.unit(), QStringLiteral("J/mm^3"));
    const Data d = r.constants();
    QCOMPARE(d.ppn[1], 0.0);
    QVERIFY(d.ppn[0] != 0);
    QVERIFY2(w.quality.r2 > 0.9999, qPrintable(QString::number(w.quality.r2)));
    // Started from the fitted Polytropa, the work is that of the curve.
    const double exact = 800 * std::pow(1.4, 1.2) / 1.2 / 1000;
    QVERIFY2(std::fabs(SpecificWork(d, 1.4) - exact) / exact < 1e-3,
             qPrintable(QString::number(SpecificWork(d, 1.4))));
}

void TestCurveFit::noisyCurve() {
    // Measurement noise: the fit is the curve's, R² below 1 but high.
    QList<Point> points = sampled([](double x) { return 800 * std::pow(x, 0.2); }, 0.05, 1.4, 200);
    for (qsizetype i = 0; i < points.size(); ++i)
        points[i].sigma += ((i * 7919) % 11 - 5) * 0.8;
    const Fits r = fitAll(points, {});
    QVERIFY(near(r.constants().pol_a, 800, 5e-3) && near(r.constants().pol_b, 0.2, 2e-2));
    const Quality& q = r.of(FitKind::Polytropa).quality;
    QVERIFY(q.r2 > 0.99 && q.r2 < 1);
    QVERIFY(q.maxDeviation > 1 && q.maxDeviation < 10);
}

void TestCurveFit::certifiedPolynomials_data() {
    // Degree-5 problems of the NIST statistical reference datasets for
    // linear least squares (Wampler 1 to 3: x = 0 … 20), with their certified
    // coefficients.
    QTest::addColumn<QList<double>>("y");
    QTest::addColumn<QList<double>>("certified");
    QList<double> w1, w2;
    for (int x = 0; x <= 20; ++x) {
        double s1 = 0, s2 = 0;
        for (int k = 0; k <= 5; ++k) {
            s1 += std::pow(x, k);
            s2 += std::pow(x, k) * std::pow(10.0, -k);
        }
        w1 << s1;
        w2 << s2;
    }
    QTest::newRow("Wampler1") << w1 << QList<double>{1, 1, 1, 1, 1, 1};
    QTest::newRow("Wampler2") << w2 << QList<double>{1, 0.1, 0.01, 0.001, 1e-4, 1e-5};
    QTest::newRow("Wampler3") << QList<double>{760,    -2042,  2111,    -1684,   3888,    1858,    11379,
                                               17560,  39287,  64382,   113159,  175108,  273291,  400186,
                                               581243, 811568, 1121004, 1506550, 2002767, 2611612, 3369180}
                              << QList<double>{1, 1, 1, 1, 1, 1};
}

void TestCurveFit::certifiedPolynomials() {
    QFETCH(QList<double>, y);
    QFETCH(QList<double>, certified);
    QList<double> x;
    for (int i = 0; i <= 20; ++i)
        x << i;
    const std::optional<std::vector<double>> c = powerFit(x, y, 0, 6);
    QVERIFY(c);
    for (int j = 0; j < 6; ++j)
        QVERIFY2(std::fabs((*c)[j] - certified[j]) <= 1e-8 * std::fabs(certified[j]),
                 qPrintable(QStringLiteral("c%1 = %2").arg(j).arg((*c)[j], 0, 'g', 17)));
}

void TestCurveFit::laboratoryCurves_data() {
    // Curves a laboratory produces: which fits are made, and that nothing
    // any fit gives is not finite, the Polytropa within its bounds.
    QTest::addColumn<QList<Point>>("points");
    QTest::addColumn<QString>("made"); // P, 3, 5, R, W for the fits made
    QTest::addColumn<QString>("polytropaReason");
    const QString rising =
        QStringLiteral("naměřené σp s rostoucím φ neroste (exponent b by byl nejvýše 0,0001), "
                       "Polytropa a·φ^b + c s a > 0 a b > 0 křivku nepopíše.");
    QTest::newRow("falling 100/φ") << sampled([](double x) { return 100 / x; }, 0.1, 1.6, 16) << "35RW"
                                   << rising;
    QTest::newRow("stresses near the largest double")
        << sampled([](double x) { return 1e307 * (1 + x); }, 0.1, 1.6, 16) << "P35W" << QString();
    QList<Point> tiny{{4.9406564584124654e-324, 500}, {1e-300, 510}, {0.1, 600}, {0.5, 700}, {1, 750}};
    QTest::newRow("φ near the smallest double") << tiny << "P3" << QString();
    QTest::newRow("two points") << QList<Point>{{0.1, 500}, {0.5, 700}} << "P" << QString();
    QTest::newRow("steep, b would exceed 1")
        << sampled([](double x) { return 200 * x * x + 100; }, 0.05, 1.5, 30) << "P35RW" << QString();
}

void TestCurveFit::laboratoryCurves() {
    QFETCH(QList<Point>, points);
    QFETCH(QString, made);
    QFETCH(QString, polytropaReason);
    const Fits r = fitAll(points, {});
    QCOMPARE(r.refusal, QString());
    QString got;
    const QString letters = QStringLiteral("P35RW");
    for (int i = 0; i < r.fits.size(); ++i) {
        const Fit& f = r.fits[i];
        if (f.made()) {
            got += letters[i];
            for (double v : {f.quality.r2, f.quality.maxDeviation, f.quality.maxDeviationPercent})
                QVERIFY2(std::isfinite(v), qPrintable(f.caption()));
        } else {
            QVERIFY2(!f.reason.isEmpty() && f.laws.isEmpty(), qPrintable(f.caption()));
        }
        for (const Law& law : f.laws)
            for (double v : law.values)
                QVERIFY2(std::isfinite(v), qPrintable(f.caption()));
    }
    QCOMPARE(got, made);
    const Fit& p = r.of(FitKind::Polytropa);
    if (!p.made()) QCOMPARE(p.reason, polytropaReason);
    const Data d = r.constants();
    if (p.made())
        QVERIFY2(d.pol_a > 0 && d.pol_b > 0 && d.pol_b <= 1 && d.pol_c >= 0, qPrintable(p.notes.join(';')));
    if (made.contains('W')) QVERIFY(SpecificWork(d, points.first().phi) > 0);
}

void TestCurveFit::yieldDrop() {
    // A yield drop at the start: the Polytropa stays physical (a > 0,
    // 0 < b ≤ 1, c ≥ 0) and says which bound it met; the work starts from it
    // and every measured work is positive.
    const QList<Point> points{{0.01, 300}, {0.011, 250}, {0.1, 500}, {0.2, 560},
                              {0.4, 620},  {0.8, 690},   {1.2, 730}};
    const Fits r = fitAll(points, {});
    const Fit& p = r.of(FitKind::Polytropa);
    QVERIFY(p.made());
    const Data d = r.constants();
    QVERIFY2(d.pol_a > 0 && d.pol_a < 5000 && d.pol_b > 0 && d.pol_b <= 1 && d.pol_c >= 0,
             qPrintable(QStringLiteral("%1 %2 %3").arg(d.pol_a).arg(d.pol_b).arg(d.pol_c)));
    QCOMPARE(p.notes, QStringList{QStringLiteral("c = 0 (dolní mez; křivka by chtěla záporné c)")});
    QVERIFY(p.quality.r2 > 0.8);
    const Fit& w = r.of(FitKind::WorkPolynom);
    QVERIFY(w.made());
    const double start = d.pol_a * std::pow(0.01, d.pol_b + 1) / (d.pol_b + 1) / 1000;
    QVERIFY(start > 0);
    QVERIFY2(std::fabs(SpecificWork(d, 0.01) - start) < w.quality.maxDeviation + 1e-12,
             qPrintable(QString::number(SpecificWork(d, 0.01))));
}

void TestCurveFit::flatCurve() {
    // No variance: a fit exact to the rounding is R² 1, not 0; the Polytropa
    // (a hardening law) says why it cannot describe it.
    QList<Point> points;
    for (int i = 1; i <= 6; ++i)
        points.append({0.2 * i, 500});
    const Fits r = fitAll(points, {});
    for (FitKind k : {FitKind::Polynom3, FitKind::Polynom5, FitKind::Racionalni}) {
        QVERIFY(r.of(k).made());
        QCOMPARE(r.of(k).quality.r2, 1.0);
        QVERIFY(r.of(k).quality.maxDeviation < 1e-8);
    }
    QVERIFY(!r.of(FitKind::Polytropa).made());
    QVERIFY(r.reasons().first().startsWith(QStringLiteral("Polytropa: naměřené σp s rostoucím φ neroste")));
    // A curve whose residual is far above the rounding keeps its R².
    const std::optional<Quality> q = quality(points, [](double) { return 501; });
    QVERIFY(q);
    QCOMPARE(q->r2, 0.0);
}

void TestCurveFit::notConverged() {
    // Levenberg–Marquardt that runs out of steps is reported as such, not as
    // a result: D of degree 9 over F of degree 9 on a wavy curve.
    QList<Point> points =
        sampled([](double x) { return 800 * std::pow(x, 0.2) + 30 * std::sin(40 * x); }, 0.05, 1.4, 40);
    Options o;
    o.fDegree = 9;
    o.dDegree = 9;
    const Fit f = fitRational(points, o, 1.4);
    QCOMPARE(f.status, FitStatus::NotConverged);
    QVERIFY(f.laws.isEmpty());
    QVERIFY(f.reason.startsWith(QStringLiteral("výpočet F a D nekonvergoval")));
}

QTEST_GUILESS_MAIN(TestCurveFit)
#include "test_curvefit.moc"
