// Nanoseconds per number text: QBENCHMARK over a batch of typical values.
#include "LegacyNumberText.h"
#include "core/NumberText.h"

#include <cmath>
#include <cstring>
#include <random>

#include <QtTest>

using namespace prolis;

class BenchNumberText : public QObject {
    Q_OBJECT
private slots:
    void fixed2() {
        const auto values = sample();
        QBENCHMARK {
            for (double v : values)
                m_sink += formatFixed(v, 2).size();
        }
    }
    void fixed3() {
        const auto values = sample();
        QBENCHMARK {
            for (double v : values)
                m_sink += formatFixed3(v).size();
        }
    }
    void general() {
        const auto values = sample();
        QBENCHMARK {
            for (double v : values)
                m_sink += formatGeneral(v).size();
        }
    }
    void parse() {
        const QStringList texts{"40", "2,5", "0,075", "1204,675", "100"};
        QBENCHMARK {
            for (int i = 0; i < 200; ++i)
                m_sink += textToFloat(texts[i % texts.size()]);
        }
    }
    void fixed2WithUnit() {
        const auto values = sample();
        QBENCHMARK {
            for (double v : values)
                m_sink += formatFixed(v, 2, 15, u" MPa").size();
        }
    }
    // The new texts against the implementation they replace, text for text,
    // over 10^7 random doubles of every magnitude and 10^6 of engineering size.
    void sameTextsAsBefore() {
        std::mt19937_64 rng(20261209);
        qint64 compared = 0;
        const auto check = [&](double v) {
            if (!std::isfinite(v)) return;
            const QString g = formatGeneral(v), lg = legacy::formatGeneral(v);
            const QString f2 = formatFixed(v, 2), lf2 = legacy::formatFixed(v, 2);
            const QString f3 = formatFixed3(v), lf3 = legacy::formatFixed(v, 3, 6);
            const QString f4 = formatFixed(v, 4), lf4 = legacy::formatFixed(v, 4);
            if (g != lg || f2 != lf2 || f3 != lf3 || f4 != lf4)
                QFAIL(qPrintable(QStringLiteral("%1: %2/%3 %4/%5 %6/%7 %8/%9")
                                     .arg(QString::number(v, 'g', 17), g, lg, f2, lf2, f3, lf3, f4, lf4)));
            ++compared;
        };
        for (int i = 0; i < 10'000'000; ++i) {
            const uint64_t bits = rng();
            double v;
            std::memcpy(&v, &bits, sizeof v);
            check(v);
        }
        for (int i = 0; i < 1'000'000; ++i) {
            // Values of a calculation, and exact halves of the last kept digit.
            const double base =
                std::ldexp(static_cast<double>(rng() >> 11), -53) * std::pow(10.0, int(rng() % 12) - 4);
            check(base);
            check(std::round(base * 1000.0) / 1000.0 + 0.0005);
            check(static_cast<double>(rng() % 100000) / 8.0);
        }
        qDebug() << "compared" << compared << "values, four texts each";
    }
    void cleanupTestCase() { qDebug() << "batch of 1000 values; sink" << m_sink; }

private:
    static QList<double> sample() {
        QList<double> v;
        for (int i = 0; i < 1000; ++i)
            v.append((i * 7919 % 10007) * 0.3183 + 0.125);
        return v;
    }
    double m_sink = 0;
};

QTEST_APPLESS_MAIN(BenchNumberText)
#include "bench_numbertext.moc"
