#include "backward/BackwardUnit.h"
#include "backward/U_ProtlZpet.h"
#include "support/Materials.h"
#include "support/RecordingUi.h"
#include "ui_U_ProtlZpet.h"

#include <QtTest>

using namespace prolis;
using namespace prolis::bwd;
using prolis::test::RecordingUi;

namespace {
struct RecordingOutputs final : BackwardOutputs {
    QStringList calls;
    void WriteTextProtocol(int i) override { calls << QStringLiteral("txt %1").arg(i); }
    void WriteWordDocument(int i) override { calls << QStringLiteral("doc %1").arg(i); }
    void PrintReport(int i) override { calls << QStringLiteral("print %1").arg(i); }
    void WriteSummaryText() override { calls << QStringLiteral("summary txt"); }
    void WriteSummaryWord() override { calls << QStringLiteral("summary doc"); }
    void PrintSummaryReport() override { calls << QStringLiteral("summary print"); }
    void DrawChart() override { calls << QStringLiteral("chart"); }
};

Data material(int temperature = 20) {
    return test::workedMaterial(temperature);
}

void fill(TProtlZpet& w, const QStringList& t) {
    const QList<QLineEdit*> e{w.form()->Edit1, w.form()->Edit2, w.form()->Edit3,
                              w.form()->Edit4, w.form()->Edit5, w.form()->Edit6};
    for (int i = 0; i < t.size(); ++i)
        e[i]->setText(t[i]);
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
    for (int i = 0; i < w.form()->ListBox1->count(); ++i)
        l << w.form()->ListBox1->item(i)->text();
    return l;
}
} // namespace

class TestBackwardWindow : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void sequenceWarnings();
    void workedExampleInWindow();
    void epsilonRefused();
    void phi1RefusedKeepsRecords();
    void latestAfterSorting();
    void failureMend();
    void deletion();
    void summaryOutputsAndStopFlag();
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
    setBackwardOutputs(&m_outputs);
}

void TestBackwardWindow::cleanup() {
    setBackwardOutputs(nullptr);
}

void TestBackwardWindow::sequenceWarnings() {
    RecordingUi ui;
    TProtlZpet w;
    QCOMPARE(w.windowTitle(), QStringLiteral("Protlačování Zpětné"));
    w.VypocetClick();
    w.MaterialChosen(material());
    fill(w, {"40", "0", "30", "40"});
    w.VypocetClick();
    w.form()->Edit2->setText(QStringLiteral("30"));
    w.VypocetClick();
    w.selectEquation(0);
    w.VypocetClick();
    QCOMPARE(ui.texts(), (QStringList{MsgNoMaterial, MsgNoDimensions, MsgNoEquation, MsgNoFriction}));
    for (const auto& m : ui.messages)
        QCOMPARE(m.kind, MsgKind::Warning);
    QVERIFY(w.form()->Edit7->text().isEmpty());
    QVERIFY(backwardUnit().history.isEmpty());
}

void TestBackwardWindow::workedExampleInWindow() {
    RecordingUi ui;
    TProtlZpet w;
    calculateAt(w, 20);
    QVERIFY(ui.messages.isEmpty());
    QCOMPARE(w.form()->Edit7->text(), QStringLiteral("0,075"));
    QCOMPARE(w.form()->Label20->text(), QStringLiteral("22,222"));
    QCOMPARE(w.form()->Label21->text(), QStringLiteral("0,259"));
    QCOMPARE(w.form()->Label23->text(), QStringLiteral("0,300"));
    QCOMPARE(w.form()->Label24->text(), QStringLiteral("0,525"));
    QCOMPARE(w.form()->Label27->text(), QStringLiteral("0,225"));
    QCOMPARE(backwardUnit().history.size(), 1);
    const Entry& e = backwardUnit().history.at(0);
    QCOMPARE(e.record[F], QStringLiteral("1094,66 kN"));
    QCOMPARE(e.record[Fce], QStringLiteral("Polytropa"));
    QCOMPARE(e.row[SF], QStringLiteral("1094,66"));
    QCOMPARE(lines(w), QStringList{QStringLiteral("C45 20°  D0 = 40 mm h0 = 30 mm d = 30 mm H = 40 mm")});
    QVERIFY(w.form()->UlozitP->isEnabled() && w.form()->TiskP->isEnabled() && w.form()->GrafBB->isEnabled());
}

void TestBackwardWindow::epsilonRefused() {
    RecordingUi ui;
    TProtlZpet w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QApplication::setActiveWindow(&w);
    calculateAt(w, 20);
    ui.clear();
    fill(w, {"40", "10", "20", "12,5"}); // eps 0.75
    w.form()->Edit3->setFocus();
    ui.answers = {Answer::No};
    w.VypocetClick();
    QCOMPARE(ui.texts(), (QStringList{QuestionEpsilon, RefusalEpsilon}));
    QCOMPARE(ui.messages[0].kind, MsgKind::Warning);
    QCOMPARE(ui.messages[1].kind, MsgKind::Information);
    QVERIFY(backwardUnit().StopFlag);
    QCOMPARE(QApplication::focusWidget(), w.form()->Edit1);
    QCOMPARE(w.form()->Label21->text(), QStringLiteral("0,750"));
    QCOMPARE(w.form()->Label21->palette().color(w.form()->Label21->backgroundRole()), QColor(255, 0, 0));
    QCOMPARE(w.form()->Label23->text(), QStringLiteral("0,300")); // the strains were not reached
    QCOMPARE(backwardUnit().history.size(), 1);
}

void TestBackwardWindow::phi1RefusedKeepsRecords() {
    RecordingUi ui;
    TProtlZpet w;
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
    TProtlZpet w;
    for (int t : {200, 20, 100})
        calculateAt(w, t);
    QStringList temps;
    for (const SouhrnVysl& r : backwardUnit().summaryRows())
        temps << r[STeplota];
    QCOMPARE(temps, (QStringList{"20", "100", "200"}));
    ui.answers = {Answer::Yes, Answer::Yes};
    w.UlozitPClick();
    QCOMPARE(ui.texts(), (QStringList{"Uložit aktuální výpočet ve formátu *.TXT?",
                                      "Uložit aktuální výpočet ve formátu *.DOC? (MS Word)"}));
    QCOMPARE(ui.messages[0].kind, MsgKind::Confirmation);
    QCOMPARE(m_outputs.calls, (QStringList{"txt 1", "doc 1"}));
    // The second question is asked whatever the first answer.
    m_outputs.calls.clear();
    ui.answers = {Answer::No, Answer::Yes};
    w.UlozitPClick();
    QCOMPARE(m_outputs.calls, QStringList{"doc 1"});
    w.TiskPClick();
    w.GrafBBClick();
    QCOMPARE(m_outputs.calls, (QStringList{"doc 1", "print 1", "chart"}));
}

void TestBackwardWindow::failureMend() {
    RecordingUi ui;
    TProtlZpet w;
    calculateAt(w, 100);
    fill(w, {"40", "30", "30", "30"}); // H = h0: phi1 = 0
    w.form()->Vypocet->click();
    QCOMPARE(ui.texts(), QStringList{QStringLiteral("Invalid floating point operation.")});
    QCOMPARE(backwardUnit().history.size(), 1);
    QCOMPARE(backwardUnit().summaryRows().size(), 1);
    QCOMPARE(lines(w).size(), 1);
    QCOMPARE(w.form()->Label23->text(), QStringLiteral("0,000")); // the values already shown stay
}

void TestBackwardWindow::deletion() {
    RecordingUi ui;
    TProtlZpet w;
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
        temps << r[STeplota];
    QCOMPARE(temps, (QStringList{"100", "200"}));
    QCOMPARE(ui.texts().last(), QStringLiteral("Záznam byl odstraněn."));
    w.DeleteHistoryEntry(1);
    w.DeleteHistoryEntry(0);
    QCOMPARE(lines(w), QStringList{});
    QVERIFY(w.form()->UlozitP->isEnabled() && w.form()->GrafBB->isEnabled()); // stay enabled
}

void TestBackwardWindow::summaryOutputsAndStopFlag() {
    RecordingUi ui;
    TProtlZpet w;
    w.show();
    calculateAt(w, 20);
    QVERIFY(!w.form()->Ulozitjako->isVisible());
    w.form()->UlozitS->click();
    QVERIFY(w.form()->Ulozitjako->isVisible());
    w.form()->Ulozitjako1->setChecked(true);
    backwardUnit().StopFlag = true; // as after a summary output
    ui.clear();
    w.UlozitPClick();
    QCOMPARE(m_outputs.calls, QStringList{"summary doc"});
    QVERIFY(ui.messages.isEmpty()); // no question about the current calculation
    w.form()->TiskS->click();       // clears the flag
    QVERIFY(!backwardUnit().StopFlag);
    m_outputs.calls.clear();
    w.TiskPClick();
    QCOMPARE(m_outputs.calls, (QStringList{"summary print", "print 0"}));
    w.form()->UlozitS->click(); // unticked: hides the choice, clears the flag
    QVERIFY(!w.form()->Ulozitjako->isVisible());
    backwardUnit().StopFlag = true;
    m_outputs.calls.clear();
    w.UlozitPClick();
    w.form()->TiskS->setChecked(false);
    w.TiskPClick();
    QVERIFY(m_outputs.calls.isEmpty());
    QVERIFY(ui.messages.isEmpty());
}

void TestBackwardWindow::latestDeletedSkipsOwnSteps() {
    RecordingUi ui;
    TProtlZpet w;
    calculateAt(w, 20);
    calculateAt(w, 100);
    ui.answers = {Answer::Yes};
    w.DeleteHistoryEntry(1);
    w.form()->UlozitS->setChecked(true);
    w.form()->TiskS->setChecked(true);
    ui.clear();
    w.UlozitPClick();
    w.TiskPClick();
    QCOMPARE(m_outputs.calls, (QStringList{"summary txt", "summary print"}));
    QVERIFY(ui.messages.isEmpty());
}

void TestBackwardWindow::listClickAndChecks() {
    RecordingUi ui;
    TProtlZpet w;
    w.show();
    calculateAt(w, 20);
    calculateAt(w, 100);
    w.OtevriClick();
    QCOMPARE(w.size(), QSize(631, 446));
    w.form()->Ulozit->click();
    w.form()->txt->click();
    w.form()->Tisk->click();
    QTest::mouseClick(w.form()->ListBox1->viewport(), Qt::LeftButton, {},
                      w.form()->ListBox1->visualItemRect(w.form()->ListBox1->item(1)).center());
    QCOMPARE(m_outputs.calls, (QStringList{"txt 1", "print 1"}));
    w.form()->Vymaz->click();
    QVERIFY(!w.form()->Ulozit->isChecked() && !w.form()->Tisk->isChecked() && !w.form()->txt->isVisible());
    w.form()->Tisk->click();
    QVERIFY(w.form()->Tisk->isChecked() && !w.form()->Vymaz->isChecked());
    w.form()->Ulozit->click();
    w.ZavriClick();
    QCOMPARE(w.size(), QSize(310, 446));
    w.OtevriClick();
    QVERIFY(!w.form()->Ulozit->isChecked() && !w.form()->Tisk->isChecked() && !w.form()->Vymaz->isChecked());
    QVERIFY(!w.form()->txt->isVisible() && !w.form()->doc->isVisible());
    QVERIFY(!backwardUnit().StopFlag); // the panel's boxes do not touch the flag
}

void TestBackwardWindow::reopenKeepsRecords() {
    RecordingUi ui;
    {
        TProtlZpet w;
        calculateAt(w, 100);
    }
    TProtlZpet w;
    QCOMPARE(w.form()->ListBox1->count(), 0);
    QVERIFY(!w.form()->UlozitP->isEnabled());
    w.selectEquation(0);
    fill(w, Example);
    w.VypocetClick();
    QCOMPARE(ui.texts().last(), MsgNoMaterial);
    calculateAt(w, 20);
    QCOMPARE(lines(w).size(), 2);
}

void TestBackwardWindow::keysAndEnter() {
    RecordingUi ui;
    TProtlZpet w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QApplication::setActiveWindow(&w);
    w.form()->Edit1->setFocus();
    QTest::keyClicks(w.form()->Edit1, QStringLiteral("1,2,3"));
    QCOMPARE(w.form()->Edit1->text(), QStringLiteral("1,23"));
    QCOMPARE(ui.beeps, 1);
    QTest::keyClick(w.form()->Edit1, Qt::Key_Minus);
    QCOMPARE(ui.beeps, 2);
    w.form()->Edit6->setFocus();
    QTest::keyClick(w.form()->Edit6, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), w.form()->Vypocet);
    QVERIFY(ui.messages.isEmpty()); // Enter does not start the calculation
    QVERIFY(!w.form()->Edit7->isEnabled());
}

QTEST_MAIN(TestBackwardWindow)
#include "test_backward_window.moc"
