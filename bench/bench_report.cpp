// The printed reports: building a page model (microseconds) and a record to
// a finished PDF file (milliseconds; the target is 100 ms).
#include "core/FileIo.h"
#include "output/ReportPages.h"
#include "print/ReportPainter.h"
#include "support/Records.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace prolis;

class BenchReport : public QObject {
    Q_OBJECT
private slots:
    void forwardPageModel() {
        const fwd::Souhrn r = test::forwardRecord("forward-cone");
        QBENCHMARK {
            m_sink += out::forwardReport(r).constFirst().texts.size();
        }
    }
    void backwardPageModel() {
        const bwd::Souhrn r = test::backwardRecord();
        QBENCHMARK {
            m_sink += out::backwardReport(r).constFirst().texts.size();
        }
    }
    void summaryPageModel51Rows() {
        QList<bwd::SouhrnVysl> rows;
        for (int i = 0; i < 51; ++i)
            rows << test::summaryRows()[i % 4];
        QBENCHMARK {
            m_sink += out::summaryReport(rows).size();
        }
    }
    void forwardRecordToPdfFile() {
        const fwd::Souhrn r = test::forwardRecord("forward-cone");
        QTemporaryDir dir;
        reportPdf(out::forwardReport(r)); // fonts loaded once, as in a running program
        QBENCHMARK {
            m_sink += writeWholeFile(dir.filePath("r.pdf"), reportPdf(out::forwardReport(r)));
        }
    }
    void backwardRecordToPdfFile() {
        const bwd::Souhrn r = test::backwardRecord();
        QTemporaryDir dir;
        reportPdf(out::backwardReport(r));
        QBENCHMARK {
            m_sink += writeWholeFile(dir.filePath("r.pdf"), reportPdf(out::backwardReport(r)));
        }
    }
    void cleanupTestCase() { qDebug() << "sink" << m_sink; }

private:
    qint64 m_sink = 0;
};

QTEST_MAIN(BenchReport)
#include "bench_report.moc"
