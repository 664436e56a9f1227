#include "core/Errors.h"
#include "forward/ForwardUnit.h"
#include "forward/U_ProtlDopr.h"
#include "support/Materials.h"
#include "support/RecordingUi.h"
#include "ui_U_ProtlDopr.h"

#include <QtTest>

using namespace prolis;
using namespace prolis::fwd;
using prolis::test::RecordingUi;

namespace {
struct RecordingOutputs final : ForwardOutputs {
    QStringList calls;
    void WriteTextProtocol(int i) override { calls << QStringLiteral("txt %1").arg(i); }
    void WriteWordDocument(int i) override { calls << QStringLiteral("doc %1").arg(i); }
    void PrintReport(int i) override { calls << QStringLiteral("print %1").arg(i); }
};

Data material(int temperature = 20) {
    Data d = test::workedMaterial(temperature);
    d.pn3 = {400, 300, -100, 20};
    return d;
}

void fill(TProtlDopr& w, const QStringList& texts) {
    const QList<QLineEdit*> e{w.form()->Edit1, w.form()->Edit2,  w.form()->Edit3, w.form()->Edit4,
                              w.form()->Edit5, w.form()->Edit6,  w.form()->Edit7, w.form()->Edit8,
                              w.form()->Edit9, w.form()->Edit10, w.form()->Edit11};
    for (int i = 0; i < texts.size(); ++i)
        e[i]->setText(texts[i]);
}

const QStringList Valid{"30", "100", "40", "40", "20", "50", "5", "60", "0,1", "0,1", "0,1"};

// A window with a material, an equation, a die type and valid fields.
void prepare(TProtlDopr& w, int temperature = 20, int die = 0) {
    w.MaterialChosen(material(temperature));
    w.selectEquation(0);
    w.selectDieType(die);
    fill(w, Valid);
    if (die == 1) fill(w, {"30", "100", "40", "40", "20", "50", "5", "", "0,1", "0,5", "0,1"});
}

QStringList lines(TProtlDopr& w) {
    QStringList l;
    for (int i = 0; i < w.form()->ListBox1->count(); ++i)
        l << w.form()->ListBox1->item(i)->text();
    return l;
}
} // namespace

class TestForwardWindow : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void opensEmpty();
    void checkOrder();
    void angleMissingMovesFocus();
    void dieTypeBeforeEquation();
    void disabledEquationStaysSelected();
    void validityQuestionsYesYesNo();
    void phi3QuestionNamesEps();
    void redFromUnroundedValue();
    void calculationAppendsAndLists();
    void latestEntryAfterReordering();
    void separatorsFollowLastRebuild();
    void reopenedWindowListsAfterFirstCalculation();
    void failedCalculationLeavesHistory();
    void deletionAndMend();
    void listClickRunsTickedActions();
    void vymazClearsOthers();
    void keysAndEnter();
    void ukoncitAsks();

private:
    RecordingOutputs m_outputs;
};

void TestForwardWindow::init() {
    forwardUnit() = ForwardUnit{};
    m_outputs.calls.clear();
    setForwardOutputs(&m_outputs);
}

void TestForwardWindow::cleanup() {
    setForwardOutputs(nullptr);
}

void TestForwardWindow::opensEmpty() {
    forwardUnit().material = material();
    TProtlDopr w;
    QCOMPARE(w.windowTitle(), QStringLiteral("Protlačování Dopředné"));
    QCOMPARE(w.size(), QSize(310, 446));
    QVERIFY(w.form()->Label30->text().isEmpty());
    QCOMPARE(int(w.equation()), -1);
    QCOMPARE(int(w.dieType()), -1);
    QVERIFY(!w.form()->UlozitP->isEnabled() && !w.form()->TiskP->isEnabled());
    QVERIFY(w.form()->Ulozitjako0->isChecked());
    QCOMPARE(w.form()->TiskP->text(), QStringLiteral("TiskP"));
    QCOMPARE(w.form()->Otevri->text(), QStringLiteral("Otevřítf"));
}

void TestForwardWindow::checkOrder() {
    RecordingUi ui;
    TProtlDopr w;
    w.show();
    w.VypocetClick();
    w.MaterialChosen(material());
    fill(w, {"30", "100", "40", "40", "20", "50", "0"});
    w.VypocetClick();
    QVERIFY(w.form()->Edit1->hasFocus() || !w.isActiveWindow());
    w.form()->Edit7->setText(QStringLiteral("0,0"));
    w.VypocetClick();
    w.selectEquation(0);
    w.VypocetClick();
    w.selectDieType(1);
    w.VypocetClick(); // f2 holds 0,5, f1 and f3 missing
    QCOMPARE(ui.texts(),
             (QStringList{MsgNoMaterial, MsgNoDimensions, MsgNoEquation, MsgNoDieType, MsgNoFriction}));
    for (const auto& m : ui.messages)
        QCOMPARE(m.kind, MsgKind::Warning);
    QVERIFY(forwardUnit().history.isEmpty());
}

void TestForwardWindow::angleMissingMovesFocus() {
    RecordingUi ui;
    TProtlDopr w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QApplication::setActiveWindow(&w);
    prepare(w);
    w.form()->Edit8->setText(QStringLiteral("0"));
    w.form()->Edit2->setFocus();
    w.VypocetClick();
    QCOMPARE(ui.texts(), QStringList{MsgNoAngle});
    QCOMPARE(QApplication::focusWidget(), w.form()->Edit8);
    ui.clear();
    w.selectDieType(1); // the angle is emptied and ignored
    QVERIFY(w.form()->Edit8->text().isEmpty());
    w.VypocetClick();
    QVERIFY(!ui.texts().contains(MsgNoAngle));
    QCOMPARE(forwardUnit().history.size(), 1);
}

void TestForwardWindow::dieTypeBeforeEquation() {
    RecordingUi ui;
    TProtlDopr w;
    w.selectDieType(1);
    QCOMPARE(ui.texts(), QStringList{MsgNoEquation});
    QCOMPARE(int(w.dieType()), 1);
    QVERIFY(w.form()->Edit8->isEnabled());
    w.selectEquation(2);
    QVERIFY(!w.form()->Edit8->isEnabled());
    QCOMPARE(w.form()->Edit10->text(), QStringLiteral("0,5"));
    QVERIFY(!w.form()->Edit10->isEnabled());
    QCOMPARE(w.form()->Label47->text(), QStringLiteral("2max"));
    w.selectDieType(0); // back to the cone: 0,5 stays, now editable
    QVERIFY(w.form()->Edit10->isEnabled());
    QCOMPARE(w.form()->Edit10->text(), QStringLiteral("0,5"));
    QVERIFY(w.form()->Edit8->isEnabled());
    QCOMPARE(w.form()->Label47->text(), QStringLiteral("2"));
}

void TestForwardWindow::disabledEquationStaysSelected() {
    RecordingUi ui;
    TProtlDopr w;
    w.selectEquation(0);
    Data d = material();
    d.pol_a = 0;
    d.pn5[0] = 0;
    d.rlfd[0] = 3;
    w.MaterialChosen(d);
    QVERIFY(!w.form()->RcePretOdporu0->isEnabled());
    QVERIFY(w.form()->RcePretOdporu0->isChecked());
    QCOMPARE(int(w.equation()), 0);
    QVERIFY(w.form()->RcePretOdporu1->isEnabled());
    QVERIFY(!w.form()->RcePretOdporu2->isEnabled());
    QVERIFY(w.form()->RcePretOdporu3->isEnabled());
    QCOMPARE(w.form()->Label30->text(), QStringLiteral("C45"));
    QCOMPARE(w.form()->Label31->text(), QStringLiteral("20°C"));
    QCOMPARE(forwardUnit().material, d);
}

void TestForwardWindow::validityQuestionsYesYesNo() {
    RecordingUi ui;
    TProtlDopr w;
    w.show();
    prepare(w);
    fill(w, {"40", "40", "40", "30", "20"});
    ui.answers = {Answer::Yes, Answer::Yes, Answer::No};
    w.VypocetClick();
    QCOMPARE(ui.texts(), (QStringList{"Jste mimo povolený interval pro h0/D0\rChcete pokracovat ve výpočtu ?",
                                      "Jste mimo povolený interval pro s0/s3\rChcete pokracovat ve výpočtu ?",
                                      "Jste mimo povolený interval pro eps\rChcete pokracovat ve výpočtu ?",
                                      "Zadejte nové hodnoty D0 D3"}));
    QCOMPARE(ui.messages[0].kind, MsgKind::Warning);
    QCOMPARE(ui.messages[0].buttons, Buttons::YesNo);
    QCOMPARE(ui.messages[3].kind, MsgKind::Information);
    QVERIFY(forwardUnit().history.isEmpty());
    QCOMPARE(w.form()->Label20->text(), QStringLiteral("1,000"));
    QCOMPARE(w.form()->Label20->palette().color(w.form()->Label20->backgroundRole()), QColor(255, 0, 0));
    QVERIFY(w.form()->Label24->palette().color(w.form()->Label24->backgroundRole()) != QColor(255, 0, 0));
}

void TestForwardWindow::phi3QuestionNamesEps() {
    RecordingUi ui;
    TProtlDopr w;
    prepare(w);
    w.form()->Edit4->setText(QStringLiteral("60"));
    ui.answers = {Answer::No};
    w.VypocetClick();
    QCOMPARE(ui.texts(), (QStringList{"Jste mimo povolený interval pro eps\rChcete pokracovat ve výpočtu ?",
                                      "Zadejte nové hodnoty D0 D3"}));
    QCOMPARE(w.form()->Label24->text(), QStringLiteral("2,197"));
}

void TestForwardWindow::redFromUnroundedValue() {
    RecordingUi ui;
    TProtlDopr w;
    prepare(w);
    w.form()->Edit1->setText(QStringLiteral("25"));
    w.form()->Edit2->setText(QStringLiteral("74,99"));
    ui.answers = {Answer::Yes};
    w.VypocetClick();
    QCOMPARE(w.form()->Label20->text(), QStringLiteral("3,000"));
    QCOMPARE(w.form()->Label20->palette().color(w.form()->Label20->backgroundRole()), QColor(255, 0, 0));
    QCOMPARE(forwardUnit().history.size(), 1);
    // The next press resets the colours first.
    w.form()->Edit2->setText(QStringLiteral("75"));
    w.VypocetClick();
    QVERIFY(w.form()->Label20->palette().color(w.form()->Label20->backgroundRole()) != QColor(255, 0, 0));
}

void TestForwardWindow::calculationAppendsAndLists() {
    RecordingUi ui;
    TProtlDopr w;
    prepare(w);
    w.VypocetClick();
    QVERIFY(ui.messages.isEmpty());
    QCOMPARE(forwardUnit().history.size(), 1);
    const Souhrn& r = forwardUnit().history.at(0);
    QCOMPARE(r[Fce], QStringLiteral("polytropa"));
    QCOMPARE(r[TypVypoctu], QStringLiteral("s kuzelem"));
    QCOMPARE(r[Alfa2], QStringLiteral("60 °"));
    QVERIFY(r[F].endsWith(QStringLiteral(" kN")));
    QCOMPARE(lines(w),
             QStringList{QStringLiteral("C45 20°  D0 = 30 mm h0 = 100 mm D1 = 40 mm D2 = 40 mm D3 = 20 mm "
                                        "L1 = 50 mm L3 = 5 mm")});
    QVERIFY(w.form()->UlozitP->isEnabled() && w.form()->TiskP->isEnabled());
}

void TestForwardWindow::latestEntryAfterReordering() {
    RecordingUi ui;
    TProtlDopr w;
    for (int t : {100, 200, 20}) {
        prepare(w, t);
        w.VypocetClick();
    }
    QStringList temps;
    for (int i = 0; i < 3; ++i)
        temps << forwardUnit().history.at(i)[Teplota];
    QCOMPARE(temps, (QStringList{"20", "100", "200"}));
    QCOMPARE(w.latestEntry(), std::optional<int>(0));
    w.form()->UlozitP->click();
    w.form()->Ulozitjako1->setChecked(true);
    w.form()->UlozitP->click();
    w.form()->TiskP->click();
    QCOMPARE(m_outputs.calls, (QStringList{"txt 0", "doc 0", "print 0"}));
}

void TestForwardWindow::separatorsFollowLastRebuild() {
    RecordingUi ui;
    TProtlDopr w;
    prepare(w, 20, 0);
    w.VypocetClick();
    prepare(w, 100, 1);
    w.VypocetClick();
    const QStringList one = lines(w);
    QVERIFY(one[0].startsWith(QStringLiteral("C45 20° D0 = ")));
    QVERIFY(one[1].startsWith(QStringLiteral("C45 100° D0 = ")));
    QCOMPARE(forwardUnit().history.at(1)[Alfa2], QStringLiteral(" °"));
    QCOMPARE(forwardUnit().history.at(1)[f2], QStringLiteral("0,5"));
    ui.answers = {Answer::Yes};
    w.DeleteHistoryEntry(0);
    QVERIFY(lines(w)[0].startsWith(QStringLiteral("C45 100°  D0 = ")));
}

void TestForwardWindow::reopenedWindowListsAfterFirstCalculation() {
    RecordingUi ui;
    {
        TProtlDopr w;
        prepare(w, 100);
        w.VypocetClick();
    }
    TProtlDopr w;
    QCOMPARE(w.form()->ListBox1->count(), 0);
    QVERIFY(w.form()->Label30->text().isEmpty());
    QCOMPARE(forwardUnit().history.size(), 1);
    w.VypocetClick();
    QCOMPARE(ui.texts().last(), MsgNoMaterial);
    prepare(w, 20);
    w.VypocetClick();
    QCOMPARE(lines(w).size(), 2);
}

void TestForwardWindow::failedCalculationLeavesHistory() {
    RecordingUi ui;
    TProtlDopr w;
    prepare(w, 100);
    w.VypocetClick();
    const QStringList before = lines(w);
    prepare(w, 20);
    w.form()->Edit3->setText(QStringLiteral("0,0")); // D1: step 13 divides by zero
    w.form()->Vypocet->click();
    QCOMPARE(ui.texts(), QStringList{QStringLiteral("Floating point division by zero.")});
    QCOMPARE(ui.messages[0].kind, MsgKind::Stop);
    QCOMPARE(forwardUnit().history.size(), 1);
    QCOMPARE(lines(w), before);
    QCOMPARE(w.latestEntry(), std::optional<int>(0)); // still the 100 °C calculation
}

void TestForwardWindow::deletionAndMend() {
    RecordingUi ui;
    TProtlDopr w;
    prepare(w, 20);
    w.VypocetClick();
    ui.answers = {Answer::No};
    w.DeleteHistoryEntry(0);
    QCOMPARE(ui.texts(), (QStringList{"Opravdu chcete smazat záznam?", "Záznam byl zachován."}));
    QCOMPARE(forwardUnit().history.size(), 1);
    ui.clear();
    w.DeleteHistoryEntry(0);
    QCOMPARE(ui.texts(), (QStringList{"Opravdu chcete smazat záznam?", "Záznam byl odstraněn."}));
    QCOMPARE(ui.messages[0].kind, MsgKind::Warning);
    QCOMPARE(ui.messages[1].kind, MsgKind::Information);
    QVERIFY(forwardUnit().history.isEmpty());
    QCOMPARE(w.form()->ListBox1->count(), 0);
    // The latest calculation is gone: its buttons have nothing to act on.
    QVERIFY(!w.form()->UlozitP->isEnabled() && !w.form()->TiskP->isEnabled());
    prepare(w, 20);
    w.VypocetClick();
    QVERIFY(w.form()->UlozitP->isEnabled());
}

void TestForwardWindow::listClickRunsTickedActions() {
    RecordingUi ui;
    TProtlDopr w;
    w.show();
    for (int t : {20, 100}) {
        prepare(w, t);
        w.VypocetClick();
    }
    w.OtevriClick();
    QCOMPARE(w.size(), QSize(631, 446));
    QVERIFY(w.form()->ListBox1->isVisible() && w.form()->Zavri->isVisible() &&
            !w.form()->Otevri->isVisible());
    QVERIFY(!w.form()->txt->isVisible());
    w.form()->ListBox1->setCurrentRow(0);
    QTest::mouseClick(w.form()->ListBox1->viewport(), Qt::LeftButton, {},
                      w.form()->ListBox1->visualItemRect(w.form()->ListBox1->item(1)).center());
    QVERIFY(m_outputs.calls.isEmpty()); // nothing ticked
    w.form()->Ulozit->click();
    QVERIFY(w.form()->txt->isVisible());
    w.form()->txt->click();
    w.form()->Tisk->click();
    QTest::mouseClick(w.form()->ListBox1->viewport(), Qt::LeftButton, {},
                      w.form()->ListBox1->visualItemRect(w.form()->ListBox1->item(1)).center());
    QCOMPARE(m_outputs.calls, (QStringList{"txt 1", "print 1"}));
    // The arrow keys act on every line passed.
    m_outputs.calls.clear();
    w.form()->ListBox1->setFocus();
    QTest::keyClick(w.form()->ListBox1, Qt::Key_Up);
    QCOMPARE(m_outputs.calls, (QStringList{"txt 0", "print 0"}));
    w.ZavriClick();
    QCOMPARE(w.size(), QSize(310, 446));
    QVERIFY(!w.form()->ListBox1->isVisible() && w.form()->Otevri->isVisible());
    QVERIFY(w.form()->Ulozit->isChecked()); // the ticks stay until the next opening
    w.OtevriClick();
    QVERIFY(!w.form()->Ulozit->isChecked() && !w.form()->Tisk->isChecked() && !w.form()->txt->isVisible());
}

void TestForwardWindow::vymazClearsOthers() {
    RecordingUi ui;
    TProtlDopr w;
    w.show();
    w.OtevriClick();
    w.form()->Ulozit->click();
    w.form()->txt->click();
    w.form()->Vymaz->click();
    QVERIFY(w.form()->Vymaz->isChecked());
    QVERIFY(!w.form()->Ulozit->isChecked() && !w.form()->txt->isChecked() && !w.form()->Tisk->isChecked());
    QVERIFY(!w.form()->txt->isVisible() && !w.form()->doc->isVisible());
}

void TestForwardWindow::keysAndEnter() {
    RecordingUi ui;
    TProtlDopr w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QApplication::setActiveWindow(&w);
    w.form()->Edit9->setFocus();
    QTest::keyClicks(w.form()->Edit9, QStringLiteral("2,5,"));
    QCOMPARE(w.form()->Edit9->text(), QStringLiteral("2,5"));
    QTest::keyClicks(w.form()->Edit9, QStringLiteral(".-"));
    QCOMPARE(w.form()->Edit9->text(), QStringLiteral("2,5"));
    QCOMPARE(ui.beeps, 3);
    QTest::keyClick(w.form()->Edit9, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), w.form()->Edit10);
    w.selectEquation(0);
    w.selectDieType(1);
    w.form()->Edit7->setFocus();
    QTest::keyClick(w.form()->Edit7, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), w.form()->Edit9);
    QTest::keyClick(w.form()->Edit9, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), w.form()->Edit11);
    QTest::keyClick(w.form()->Edit11, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), w.form()->Vypocet);
    QVERIFY(forwardUnit().history.isEmpty()); // Enter only moves the focus
}

void TestForwardWindow::ukoncitAsks() {
    RecordingUi ui;
    TProtlDopr w;
    w.show();
    ui.answers = {Answer::No, Answer::Yes};
    w.form()->Ukoncit->click();
    QVERIFY(w.isVisible());
    w.form()->Ukoncit->click();
    QVERIFY(!w.isVisible());
    QCOMPARE(ui.texts(),
             QStringList(2, QStringLiteral("Skutečně chcete ukončit výpočty Dopředného Protlačování ?")));
}

QTEST_MAIN(TestForwardWindow)
#include "test_forward_window.moc"
