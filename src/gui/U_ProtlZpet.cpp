#include "U_ProtlZpet.h"

#include "output/ChartWorkbook.h"

#include "U_VyberMat.h"
#include "core/HistoryActions.h"
#include "widgets/UiServices.h"
#include "domain/BackwardUnit.h"
#include "output/ChartWorkbook.h"
#include "widgets/WindowOutputs.h"
#include "ui_U_ProtlZpet.h"
#include "widgets/Glyphs.h"
#include "widgets/HistoryPanel.h"
#include "widgets/MaterialDisplay.h"
#include "widgets/NumericKeyFilter.h"
#include "widgets/Pictures.h"
#include "widgets/WindowParts.h"

#include <QButtonGroup>

namespace prolis {

using namespace bwd;

TProtlZpet* ProtlZpet = nullptr;

namespace {
constexpr int ClosedWidth = 310;
constexpr int OpenWidth = 631;
constexpr int Height = 446;
} // namespace

TProtlZpet::TProtlZpet(QWidget* owner, BackwardOutputs* outputs)
    : QDialog(owner), m_ui(std::make_unique<Ui::TProtlZpet>()),
      m_ownOutputs(outputs ? nullptr : std::make_unique<WindowOutputs>(ui())),
      m_outputs(outputs ? outputs : m_ownOutputs.get()), m_keys(new NumericKeyFilter(this)),
      m_equation(new QButtonGroup(this)), m_saveAs(new QButtonGroup(this)) {
    ProtlZpet = this;
    m_ui->setupUi(this);
    setButtonGlyphs(this);
    setFixedSize(ClosedWidth, Height);
    centerOnScreen(this);
    m_panel = new HistoryPanel(this,
                               {m_ui->Label37, m_ui->ScrollBox1, m_ui->ListBox1, m_ui->Ulozit, m_ui->txt,
                                m_ui->doc, m_ui->Vymaz, m_ui->Tisk, m_ui->Otevri, m_ui->Zavri},
                               ClosedWidth, OpenWidth, Height, [this](int row) { ListBox1Click(row); });
    m_materialDisplay =
        new MaterialDisplay(this, {m_ui->Label28, m_ui->Label30, m_ui->Label29, m_ui->Label31}, m_ui->Panel3,
                            m_ui->Ulozitjako, m_ui->UlozitP);

    const QList<QRadioButton*> eq{m_ui->RcePretOdporu0, m_ui->RcePretOdporu1, m_ui->RcePretOdporu2,
                                  m_ui->RcePretOdporu3};
    for (int i = 0; i < eq.size(); ++i)
        m_equation->addButton(eq[i], i);
    m_saveAs->addButton(m_ui->Ulozitjako0, 0);
    m_saveAs->addButton(m_ui->Ulozitjako1, 1);
    m_ui->Ulozitjako0->setChecked(true);
    for (QLabel* l : {m_ui->Label20, m_ui->Label21, m_ui->Label23, m_ui->Label24, m_ui->Label27})
        setButtonFaceBackground(l);

    // Enter moves on: Edit1 ... Edit6, then "Výpočet".
    const QList<QLineEdit*> e = edits();
    for (int i = 0; i < e.size(); ++i)
        m_keys->attach(e[i], [this, i, e] {
            if (i + 1 < e.size())
                e[i + 1]->setFocus(Qt::TabFocusReason);
            else
                m_ui->Vypocet->setFocus(Qt::TabFocusReason);
        });

    const auto on = [this](auto* sender, auto signal, void (TProtlZpet::*handler)()) {
        connect(sender, signal, this, [this, handler] { guarded([this, handler] { (this->*handler)(); }); });
    };
    on(m_ui->VyberMaterial, &QPushButton::clicked, &TProtlZpet::VyberMaterialClick);
    on(m_ui->Ukoncit, &QPushButton::clicked, &TProtlZpet::UkoncitClick);
    on(m_ui->Vypocet, &QPushButton::clicked, &TProtlZpet::VypocetClick);
    on(m_ui->UlozitP, &QPushButton::clicked, &TProtlZpet::UlozitPClick);
    on(m_ui->TiskP, &QPushButton::clicked, &TProtlZpet::TiskPClick);
    on(m_ui->GrafBB, &QPushButton::clicked, &TProtlZpet::GrafBBClick);
    on(m_ui->Otevri, &QPushButton::clicked, &TProtlZpet::OtevriClick);
    on(m_ui->Zavri, &QPushButton::clicked, &TProtlZpet::ZavriClick);
    on(m_ui->UlozitS, &QCheckBox::clicked, &TProtlZpet::UlozitSClick);
    on(m_ui->TiskS, &QCheckBox::clicked, &TProtlZpet::TiskSClick);
}

TProtlZpet::~TProtlZpet() {
    if (ProtlZpet == this) ProtlZpet = nullptr;
}

QList<QLineEdit*> TProtlZpet::edits() const {
    return {m_ui->Edit1, m_ui->Edit2, m_ui->Edit3, m_ui->Edit4, m_ui->Edit5, m_ui->Edit6};
}

EquationKind TProtlZpet::equation() const {
    return static_cast<EquationKind>(m_equation->checkedId());
}

void TProtlZpet::selectEquation(int index) {
    m_equation->button(index)->setChecked(true);
}

Inputs TProtlZpet::inputs() const {
    return Inputs{m_ui->Edit1->text(), m_ui->Edit2->text(), m_ui->Edit3->text(),
                  m_ui->Edit4->text(), m_ui->Edit5->text(), m_ui->Edit6->text()};
}

std::optional<int> TProtlZpet::latestEntry() const {
    if (!m_latest) return std::nullopt;
    return backwardUnit().history.indexOf(*m_latest);
}

void TProtlZpet::VyberMaterialClick() {
    chooseMaterial(this, this);
}

void TProtlZpet::MaterialChosen(const Data& data) {
    backwardUnit().material = data;
    showChosenMaterial(data, m_ui->Label30, m_ui->Label31, m_equation);
    m_materialDisplay->relayout();
}

void TProtlZpet::UkoncitClick() {
    if (confirm(QStringLiteral("Skutečně chcete ukončit výpočty Zpětného Protlačování ?"))) accept();
}

void TProtlZpet::inputMissing(const QString& message) {
    warning(message);
}

void TProtlZpet::showMeanFriction(const QString& f2str) {
    m_ui->Edit7->setText(f2str);
}

void TProtlZpet::reductionStarts() {
    setButtonFaceBackground(m_ui->Label21);
}

void TProtlZpet::showReduction(const Reduction& reduction) {
    m_ui->Label20->setText(reduction.bText);
    m_ui->Label21->setText(reduction.epsText);
    if (!reduction.epsInRange) setRedBackground(m_ui->Label21);
}

void TProtlZpet::strainStarts() {
    for (QLabel* l : {m_ui->Label23, m_ui->Label24, m_ui->Label27})
        setButtonFaceBackground(l);
}

void TProtlZpet::showStrain(const Strain& strain) {
    m_ui->Label23->setText(strain.phi1Text);
    if (!strain.phi1InRange) setRedBackground(m_ui->Label23);
    m_ui->Label24->setText(strain.phicText);
    m_ui->Label27->setText(strain.phi2Text);
}

bool TProtlZpet::ask(const QString& question) {
    return warningYesNo(question);
}

void TProtlZpet::declined(const QString& question, const QString& refusal) {
    information(refusal);
    // A refused reduction sends the user back to the billet; a refused strain does not.
    if (question == QuestionEpsilon) m_ui->Edit1->setFocus(Qt::TabFocusReason);
}

void TProtlZpet::VypocetClick() {
    BackwardUnit& unit = backwardUnit();
    const DataModel model(unit.material);
    // The record and its summary row enter the history together and only when
    // the whole calculation succeeded, so the two never fall out of step.
    std::optional<Entry> entry = runCalculation(unit.material, m_ui->Label30->text(), model, equation(),
                                                inputs(), unit.StopFlag, *this);
    if (!entry) return;
    m_latest = unit.addCalculation(std::move(*entry));
    RebuildHistoryList();
    m_ui->UlozitP->setEnabled(true);
    m_ui->TiskP->setEnabled(true);
    m_ui->GrafBB->setEnabled(true);
}

void TProtlZpet::RebuildHistoryList() {
    BackwardUnit& unit = backwardUnit();
    unit.sortHistory();
    QStringList lines;
    lines.reserve(unit.history.size());
    for (int i = 0; i < unit.history.size(); ++i)
        lines.append(historyLine(unit.history.at(i).record));
    m_panel->setLines(lines);
}

void TProtlZpet::DeleteHistoryEntry(int index) {
    if (!confirmDeletion()) return;
    backwardUnit().history.remove(index);
    RebuildHistoryList();
    reportDeletion();
}

void TProtlZpet::summaryOutputEnded(OutputResult result) {
    // A summary output that ran (written, cancelled or failed, handed over,
    // previewed) makes "Uložit" and "Tisk" skip the latest calculation; one
    // that could not start leaves the flag alone.
    if (result != OutputResult::Unavailable) backwardUnit().StopFlag = true;
}

bool TProtlZpet::refuseEmptyHistory(const QCheckBox* summary) {
    // Every calculation deleted and no summary asked for: nothing to save or
    // print, said as "Graf" says it (a summary of no rows is still written).
    if (!backwardUnit().history.isEmpty() || summary->isChecked()) return false;
    showMessage(out::MsgNoSummaryRows);
    return true;
}

void TProtlZpet::UlozitPClick() {
    BackwardUnit& unit = backwardUnit();
    if (refuseEmptyHistory(m_ui->UlozitS)) return;
    if (m_ui->UlozitS->isChecked()) {
        if (m_saveAs->checkedId() == 0)
            summaryOutputEnded(m_outputs->WriteSummaryText(unit.summaryRows()));
        else if (m_saveAs->checkedId() == 1)
            summaryOutputEnded(m_outputs->WriteSummaryWord(unit.summaryRows()));
    }
    // A deleted latest calculation is skipped as after a summary output.
    if (unit.StopFlag || !latestEntry()) return;
    if (confirm(QStringLiteral("Uložit aktuální výpočet ve formátu *.TXT?"))) {
        if (const auto latest = latestEntry()) m_outputs->WriteTextProtocol(unit.history.at(*latest).record);
    }
    if (confirm(QStringLiteral("Uložit aktuální výpočet ve formátu *.DOC? (MS Word)"))) {
        if (const auto latest = latestEntry()) m_outputs->WriteWordDocument(unit.history.at(*latest).record);
    }
}

void TProtlZpet::TiskPClick() {
    BackwardUnit& unit = backwardUnit();
    if (refuseEmptyHistory(m_ui->TiskS)) return;
    if (m_ui->TiskS->isChecked()) summaryOutputEnded(m_outputs->PrintSummaryReport(unit.summaryRows()));
    const auto latest = latestEntry();
    if (!unit.StopFlag && latest) m_outputs->PrintReport(unit.history.at(*latest).record);
}

void TProtlZpet::GrafBBClick() {
    m_outputs->DrawChart(backwardUnit().summaryRows());
}

void TProtlZpet::UlozitSClick() {
    m_ui->Ulozitjako->setVisible(m_ui->Ulozitjako->isHidden());
    m_materialDisplay->relayout();
    backwardUnit().StopFlag = false;
}

void TProtlZpet::TiskSClick() {
    backwardUnit().StopFlag = false;
}

void TProtlZpet::ListBox1Click(int i) {
    if (i < 0 || i >= backwardUnit().history.size()) return;
    // A copy: an output must not see the history change under it.
    const Souhrn record = backwardUnit().history.at(i).record;
    runTickedActions(m_panel->checks(),
                     {[&] { m_outputs->WriteTextProtocol(record); },
                      [&] { m_outputs->WriteWordDocument(record); }, [&] { m_outputs->PrintReport(record); },
                      [&] { DeleteHistoryEntry(i); }});
}

void TProtlZpet::OtevriClick() {
    m_panel->open();
}

void TProtlZpet::ZavriClick() {
    m_panel->close();
}

} // namespace prolis
