// From the click to the document on disk: "Word" and "Graf" through the
// window outputs, with the desktop's application looked up as the program
// looks it up (GIO) and the hand-over itself left out (nothing is started).
#include "support/Records.h"
#include "widgets/QtUiServices.h"
#include "widgets/WindowOutputs.h"

#include <QElapsedTimer>
#include <QStandardPaths>
#include <QtTest>

using namespace prolis;

namespace {
// The real lookup; the file handed over is only noted.
class LookupOnly final : public UiServices {
public:
    Answer message(MsgKind, const QString& caption, const QString& text, Buttons) override {
        qWarning() << caption << text;
        return Answer::Ok;
    }
    void beep() override {}
    QString saveFileName(const QString&, const QString&, const QString&) override { return {}; }
    QString openFileName(const QString&, const QString&) override { return {}; }
    void printPreview(const std::function<void(QPagedPaintDevice*)>&) override {}
    bool hasApplicationFor(const QString& type) override { return m_qt.hasApplicationFor(type) || m_always; }
    QString openDocument(const QString& target) override {
        last = target;
        return {};
    }
    int startProgram(const QString&) override { return 33; }
    int execModal(QObject*) override { return 0; }
    QString last;
    bool m_always = true; // without a registered application the file would not be written

private:
    QtUiServices m_qt;
};
} // namespace

class BenchHandover : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void wordDocument() {
        LookupOnly ui;
        WindowOutputs outputs(ui);
        const auto record = test::backwardRecord();
        QBENCHMARK {
            outputs.WriteWordDocument(record);
        }
        QVERIFY(QFile::exists(ui.last));
    }
    void chart() {
        LookupOnly ui;
        WindowOutputs outputs(ui);
        const auto rows = test::summaryRows();
        QBENCHMARK {
            outputs.DrawChart(rows);
        }
        QVERIFY(QFile::exists(ui.last));
    }
};

QTEST_GUILESS_MAIN(BenchHandover)
#include "bench_handover.moc"
