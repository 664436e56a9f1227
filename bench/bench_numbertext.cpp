// Nanoseconds per number text: QBENCHMARK over a batch of typical values.
#include "core/NumberText.h"

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
