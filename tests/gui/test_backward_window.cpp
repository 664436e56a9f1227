#include "domain/BackwardUnit.h"
#include "domain/Journal.h"
#include "domain/UnitsProject.h"
#include "gui/U_ProtlZpet.h"
#include "output/ChartWorkbook.h"
#include "output/DocumentFiles.h"
#include "output/Outputs.h"
#include "output/Protocol.h"
#include "support/Materials.h"
#include "support/RecordingUi.h"

#include "support/Controls.h"

#include <QBuffer>
#include <QPdfWriter>
#include <QtTest>
#include <QtWidgets>

using namespace prolis;
using prolis::test::child;
using namespace prolis::bwd;
using enum prolis::bwd::Field;
using S = prolis::bwd::SummaryField;
using prolis::test::RecordingUi;

namespace {
// Records each output with the temperature of its record, or the number of
// summary rows; answers `result`.
struct RecordingOutputs final : BackwardOutputs {
    QStringList calls;
    OutputResult result = OutputResult::Done;
    OutputResult WriteTextProtocol(const Souhrn& r) override { return log("txt", r[Teplota]); }
    OutputResult WriteWordDocument(const Souhrn& r) override { return log("doc", r[Teplota]); }
    OutputResult PrintReport(const Souhrn& r) override { return log("print", r[Teplota]); }
    OutputResult WriteSummaryText(const QList<SouhrnVysl>& rows) override { return summary("txt", rows); }
    OutputResult WriteSummaryWord(const QList<SouhrnVysl>& rows) override { return summary("doc", rows); }
    OutputResult PrintSummaryReport(const QList<SouhrnVysl>& rows) override { return summary("print", rows); }
    OutputResult DrawChart(const QList<SouhrnVysl>& rows) override { return summary("chart", rows); }
    OutputResult log(const char* what, const QString& which) {
        calls << QLatin1String(what) + QLatin1Char(' ') + which;
        return result;
    }
    OutputResult summary(const char* what, const QList<SouhrnVysl>& rows) {
        return log(what, QStringLiteral("summary of %1").arg(rows.size()));
    }
};

Data material(int temperature = 20) {
    return test::workedMaterial(temperature);
}

void fill(TProtlZpet& w, const QStringList& t) {
    const QList<QLineEdit*> e{child<QLineEdit>(&w, "Edit1"), child<QLineEdit>(&w, "Edit2"),
                              child<QLineEdit>(&w, "Edit3"), child<QLineEdit>(&w, "Edit4"),
                              child<QLineEdit>(&w, "Edit5"), child<QLineEdit>(&w, "Edit6")};
    for (int i = 0; i < t.size(); ++i)
        e[i]->setText(t[i]);
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

const QStringList Example{"40", "30", "30", "40", "0,1", "0,05"};

void calculateAt(TProtlZpet& w, int temperature) {
    w.MaterialChosen(material(temperature));
    w.selectEquation(0);
    fill(w, Example);
    w.VypocetClick();
}

QStringList lines(TProtlZpet& w) {
    QStringList l;
    for (int i = 0; i < child<QListWidget>(&w, "ListBox1")->count(); ++i)
        l << child<QListWidget>(&w, "ListBox1")->item(i)->text();
    return l;
}
} // namespace

class TestBackwardWindow : public QObject {
    Q_OBJECT
private slots:
    void init();
    void materialBesideUlozitJako();
    void cleanup();
    void sequenceWarnings();
    void workedExampleInWindow();
    void epsilonRefused();
    void phi1RefusedKeepsRecords();
    void latestAfterSorting();
    void failureMend();
    void deletion();
    void journalHoldsWhatTheListShows();
    void summaryOutputsAndStopFlag();
    void textProtocolsThroughTheWindow();
    void printedReportsThroughTheWindow();
    void summaryWordThroughTheWindow();
    void chartThroughTheWindow();
    void latestDeletedSkipsOwnSteps();
    void listClickAndChecks();
    void reopenKeepsRecords();
    void keysAndEnter();

private:
    RecordingOutputs m_outputs;
};

void TestBackwardWindow::init() {
    backwardUnit() = BackwardUnit{};
    m_outputs.calls.clear();
    m_outputs.result = OutputResult::Done;
}

void TestBackwardWindow::cleanup() {}

void TestBackwardWindow::sequenceWarnings() {
    RecordingUi ui;
    TProtlZpet w(nullptr, &m_outputs);
    QCOMPARE(w.windowTitle(), QStringLiteral("Protlačování Zpětné"));
    w.VypocetClick();
    w.MaterialChosen(material());
    fill(w, {"40", "0", "30", "40"});
    w.VypocetClick();
    child<QLineEdit>(&w, "Edit2")->setText(QStringLiteral("30"));
    w.VypocetClick();
    w.selectEquation(0);
    w.VypocetClick();
    QCOMPARE(ui.texts(), (QStringList{MsgNoMaterial, MsgNoDimensions, MsgNoEquation, MsgNoFriction}));
    for (const auto& m : ui.messages)
        QCOMPARE(m.kind, MsgKind::Warning);
    QVERIFY(child<QLineEdit>(&w, "Edit7")->text().isEmpty());
    QVERIFY(backwardUnit().history.isEmpty());
}

void TestBackwardWindow::workedExampleInWindow() {
    RecordingUi ui;
    TProtlZpet w(nullptr, &m_outputs);
    calculateAt(w, 20);
    QVERIFY(ui.messages.isEmpty());
    QCOMPARE(child<QLineEdit>(&w, "Edit7")->text(), QStringLiteral("0,075"));
    QCOMPARE(child<QLabel>(&w, "Label20")->text(), QStringLiteral("22,222"));
    QCOMPARE(child<QLabel>(&w, "Label21")->text(), QStringLiteral("0,259"));
    QCOMPARE(child<QLabel>(&w, "Label23")->text(), QStringLiteral("0,300"));
    QCOMPARE(child<QLabel>(&w, "Label24")->text(), QStringLiteral("0,525"));
    QCOMPARE(child<QLabel>(&w, "Label27")->text(), QStringLiteral("0,225"));
    QCOMPARE(backwardUnit().history.size(), 1);
    const Entry& e = backwardUnit().history.at(0);
    QCOMPARE(e.record[F], QStringLiteral("1094,66 kN"));
    QCOMPARE(e.record[Fce], QStringLiteral("Polytropa"));
    QCOMPARE(e.row[S::F], QStringLiteral("1094,66"));
    QCOMPARE(lines(w), QStringList{QStringLiteral("C45 20°  D0 = 40 mm h0 = 30 mm d = 30 mm H = 40 mm")});
    QVERIFY(child<QPushButton>(&w, "UlozitP")->isEnabled() && child<QPushButton>(&w, "TiskP")->isEnabled() &&
            child<QPushButton>(&w, "GrafBB")->isEnabled());
}

void TestBackwardWindow::epsilonRefused() {
    RecordingUi ui;
    TProtlZpet w(nullptr, &m_outputs);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QApplication::setActiveWindow(&w);
    calculateAt(w, 20);
    ui.clear();
    fill(w, {"40", "10", "20", "12,5"}); // eps 0.75
    child<QLineEdit>(&w, "Edit3")->setFocus();
    ui.answers = {Answer::No};
    w.VypocetClick();
    QCOMPARE(ui.texts(), (QStringList{QuestionEpsilon, RefusalEpsilon}));
    QCOMPARE(ui.messages[0].kind, MsgKind::Warning);
    QCOMPARE(ui.messages[1].kind, MsgKind::Information);
    QVERIFY(backwardUnit().StopFlag);
    QCOMPARE(QApplication::focusWidget(), child<QLineEdit>(&w, "Edit1"));
    QCOMPARE(child<QLabel>(&w, "Label21")->text(), QStringLiteral("0,750"));
    QCOMPARE(child<QLabel>(&w, "Label21")->palette().color(child<QLabel>(&w, "Label21")->backgroundRole()),
             QColor(255, 0, 0));
    QCOMPARE(child<QLabel>(&w, "Label23")->text(), QStringLiteral("0,300")); // the strains were not reached
    QCOMPARE(backwardUnit().history.size(), 1);
}

void TestBackwardWindow::phi1RefusedKeepsRecords() {
    RecordingUi ui;
    TProtlZpet w(nullptr, &m_outputs);
    calculateAt(w, 20);
    const Entry before = backwardUnit().history.at(0);
    Data d = material();
    d.fimax = 0.2;
    w.MaterialChosen(d);
    ui.clear();
    ui.answers = {Answer::No};
    w.VypocetClick();
    QCOMPARE(ui.texts(), (QStringList{QuestionFi1, RefusalFi1}));
    QVERIFY(backwardUnit().StopFlag);
    QCOMPARE(backwardUnit().history.size(), 1);
    QCOMPARE(backwardUnit().history.at(0).record, before.record);
    // Yes goes on.
    ui.answers = {Answer::Yes};
    w.VypocetClick();
    QVERIFY(!backwardUnit().StopFlag);
    QCOMPARE(backwardUnit().history.size(), 2);
}

void TestBackwardWindow::latestAfterSorting() {
    RecordingUi ui;
    TProtlZpet w(nullptr, &m_outputs);
    for (int t : {200, 20, 100})
        calculateAt(w, t);
    QStringList temps;
    for (const SouhrnVysl& r : backwardUnit().summaryRows())
        temps << r[S::Teplota];
    QCOMPARE(temps, (QStringList{"20", "100", "200"}));
    ui.answers = {Answer::Yes, Answer::Yes};
    w.UlozitPClick();
    QCOMPARE(ui.texts(), (QStringList{"Uložit aktuální výpočet ve formátu *.TXT?",
                                      "Uložit aktuální výpočet ve formátu *.DOC? (MS Word)"}));
    QCOMPARE(ui.messages[0].kind, MsgKind::Confirmation);
    QCOMPARE(m_outputs.calls, (QStringList{"txt 100", "doc 100"}));
    // The second question is asked whatever the first answer.
    m_outputs.calls.clear();
    ui.answers = {Answer::No, Answer::Yes};
    w.UlozitPClick();
    QCOMPARE(m_outputs.calls, QStringList{"doc 100"});
    w.TiskPClick();
    w.GrafBBClick();
    QCOMPARE(m_outputs.calls, (QStringList{"doc 100", "print 100", "chart summary of 3"}));
}

void TestBackwardWindow::failureMend() {
    RecordingUi ui;
    TProtlZpet w(nullptr, &m_outputs);
    calculateAt(w, 100);
    fill(w, {"40", "30", "30", "30"}); // H = h0: phi1 = 0
    child<QPushButton>(&w, "Vypocet")->click();
    QCOMPARE(ui.texts(), QStringList{QStringLiteral("Invalid floating point operation.")});
    QCOMPARE(backwardUnit().history.size(), 1);
    QCOMPARE(backwardUnit().summaryRows().size(), 1);
    QCOMPARE(lines(w).size(), 1);
    QCOMPARE(child<QLabel>(&w, "Label23")->text(), QStringLiteral("0,000")); // the values already shown stay
}

void TestBackwardWindow::journalHoldsWhatTheListShows() {
    QTemporaryDir dir;
    journal::Journal run(dir.path());
    journal::installRunJournal(&run);
    const auto kept = [&] {
        const project::ReadProject r = project::readProjectFile(run.path());
        return r.project ? *r.project : project::Project{};
    };
    RecordingUi ui;
    TProtlZpet w(nullptr, &m_outputs);
    w.show();
    w.OtevriClick();
    // Each calculation through the button, the list sorted: on disk as listed.
    for (int t : {200, 20, 100}) {
        w.MaterialChosen(material(t));
        w.selectEquation(0);
        fill(w, Example);
        child<QPushButton>(&w, "Vypocet")->click();
        QCOMPARE(kept(), project::projectOf(fwd::forwardUnit(), backwardUnit()));
    }
    QCOMPARE(kept().backward.size(), 3);
    QCOMPARE(kept().backward[0].row[S::Teplota], QStringLiteral("20"));
    // An entry deleted by a click on its line with "Vymaž" ticked.
    child<QCheckBox>(&w, "Vymaz")->click();
    QListWidget* list = child<QListWidget>(&w, "ListBox1");
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
    QCOMPARE(backwardUnit().history.size(), 2);
    QCOMPARE(kept(), project::projectOf(fwd::forwardUnit(), backwardUnit()));
    QCOMPARE(kept().backward.size(), 2);
    QCOMPARE(ui.messages.size(), 2); // the deletion's question and report; nothing about the journal
    journal::installRunJournal(nullptr);
}

void TestBackwardWindow::deletion() {
    RecordingUi ui;
    TProtlZpet w(nullptr, &m_outputs);
    for (int t : {20, 100, 200})
        calculateAt(w, t);
    ui.clear();
    ui.answers = {Answer::No};
    w.DeleteHistoryEntry(0);
    QCOMPARE(ui.texts(), (QStringList{"Opravdu chcete smazat záznam?", "Záznam byl zachován."}));
    QCOMPARE(backwardUnit().history.size(), 3);
    w.DeleteHistoryEntry(0);
    QStringList temps;
    for (const SouhrnVysl& r : backwardUnit().summaryRows())
        temps << r[S::Teplota];
    QCOMPARE(temps, (QStringList{"100", "200"}));
    QCOMPARE(ui.texts().last(), QStringLiteral("Záznam byl odstraněn."));
    w.DeleteHistoryEntry(1);
    w.DeleteHistoryEntry(0);
    QCOMPARE(lines(w), QStringList{});
    QVERIFY(child<QPushButton>(&w, "UlozitP")->isEnabled() &&
            child<QPushButton>(&w, "GrafBB")->isEnabled()); // stay enabled
    // ... and, with no summary ticked, say that there is nothing, as "Graf"
    // does, instead of doing nothing without a word.
    m_outputs.calls.clear();
    ui.clear();
    child<QPushButton>(&w, "UlozitP")->click();
    child<QPushButton>(&w, "TiskP")->click();
    QCOMPARE(ui.texts(), QStringList(2, out::MsgNoSummaryRows));
    QCOMPARE(m_outputs.calls, QStringList());
    // A summary ticked is still output (of no rows).
    child<QCheckBox>(&w, "TiskS")->click();
    ui.clear();
    child<QPushButton>(&w, "TiskP")->click();
    QVERIFY(ui.messages.isEmpty());
    QCOMPARE(m_outputs.calls, QStringList{QStringLiteral("print summary of 0")});
}

void TestBackwardWindow::summaryOutputsAndStopFlag() {
    RecordingUi ui;
    TProtlZpet w(nullptr, &m_outputs);
    w.show();
    calculateAt(w, 20);
    QVERIFY(!child<QGroupBox>(&w, "Ulozitjako")->isVisible());
    child<QCheckBox>(&w, "UlozitS")->click();
    QVERIFY(child<QGroupBox>(&w, "Ulozitjako")->isVisible());
    child<QRadioButton>(&w, "Ulozitjako1")->setChecked(true);
    ui.clear();
    // The summary document is handed over: the flag is set and "Uložit" asks
    // nothing about the current calculation.
    w.UlozitPClick();
    QCOMPARE(m_outputs.calls, QStringList{"doc summary of 1"});
    QVERIFY(backwardUnit().StopFlag);
    QVERIFY(ui.messages.isEmpty());
    // No word processor: the flag stays clear and the questions follow.
    child<QCheckBox>(&w, "UlozitS")->click(); // hides the choice, clears the flag
    child<QCheckBox>(&w, "UlozitS")->click();
    QVERIFY(!backwardUnit().StopFlag);
    m_outputs.calls.clear();
    m_outputs.result = OutputResult::Unavailable;
    ui.answers = {Answer::No, Answer::Yes};
    w.UlozitPClick();
    QVERIFY(!backwardUnit().StopFlag);
    QCOMPARE(m_outputs.calls, (QStringList{"doc summary of 1", "doc 20"}));
    // A summary text that was cancelled or failed still sets the flag.
    for (OutputResult r : {OutputResult::Cancelled, OutputResult::Failed}) {
        child<QRadioButton>(&w, "Ulozitjako0")->setChecked(true);
        child<QCheckBox>(&w, "TiskS")->click(); // clears the flag
        m_outputs.result = r;
        ui.clear();
        w.UlozitPClick();
        QVERIFY(backwardUnit().StopFlag);
        QVERIFY(ui.messages.isEmpty());
    }
    // The printed summary sets the flag when its preview closes: the report
    // of the latest calculation is skipped.
    m_outputs.result = OutputResult::Done;
    child<QCheckBox>(&w, "TiskS")->click(); // ticks it and clears the flag
    QVERIFY(!backwardUnit().StopFlag);
    m_outputs.calls.clear();
    w.TiskPClick();
    QCOMPARE(m_outputs.calls, QStringList{"print summary of 1"});
    QVERIFY(backwardUnit().StopFlag);
    // With the summary boxes clear and the flag set, neither button does anything.
    child<QCheckBox>(&w, "UlozitS")->setChecked(false);
    child<QCheckBox>(&w, "TiskS")->setChecked(false);
    m_outputs.calls.clear();
    ui.clear();
    w.UlozitPClick();
    w.TiskPClick();
    QVERIFY(m_outputs.calls.isEmpty());
    QVERIFY(ui.messages.isEmpty());
}

void TestBackwardWindow::textProtocolsThroughTheWindow() {
    // The window's own outputs: the summary save sets the flag even when
    // cancelled, and the latest calculation is then skipped.
    QTemporaryDir dir;
    RecordingUi ui;
    TProtlZpet w; // its real outputs
    calculateAt(w, 20);
    calculateAt(w, 100);
    child<QCheckBox>(&w, "UlozitS")->click();
    ui.clear();
    w.UlozitPClick();
    QVERIFY(backwardUnit().StopFlag);
    QCOMPARE(ui.log.filter(QStringLiteral("save:")).size(), 1);
    QVERIFY(ui.messages.isEmpty());
    // Chosen: the summary table of both rows, then (flag cleared, summary
    // unticked) the protocol of the latest calculation.
    const QString summary = dir.filePath(QStringLiteral("souhrn"));
    ui.saveAnswers = {summary};
    child<QCheckBox>(&w, "TiskS")->click(); // clears the flag
    w.UlozitPClick();
    QCOMPARE(out::textFileBytes(out::summaryTable(backwardUnit().summaryRows())), readAll(summary + ".txt"));
    child<QCheckBox>(&w, "UlozitS")->click(); // unticked, flag cleared
    ui.clear();
    ui.answers = {Answer::Yes, Answer::No};
    ui.saveAnswers = {dir.filePath(QStringLiteral("posledni.txt"))};
    w.UlozitPClick();
    QCOMPARE(ui.log.filter(QStringLiteral("save:")),
             QStringList{QStringLiteral("save:%1/Data|souhrn|Text files (*.txt)").arg(QDir::currentPath())});
    const auto latest = w.latestEntry();
    QVERIFY(latest);
    QCOMPARE(readAll(dir.filePath(QStringLiteral("posledni.txt"))),
             out::textFileBytes(
                 out::backwardProtocol(backwardUnit().history.at(*latest).record, out::Flavour::Text)));
    QVERIFY(readAll(dir.filePath(QStringLiteral("posledni.txt")))
                .contains("Teplota : 100 \xB0"
                          "C"));
}

void TestBackwardWindow::printedReportsThroughTheWindow() {
    RecordingUi ui;
    int pages = 0;
    ui.onPreview = [&](const std::function<void(QPagedPaintDevice*)>& paint) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        paint(&writer);
        pages = QString::fromLatin1(buffer.data()).count(QStringLiteral("/Type /Page\n"));
    };
    TProtlZpet w; // its real outputs
    calculateAt(w, 20);
    // The latest calculation's report.
    child<QPushButton>(&w, "TiskP")->click();
    QCOMPARE(ui.log, QStringList{QStringLiteral("preview")});
    QVERIFY(!backwardUnit().StopFlag);
    // The summary's report: the flag is set when its preview closes, so the
    // latest calculation's report is skipped.
    ui.clear();
    child<QCheckBox>(&w, "TiskS")->click();
    child<QPushButton>(&w, "TiskP")->click();
    QCOMPARE(ui.log, QStringList{QStringLiteral("preview")});
    QVERIFY(backwardUnit().StopFlag);
    QCOMPARE(pages, 1);
}

void TestBackwardWindow::summaryWordThroughTheWindow() {
    QStandardPaths::setTestModeEnabled(true);
    RecordingUi ui;
    TProtlZpet w; // its real outputs
    w.show();
    calculateAt(w, 20);
    ui.answers = {Answer::Yes};
    w.DeleteHistoryEntry(0); // no summary rows left
    child<QCheckBox>(&w, "UlozitS")->click();
    child<QRadioButton>(&w, "Ulozitjako1")->setChecked(true);
    // No word processor: the message alone, the flag left alone.
    ui.clear();
    w.UlozitPClick();
    QCOMPARE(ui.texts(), QStringList{out::MsgNoWord});
    QVERIFY(!backwardUnit().StopFlag);
    // With one: the document (of no rows) is handed over and the flag set.
    ui.clear();
    ui.registeredTypes = {out::WordMimeType};
    w.UlozitPClick();
    QVERIFY(ui.messages.isEmpty());
    QCOMPARE(ui.log.filter(QStringLiteral("open:")).size(), 1);
    QVERIFY(backwardUnit().StopFlag);
    // Opening fails: the top-level handler says why, the flag stays clear.
    child<QCheckBox>(&w, "TiskS")->click();
    ui.clear();
    ui.openFailure = QStringLiteral("no handler");
    child<QPushButton>(&w, "UlozitP")->click();
    QCOMPARE(ui.messages.size(), 1);
    QCOMPARE(ui.messages[0].kind, MsgKind::Stop);
    QVERIFY(ui.messages[0].text.endsWith(QStringLiteral("nelze otevřít: no handler.")));
    QVERIFY(!backwardUnit().StopFlag);
}

void TestBackwardWindow::chartThroughTheWindow() {
    QStandardPaths::setTestModeEnabled(true);
    RecordingUi ui;
    TProtlZpet w; // its real outputs
    calculateAt(w, 20);
    calculateAt(w, 100);
    // No spreadsheet application: its message, nothing written or opened.
    ui.clear();
    child<QPushButton>(&w, "GrafBB")->click();
    QCOMPARE(ui.texts(), QStringList{out::MsgNoExcel});
    QCOMPARE(ui.messages[0].kind, MsgKind::Plain);
    QVERIFY(ui.log.filter(QStringLiteral("open:")).isEmpty());
    // With one: the workbook of both rows, named after the material, opened.
    ui.clear();
    ui.registeredTypes = {out::SpreadsheetMimeType};
    child<QPushButton>(&w, "GrafBB")->click();
    QVERIFY(ui.messages.isEmpty());
    const QStringList opened = ui.log.filter(QStringLiteral("open:"));
    QCOMPARE(opened.size(), 1);
    QVERIFY(QFileInfo(opened[0].mid(5)).fileName().startsWith(QStringLiteral("Graf-C45-")));
    QVERIFY(opened[0].endsWith(QStringLiteral(".xlsx")));
    // Every row deleted: said so, nothing read from a missing row.
    ui.answers = {Answer::Yes, Answer::Yes};
    w.DeleteHistoryEntry(1);
    w.DeleteHistoryEntry(0);
    ui.clear();
    child<QPushButton>(&w, "GrafBB")->click();
    QCOMPARE(ui.texts(), QStringList{out::MsgNoSummaryRows});
    QVERIFY(ui.log.filter(QStringLiteral("open:")).isEmpty());
}

void TestBackwardWindow::latestDeletedSkipsOwnSteps() {
    RecordingUi ui;
    TProtlZpet w(nullptr, &m_outputs);
    calculateAt(w, 20);
    calculateAt(w, 100);
    ui.answers = {Answer::Yes};
    w.DeleteHistoryEntry(1);
    child<QCheckBox>(&w, "UlozitS")->setChecked(true);
    child<QCheckBox>(&w, "TiskS")->setChecked(true);
    ui.clear();
    w.UlozitPClick();
    w.TiskPClick();
    QCOMPARE(m_outputs.calls, (QStringList{"txt summary of 1", "print summary of 1"}));
    QVERIFY(ui.messages.isEmpty());
}

void TestBackwardWindow::listClickAndChecks() {
    RecordingUi ui;
    TProtlZpet w(nullptr, &m_outputs);
    w.show();
    calculateAt(w, 20);
    calculateAt(w, 100);
    w.OtevriClick();
    QCOMPARE(w.size(), QSize(631, 446));
    child<QCheckBox>(&w, "Ulozit")->click();
    child<QCheckBox>(&w, "txt")->click();
    child<QCheckBox>(&w, "Tisk")->click();
    QTest::mouseClick(child<QListWidget>(&w, "ListBox1")->viewport(), Qt::LeftButton, {},
                      child<QListWidget>(&w, "ListBox1")
                          ->visualItemRect(child<QListWidget>(&w, "ListBox1")->item(1))
                          .center());
    QCOMPARE(m_outputs.calls, (QStringList{"txt 100", "print 100"}));
    child<QCheckBox>(&w, "Vymaz")->click();
    QVERIFY(!child<QCheckBox>(&w, "Ulozit")->isChecked() && !child<QCheckBox>(&w, "Tisk")->isChecked() &&
            !child<QCheckBox>(&w, "txt")->isVisible());
    child<QCheckBox>(&w, "Tisk")->click();
    QVERIFY(child<QCheckBox>(&w, "Tisk")->isChecked() && !child<QCheckBox>(&w, "Vymaz")->isChecked());
    child<QCheckBox>(&w, "Ulozit")->click();
    w.ZavriClick();
    QCOMPARE(w.size(), QSize(310, 446));
    w.OtevriClick();
    QVERIFY(!child<QCheckBox>(&w, "Ulozit")->isChecked() && !child<QCheckBox>(&w, "Tisk")->isChecked() &&
            !child<QCheckBox>(&w, "Vymaz")->isChecked());
    QVERIFY(!child<QCheckBox>(&w, "txt")->isVisible() && !child<QCheckBox>(&w, "doc")->isVisible());
    QVERIFY(!backwardUnit().StopFlag); // the panel's boxes do not touch the flag
}

void TestBackwardWindow::reopenKeepsRecords() {
    RecordingUi ui;
    {
        TProtlZpet w(nullptr, &m_outputs);
        calculateAt(w, 100);
    }
    TProtlZpet w(nullptr, &m_outputs);
    QCOMPARE(child<QListWidget>(&w, "ListBox1")->count(), 0);
    QVERIFY(!child<QPushButton>(&w, "UlozitP")->isEnabled());
    w.selectEquation(0);
    fill(w, Example);
    w.VypocetClick();
    QCOMPARE(ui.texts().last(), MsgNoMaterial);
    calculateAt(w, 20);
    QCOMPARE(lines(w).size(), 2);
}

void TestBackwardWindow::keysAndEnter() {
    RecordingUi ui;
    TProtlZpet w(nullptr, &m_outputs);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QApplication::setActiveWindow(&w);
    child<QLineEdit>(&w, "Edit1")->setFocus();
    QTest::keyClicks(child<QLineEdit>(&w, "Edit1"), QStringLiteral("1,2,3"));
    QCOMPARE(child<QLineEdit>(&w, "Edit1")->text(), QStringLiteral("1,23"));
    QCOMPARE(ui.beeps, 1);
    QTest::keyClick(child<QLineEdit>(&w, "Edit1"), Qt::Key_Minus);
    QCOMPARE(ui.beeps, 2);
    child<QLineEdit>(&w, "Edit6")->setFocus();
    QTest::keyClick(child<QLineEdit>(&w, "Edit6"), Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), child<QPushButton>(&w, "Vypocet"));
    QVERIFY(ui.messages.isEmpty()); // Enter does not start the calculation
    QVERIFY(!child<QLineEdit>(&w, "Edit7")->isEnabled());
}

void TestBackwardWindow::materialBesideUlozitJako() {
    // "Uložit jako" narrows the material row: a name of every day length
    // then takes one line of its own under the caption instead of wrapping
    // beside it, and nothing overlaps.
    RecordingUi ui;
    TProtlZpet w;
    w.show();
    child<QCheckBox>(&w, "UlozitS")->click();
    QVERIFY(child<QGroupBox>(&w, "Ulozitjako")->isVisible());
    for (const QString& name :
         {QStringLiteral("C45 (12 050)"), QStringLiteral("42CrMo4 (15 142)"), QStringLiteral("C45")}) {
        w.MaterialChosen(test::workedMaterial(20, name));
        const auto* label = child<QLabel>(&w, "Label30");
        QVERIFY2(label->height() < 2 * label->fontMetrics().lineSpacing(), qPrintable(name));
        QVERIFY2(label->width() >= label->fontMetrics().horizontalAdvance(name), qPrintable(name));
        for (const char* other : {"Ulozitjako", "UlozitP", "Panel3", "Label28", "Label31", "Label29"})
            QVERIFY2(!label->geometry().intersects(child<QWidget>(&w, other)->geometry()),
                     qPrintable(name + QLatin1Char(' ') + QLatin1String(other)));
        QVERIFY(
            !child<QLabel>(&w, "Label31")->geometry().intersects(child<QWidget>(&w, "UlozitP")->geometry()));
    }
    // Without the group the name stands beside the caption again.
    child<QCheckBox>(&w, "UlozitS")->click();
    w.MaterialChosen(test::workedMaterial(20, QStringLiteral("C45 (12 050)")));
    QCOMPARE(child<QLabel>(&w, "Label30")->y(), child<QLabel>(&w, "Label28")->y());
}

QTEST_MAIN(TestBackwardWindow)
#include "test_backward_window.moc"
