#include "core/Errors.h"
#include "domain/ForwardUnit.h"
#include "gui/U_ProtlDopr.h"
#include "output/Outputs.h"
#include "support/Materials.h"
#include "support/RecordingUi.h"

#include "support/Controls.h"

#include <QTextLayout>
#include <QtTest>
#include <QtWidgets>

using namespace prolis;
using prolis::test::child;
using namespace prolis::fwd;
using enum prolis::fwd::Field;
using prolis::test::RecordingUi;

namespace {
// Records each output with the temperature of its record.
struct RecordingOutputs final : ForwardOutputs {
    QStringList calls;
    OutputResult WriteTextProtocol(const Souhrn& r) override { return log("txt", r); }
    OutputResult WriteWordDocument(const Souhrn& r) override { return log("doc", r); }
    OutputResult PrintReport(const Souhrn& r) override { return log("print", r); }
    OutputResult log(const char* what, const Souhrn& r) {
        calls << QLatin1String(what) + QLatin1Char(' ') + r[Teplota];
        return OutputResult::Done;
    }
};

Data material(int temperature = 20) {
    Data d = test::workedMaterial(temperature);
    d.pn3 = {400, 300, -100, 20};
    return d;
}

void fill(TProtlDopr& w, const QStringList& texts) {
    const QList<QLineEdit*> e{
        child<QLineEdit>(&w, "Edit1"),  child<QLineEdit>(&w, "Edit2"), child<QLineEdit>(&w, "Edit3"),
        child<QLineEdit>(&w, "Edit4"),  child<QLineEdit>(&w, "Edit5"), child<QLineEdit>(&w, "Edit6"),
        child<QLineEdit>(&w, "Edit7"),  child<QLineEdit>(&w, "Edit8"), child<QLineEdit>(&w, "Edit9"),
        child<QLineEdit>(&w, "Edit10"), child<QLineEdit>(&w, "Edit11")};
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
    for (int i = 0; i < child<QListWidget>(&w, "ListBox1")->count(); ++i)
        l << child<QListWidget>(&w, "ListBox1")->item(i)->text();
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
    void longMaterialNameAndLines();
    void textProtocolOfLatestAndOfLine();
    void ukoncitAsks();

private:
    RecordingOutputs m_outputs;
};

void TestForwardWindow::init() {
    forwardUnit() = ForwardUnit{};
    m_outputs.calls.clear();
}

void TestForwardWindow::cleanup() {}

void TestForwardWindow::opensEmpty() {
    forwardUnit().material = material();
    TProtlDopr w(nullptr, &m_outputs);
    QCOMPARE(w.windowTitle(), QStringLiteral("Protlačování Dopředné"));
    QCOMPARE(w.size(), QSize(310, 446));
    QVERIFY(child<QLabel>(&w, "Label30")->text().isEmpty());
    QCOMPARE(int(w.equation()), -1);
    QCOMPARE(int(w.dieType()), -1);
    QVERIFY(!child<QPushButton>(&w, "UlozitP")->isEnabled() && !child<QPushButton>(&w, "TiskP")->isEnabled());
    QVERIFY(child<QRadioButton>(&w, "Ulozitjako0")->isChecked());
    QCOMPARE(child<QPushButton>(&w, "TiskP")->text(), QStringLiteral("TiskP"));
    QCOMPARE(child<QPushButton>(&w, "Otevri")->text(), QStringLiteral("Otevřítf"));
}

void TestForwardWindow::checkOrder() {
    RecordingUi ui;
    TProtlDopr w(nullptr, &m_outputs);
    w.show();
    w.VypocetClick();
    w.MaterialChosen(material());
    fill(w, {"30", "100", "40", "40", "20", "50", "0"});
    w.VypocetClick();
    QVERIFY(child<QLineEdit>(&w, "Edit1")->hasFocus() || !w.isActiveWindow());
    child<QLineEdit>(&w, "Edit7")->setText(QStringLiteral("0,0"));
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
    TProtlDopr w(nullptr, &m_outputs);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QApplication::setActiveWindow(&w);
    prepare(w);
    child<QLineEdit>(&w, "Edit8")->setText(QStringLiteral("0"));
    child<QLineEdit>(&w, "Edit2")->setFocus();
    w.VypocetClick();
    QCOMPARE(ui.texts(), QStringList{MsgNoAngle});
    QCOMPARE(QApplication::focusWidget(), child<QLineEdit>(&w, "Edit8"));
    // The field's text is selected: typing replaces the "0".
    QTest::keyClicks(child<QLineEdit>(&w, "Edit8"), QStringLiteral("60"));
    QCOMPARE(child<QLineEdit>(&w, "Edit8")->text(), QStringLiteral("60"));
    child<QLineEdit>(&w, "Edit8")->setText(QStringLiteral("0"));
    ui.clear();
    w.selectDieType(1); // the angle is emptied and ignored
    QVERIFY(child<QLineEdit>(&w, "Edit8")->text().isEmpty());
    w.VypocetClick();
    QVERIFY(!ui.texts().contains(MsgNoAngle));
    QCOMPARE(forwardUnit().history.size(), 1);
}

void TestForwardWindow::dieTypeBeforeEquation() {
    RecordingUi ui;
    TProtlDopr w(nullptr, &m_outputs);
    w.selectDieType(1);
    QCOMPARE(ui.texts(), QStringList{MsgNoEquation});
    QCOMPARE(int(w.dieType()), 1);
    QVERIFY(child<QLineEdit>(&w, "Edit8")->isEnabled());
    w.selectEquation(2);
    QVERIFY(!child<QLineEdit>(&w, "Edit8")->isEnabled());
    QCOMPARE(child<QLineEdit>(&w, "Edit10")->text(), QStringLiteral("0,5"));
    QVERIFY(!child<QLineEdit>(&w, "Edit10")->isEnabled());
    QCOMPARE(child<QLabel>(&w, "Label47")->text(), QStringLiteral("2max"));
    w.selectDieType(0); // back to the cone: 0,5 stays, now editable
    QVERIFY(child<QLineEdit>(&w, "Edit10")->isEnabled());
    QCOMPARE(child<QLineEdit>(&w, "Edit10")->text(), QStringLiteral("0,5"));
    QVERIFY(child<QLineEdit>(&w, "Edit8")->isEnabled());
    QCOMPARE(child<QLabel>(&w, "Label47")->text(), QStringLiteral("2"));
}

void TestForwardWindow::disabledEquationStaysSelected() {
    RecordingUi ui;
    TProtlDopr w(nullptr, &m_outputs);
    w.selectEquation(0);
    Data d = material();
    d.pol_a = 0;
    d.pn5[0] = 0;
    d.rlfd[0] = 3;
    w.MaterialChosen(d);
    QVERIFY(!child<QRadioButton>(&w, "RcePretOdporu0")->isEnabled());
    QVERIFY(child<QRadioButton>(&w, "RcePretOdporu0")->isChecked());
    QCOMPARE(int(w.equation()), 0);
    QVERIFY(child<QRadioButton>(&w, "RcePretOdporu1")->isEnabled());
    QVERIFY(!child<QRadioButton>(&w, "RcePretOdporu2")->isEnabled());
    QVERIFY(child<QRadioButton>(&w, "RcePretOdporu3")->isEnabled());
    QCOMPARE(child<QLabel>(&w, "Label30")->text(), QStringLiteral("C45"));
    QCOMPARE(child<QLabel>(&w, "Label31")->text(), QStringLiteral("20°C"));
    QCOMPARE(forwardUnit().material, d);
}

void TestForwardWindow::validityQuestionsYesYesNo() {
    RecordingUi ui;
    TProtlDopr w(nullptr, &m_outputs);
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
    QCOMPARE(child<QLabel>(&w, "Label20")->text(), QStringLiteral("1,000"));
    QCOMPARE(child<QLabel>(&w, "Label20")->palette().color(child<QLabel>(&w, "Label20")->backgroundRole()),
             QColor(255, 0, 0));
    QVERIFY(child<QLabel>(&w, "Label24")->palette().color(child<QLabel>(&w, "Label24")->backgroundRole()) !=
            QColor(255, 0, 0));
}

void TestForwardWindow::phi3QuestionNamesEps() {
    RecordingUi ui;
    TProtlDopr w(nullptr, &m_outputs);
    prepare(w);
    child<QLineEdit>(&w, "Edit4")->setText(QStringLiteral("60"));
    ui.answers = {Answer::No};
    w.VypocetClick();
    QCOMPARE(ui.texts(), (QStringList{"Jste mimo povolený interval pro eps\rChcete pokracovat ve výpočtu ?",
                                      "Zadejte nové hodnoty D0 D3"}));
    QCOMPARE(child<QLabel>(&w, "Label24")->text(), QStringLiteral("2,197"));
}

void TestForwardWindow::redFromUnroundedValue() {
    RecordingUi ui;
    TProtlDopr w(nullptr, &m_outputs);
    prepare(w);
    child<QLineEdit>(&w, "Edit1")->setText(QStringLiteral("25"));
    child<QLineEdit>(&w, "Edit2")->setText(QStringLiteral("74,99"));
    ui.answers = {Answer::Yes};
    w.VypocetClick();
    QCOMPARE(child<QLabel>(&w, "Label20")->text(), QStringLiteral("3,000"));
    QCOMPARE(child<QLabel>(&w, "Label20")->palette().color(child<QLabel>(&w, "Label20")->backgroundRole()),
             QColor(255, 0, 0));
    QCOMPARE(forwardUnit().history.size(), 1);
    // The next press resets the colours first.
    child<QLineEdit>(&w, "Edit2")->setText(QStringLiteral("75"));
    w.VypocetClick();
    QVERIFY(child<QLabel>(&w, "Label20")->palette().color(child<QLabel>(&w, "Label20")->backgroundRole()) !=
            QColor(255, 0, 0));
}

void TestForwardWindow::calculationAppendsAndLists() {
    RecordingUi ui;
    TProtlDopr w(nullptr, &m_outputs);
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
    QVERIFY(child<QPushButton>(&w, "UlozitP")->isEnabled() && child<QPushButton>(&w, "TiskP")->isEnabled());
}

void TestForwardWindow::latestEntryAfterReordering() {
    RecordingUi ui;
    TProtlDopr w(nullptr, &m_outputs);
    for (int t : {100, 200, 20}) {
        prepare(w, t);
        w.VypocetClick();
    }
    QStringList temps;
    for (int i = 0; i < 3; ++i)
        temps << forwardUnit().history.at(i)[Teplota];
    QCOMPARE(temps, (QStringList{"20", "100", "200"}));
    QCOMPARE(w.latestEntry(), std::optional<int>(0));
    child<QPushButton>(&w, "UlozitP")->click();
    child<QRadioButton>(&w, "Ulozitjako1")->setChecked(true);
    child<QPushButton>(&w, "UlozitP")->click();
    child<QPushButton>(&w, "TiskP")->click();
    QCOMPARE(m_outputs.calls, (QStringList{"txt 20", "doc 20", "print 20"}));
}

void TestForwardWindow::separatorsFollowLastRebuild() {
    RecordingUi ui;
    TProtlDopr w(nullptr, &m_outputs);
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
        TProtlDopr w(nullptr, &m_outputs);
        prepare(w, 100);
        w.VypocetClick();
    }
    TProtlDopr w(nullptr, &m_outputs);
    QCOMPARE(child<QListWidget>(&w, "ListBox1")->count(), 0);
    QVERIFY(child<QLabel>(&w, "Label30")->text().isEmpty());
    QCOMPARE(forwardUnit().history.size(), 1);
    w.VypocetClick();
    QCOMPARE(ui.texts().last(), MsgNoMaterial);
    prepare(w, 20);
    w.VypocetClick();
    QCOMPARE(lines(w).size(), 2);
}

void TestForwardWindow::failedCalculationLeavesHistory() {
    RecordingUi ui;
    TProtlDopr w(nullptr, &m_outputs);
    prepare(w, 100);
    w.VypocetClick();
    const QStringList before = lines(w);
    prepare(w, 20);
    child<QLineEdit>(&w, "Edit3")->setText(QStringLiteral("0,0")); // D1: step 13 divides by zero
    child<QPushButton>(&w, "Vypocet")->click();
    QCOMPARE(ui.texts(), QStringList{QStringLiteral("Floating point division by zero.")});
    QCOMPARE(ui.messages[0].kind, MsgKind::Stop);
    QCOMPARE(forwardUnit().history.size(), 1);
    QCOMPARE(lines(w), before);
    QCOMPARE(w.latestEntry(), std::optional<int>(0)); // still the 100 °C calculation
}

void TestForwardWindow::deletionAndMend() {
    RecordingUi ui;
    TProtlDopr w(nullptr, &m_outputs);
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
    QCOMPARE(child<QListWidget>(&w, "ListBox1")->count(), 0);
    // The latest calculation is gone: its buttons have nothing to act on.
    QVERIFY(!child<QPushButton>(&w, "UlozitP")->isEnabled() && !child<QPushButton>(&w, "TiskP")->isEnabled());
    prepare(w, 20);
    w.VypocetClick();
    QVERIFY(child<QPushButton>(&w, "UlozitP")->isEnabled());
}

void TestForwardWindow::listClickRunsTickedActions() {
    RecordingUi ui;
    TProtlDopr w(nullptr, &m_outputs);
    w.show();
    for (int t : {20, 100}) {
        prepare(w, t);
        w.VypocetClick();
    }
    w.OtevriClick();
    QCOMPARE(w.size(), QSize(631, 446));
    QVERIFY(child<QListWidget>(&w, "ListBox1")->isVisible() && child<QPushButton>(&w, "Zavri")->isVisible() &&
            !child<QPushButton>(&w, "Otevri")->isVisible());
    QVERIFY(!child<QCheckBox>(&w, "txt")->isVisible());
    child<QListWidget>(&w, "ListBox1")->setCurrentRow(0);
    QTest::mouseClick(child<QListWidget>(&w, "ListBox1")->viewport(), Qt::LeftButton, {},
                      child<QListWidget>(&w, "ListBox1")
                          ->visualItemRect(child<QListWidget>(&w, "ListBox1")->item(1))
                          .center());
    QVERIFY(m_outputs.calls.isEmpty()); // nothing ticked
    child<QCheckBox>(&w, "Ulozit")->click();
    QVERIFY(child<QCheckBox>(&w, "txt")->isVisible());
    child<QCheckBox>(&w, "txt")->click();
    child<QCheckBox>(&w, "Tisk")->click();
    QTest::mouseClick(child<QListWidget>(&w, "ListBox1")->viewport(), Qt::LeftButton, {},
                      child<QListWidget>(&w, "ListBox1")
                          ->visualItemRect(child<QListWidget>(&w, "ListBox1")->item(1))
                          .center());
    QCOMPARE(m_outputs.calls, (QStringList{"txt 100", "print 100"}));
    // The arrow keys act on every line passed.
    m_outputs.calls.clear();
    child<QListWidget>(&w, "ListBox1")->setFocus();
    QTest::keyClick(child<QListWidget>(&w, "ListBox1"), Qt::Key_Up);
    QCOMPARE(m_outputs.calls, (QStringList{"txt 20", "print 20"}));
    w.ZavriClick();
    QCOMPARE(w.size(), QSize(310, 446));
    QVERIFY(!child<QListWidget>(&w, "ListBox1")->isVisible() &&
            child<QPushButton>(&w, "Otevri")->isVisible());
    QVERIFY(child<QCheckBox>(&w, "Ulozit")->isChecked()); // the ticks stay until the next opening
    w.OtevriClick();
    QVERIFY(!child<QCheckBox>(&w, "Ulozit")->isChecked() && !child<QCheckBox>(&w, "Tisk")->isChecked() &&
            !child<QCheckBox>(&w, "txt")->isVisible());
}

void TestForwardWindow::vymazClearsOthers() {
    RecordingUi ui;
    TProtlDopr w(nullptr, &m_outputs);
    w.show();
    w.OtevriClick();
    child<QCheckBox>(&w, "Ulozit")->click();
    child<QCheckBox>(&w, "txt")->click();
    child<QCheckBox>(&w, "Vymaz")->click();
    QVERIFY(child<QCheckBox>(&w, "Vymaz")->isChecked());
    QVERIFY(!child<QCheckBox>(&w, "Ulozit")->isChecked() && !child<QCheckBox>(&w, "txt")->isChecked() &&
            !child<QCheckBox>(&w, "Tisk")->isChecked());
    QVERIFY(!child<QCheckBox>(&w, "txt")->isVisible() && !child<QCheckBox>(&w, "doc")->isVisible());
}

void TestForwardWindow::keysAndEnter() {
    RecordingUi ui;
    TProtlDopr w(nullptr, &m_outputs);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QApplication::setActiveWindow(&w);
    child<QLineEdit>(&w, "Edit9")->setFocus();
    QTest::keyClicks(child<QLineEdit>(&w, "Edit9"), QStringLiteral("2,5,"));
    QCOMPARE(child<QLineEdit>(&w, "Edit9")->text(), QStringLiteral("2,5"));
    QTest::keyClicks(child<QLineEdit>(&w, "Edit9"), QStringLiteral(".-"));
    QCOMPARE(child<QLineEdit>(&w, "Edit9")->text(), QStringLiteral("2,5"));
    QCOMPARE(ui.beeps, 3);
    QTest::keyClick(child<QLineEdit>(&w, "Edit9"), Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), child<QLineEdit>(&w, "Edit10"));
    // Enter selects the next field's text, so typing replaces it.
    child<QLineEdit>(&w, "Edit1")->setText(QStringLiteral("100"));
    child<QLineEdit>(&w, "Edit2")->setText(QStringLiteral("100"));
    child<QLineEdit>(&w, "Edit1")->setFocus();
    child<QLineEdit>(&w, "Edit1")->end(false);
    QTest::keyClick(child<QLineEdit>(&w, "Edit1"), Qt::Key_Return);
    QTest::keyClicks(child<QLineEdit>(&w, "Edit2"), QStringLiteral("7"));
    QCOMPARE(child<QLineEdit>(&w, "Edit2")->text(), QStringLiteral("7"));
    w.selectEquation(0);
    w.selectDieType(1);
    child<QLineEdit>(&w, "Edit7")->setFocus();
    QTest::keyClick(child<QLineEdit>(&w, "Edit7"), Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), child<QLineEdit>(&w, "Edit9"));
    QTest::keyClick(child<QLineEdit>(&w, "Edit9"), Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), child<QLineEdit>(&w, "Edit11"));
    QTest::keyClick(child<QLineEdit>(&w, "Edit11"), Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), child<QPushButton>(&w, "Vypocet"));
    QVERIFY(forwardUnit().history.isEmpty()); // Enter only moves the focus
}

void TestForwardWindow::longMaterialNameAndLines() {
    RecordingUi ui;
    TProtlDopr w(nullptr, &m_outputs);
    w.show();
    for (const QString& name : {QStringLiteral("C45"), QStringLiteral("42CrMo4 (15 142)"),
                                QStringLiteral("X210CrW12-1.2436-ESU-umgeschmolzen (19 437)")}) {
        Data d = material();
        d.nazev = name;
        w.MaterialChosen(d);
        // The whole name is on the window, and nothing overlaps it.
        const auto* label = child<QLabel>(&w, "Label30");
        QTextLayout layout(name, label->font());
        QTextOption wrap;
        wrap.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(wrap);
        layout.beginLayout();
        qreal height = 0;
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(label->width());
            height += line.height();
        }
        layout.endLayout();
        // Names of every day length are shown whole; a longer one as far as
        // the room goes, and whole in its tool tip.
        if (name.size() < 30) QVERIFY2(label->height() >= height, qPrintable(name));
        QCOMPARE(label->toolTip(), name);
        for (const char* other : {"Ulozitjako", "UlozitP", "Panel3", "Label31", "Label29", "VyberMaterial"})
            QVERIFY2(!label->geometry().intersects(child<QWidget>(&w, other)->geometry()),
                     qPrintable(name + QLatin1Char(' ') + QLatin1String(other)));
        QVERIFY(
            !child<QLabel>(&w, "Label31")->geometry().intersects(child<QWidget>(&w, "UlozitP")->geometry()));
    }
    // A history line is never cut short: the list is as wide as its widest line.
    prepare(w);
    w.VypocetClick();
    const QListWidget* list = child<QListWidget>(&w, "ListBox1");
    QCOMPARE(list->textElideMode(), Qt::ElideNone);
    QVERIFY(list->width() > list->fontMetrics().horizontalAdvance(list->item(0)->text()));
    // A short line first and the long one after it: each line's place holds
    // all of its text (the lines are laid out alike, not each measured).
    Data shortName = material(0);
    shortName.nazev = QStringLiteral("C10");
    w.MaterialChosen(shortName);
    fill(w, Valid);
    w.VypocetClick();
    QCOMPARE(list->count(), 2);
    QVERIFY(list->item(0)->text().startsWith(QStringLiteral("C10")));
    for (int i = 0; i < list->count(); ++i)
        QVERIFY2(list->visualItemRect(list->item(i)).width() >=
                     list->fontMetrics().horizontalAdvance(list->item(i)->text()),
                 qPrintable(list->item(i)->text()));
}

void TestForwardWindow::textProtocolOfLatestAndOfLine() {
    QTemporaryDir dir;
    RecordingUi ui;
    TProtlDopr w; // its real outputs
    for (int t : {100, 20}) {
        prepare(w, t);
        w.VypocetClick();
    }
    ui.clear();
    ui.saveAnswers = {dir.filePath(QStringLiteral("a")), dir.filePath(QStringLiteral("b"))};
    child<QPushButton>(&w, "UlozitP")->click();
    QFile a(dir.filePath(QStringLiteral("a.txt")));
    QVERIFY(a.open(QIODevice::ReadOnly));
    QVERIFY(a.readAll().contains("Teplota : 20 \xB0"
                                 "C\r\n")); // the latest calculation
    // A ticked line saves that entry.
    w.OtevriClick();
    child<QCheckBox>(&w, "Ulozit")->click();
    child<QCheckBox>(&w, "txt")->click();
    w.ListBox1Click(1);
    QFile b(dir.filePath(QStringLiteral("b.txt")));
    QVERIFY(b.open(QIODevice::ReadOnly));
    QVERIFY(b.readAll().contains("Teplota : 100 \xB0"
                                 "C\r\n"));
    // The latest deleted: "Uložit" has nothing to act on and asks for no file.
    ui.answers = {Answer::Yes};
    w.DeleteHistoryEntry(*w.latestEntry());
    ui.clear();
    w.UlozitPClick();
    QVERIFY(ui.log.isEmpty());
}

void TestForwardWindow::ukoncitAsks() {
    RecordingUi ui;
    TProtlDopr w(nullptr, &m_outputs);
    w.show();
    ui.answers = {Answer::No, Answer::Yes};
    child<QPushButton>(&w, "Ukoncit")->click();
    QVERIFY(w.isVisible());
    child<QPushButton>(&w, "Ukoncit")->click();
    QVERIFY(!w.isVisible());
    QCOMPARE(ui.texts(),
             QStringList(2, QStringLiteral("Skutečně chcete ukončit výpočty Dopředného Protlačování ?")));
}

QTEST_MAIN(TestForwardWindow)
#include "test_forward_window.moc"
