// Fitting every equation and both work laws to a measured curve of 1,000
// and of 100,000 points.
#include "domain/CurveFit.h"

#include <QtTest>
#include <cmath>

using namespace prolis;
using namespace prolis::fit;

namespace {
QList<Point> curve(int n) {
    QList<Point> points;
    for (int i = 1; i <= n; ++i) {
        const double phi = 1.4 * i / n;
        points.append({phi, 800 * std::pow(phi, 0.2) + ((i * 7919) % 11 - 5) * 0.5});
    }
    return points;
}
} // namespace

class BenchFit : public QObject {
    Q_OBJECT
private slots:
    void thousandPoints() {
        const QList<Point> points = curve(1000);
        QBENCHMARK {
            m_sink += fitAll(points, {}).constants().pol_a;
        }
    }
    void hundredThousandPoints() {
        const QList<Point> points = curve(100000);
        QBENCHMARK {
            m_sink += fitAll(points, {}).constants().pol_a;
        }
    }
    void cleanupTestCase() { qDebug() << "sink" << m_sink; }

private:
    double m_sink = 0;
};

QTEST_APPLESS_MAIN(BenchFit)
#include "bench_fit.moc"
