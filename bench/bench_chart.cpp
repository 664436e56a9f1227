// The chart workbook: a summary of 50 rows to a finished .xlsx file (the
// target is 50 ms).
#include "core/FileIo.h"
#include "output/ChartWorkbook.h"
#include "support/Records.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace prolis;

class BenchChart : public QObject {
    Q_OBJECT
private slots:
    void fiftyRowsToFile() {
        QList<bwd::SouhrnVysl> rows;
        for (int i = 0; i < 50; ++i) {
            bwd::SouhrnVysl row = test::summaryRows()[i % 4];
            row[bwd::SummaryField::Teplota] = QString::number(20 + 5 * i);
            rows << row;
        }
        QTemporaryDir dir;
        QBENCHMARK {
            m_sink += writeWholeFile(dir.filePath("g.xlsx"), out::chartWorkbook(rows));
        }
    }
    void cleanupTestCase() { qDebug() << "sink" << m_sink; }

private:
    qint64 m_sink = 0;
};

QTEST_GUILESS_MAIN(BenchChart)
#include "bench_chart.moc"
