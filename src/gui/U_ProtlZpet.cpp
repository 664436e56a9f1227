#include "U_ProtlZpet.h"

#include "U_VyberMat.h"
#include "domain/BackwardUnit.h"
#include "output/ChartWorkbook.h"
#include "ui_U_ProtlZpet.h"
#include "widgets/CalculationFrame.h"
#include "widgets/NumericKeyFilter.h"
#include "widgets/UiServices.h"
#include "widgets/WindowOutputs.h"
#include "widgets/WindowParts.h"

#include <QButtonGroup>

namespace prolis {

using namespace bwd;

TProtlZpet::TProtlZpet(QWidget* owner, BackwardOutputs* outputs)
    : CalculationWindow(owner), m_ui(std::make_unique<Ui::TProtlZpet>()),
      m_ownOutputs(outputs ? nullptr : std::make_unique<WindowOutputs>(ui())),
      m_outputs(outputs ? outputs : m_ownOutputs.get()), m_keys(new NumericKeyFilter(this)) {
    m_ui->setupUi(this);
    m_frame = std::make_unique<CalculationFrame>(
        this, m_ui->Label37, QList<QPushButton*>{m_ui->UlozitP, m_ui->TiskP, m_ui->GrafBB},
        [this](int row) { ListBox1Click(row); });
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

    m_frame->on(m_ui->VyberMaterial, &QPushButton::clicked, [this] { VyberMaterialClick(); });
    m_frame->on(m_ui->Ukoncit, &QPushButton::clicked, [this] { UkoncitClick(); });
    m_frame->on(m_ui->Vypocet, &QPushButton::clicked, [this] { VypocetClick(); });
    m_frame->on(m_ui->UlozitP, &QPushButton::clicked, [this] { UlozitPClick(); });
    m_frame->on(m_ui->TiskP, &QPushButton::clicked, [this] { TiskPClick(); });
    m_frame->on(m_ui->GrafBB, &QPushButton::clicked, [this] { GrafBBClick(); });
    m_frame->on(m_ui->UlozitS, &QCheckBox::clicked, [this] { UlozitSClick(); });
    m_frame->on(m_ui->TiskS, &QCheckBox::clicked, [this] { TiskSClick(); });
}

TProtlZpet::~TProtlZpet() {}

QList<QLineEdit*> TProtlZpet::edits() const {
    return {m_ui->Edit1, m_ui->Edit2, m_ui->Edit3, m_ui->Edit4, m_ui->Edit5, m_ui->Edit6};
}

void TProtlZpet::selectEquation(int index) {
    m_frame->selectEquation(index);
}

Inputs TProtlZpet::inputs() const {
    return Inputs{m_ui->Edit1->text(), m_ui->Edit2->text(), m_ui->Edit3->text(),
                  m_ui->Edit4->text(), m_ui->Edit5->text(), m_ui->Edit6->text()};
}

void TProtlZpet::VyberMaterialClick() {
    chooseMaterial(this, this);
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
    const std::optional<quint64> serial =
        backwardUnit().calculate(m_ui->Label30->text(), equation(), inputs(), *this);
    if (!serial) return;
    RebuildHistoryList();
    m_frame->calculated(*serial);
}

void TProtlZpet::RebuildHistoryList() {
    m_frame->rebuildList(backwardUnit(), [](const Entry& e) { return historyLine(e.record); });
}

void TProtlZpet::DeleteHistoryEntry(int index) {
    // The buttons stay enabled: "Uložit" and "Tisk" then say what is left.
    if (m_frame->deleteEntry(backwardUnit(), index, [this] { RebuildHistoryList(); })) reportDeletion();
}

void TProtlZpet::summaryOutputEnded(OutputResult result) {
    // A summary output that ran (written, cancelled or failed, handed over,
    // previewed) makes "Uložit" and "Tisk" skip the latest calculation; one
    // that could not start leaves the flag alone.
    if (result != OutputResult::Unavailable) backwardUnit().summaryOutputRan();
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
        if (m_frame->saveAs() == 0)
            summaryOutputEnded(m_outputs->WriteSummaryText(unit.summaryRows()));
        else if (m_frame->saveAs() == 1)
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
    m_frame->materialDisplay()->relayout();
    backwardUnit().summaryChoiceChanged();
}

void TProtlZpet::TiskSClick() {
    backwardUnit().summaryChoiceChanged();
}

void TProtlZpet::ListBox1Click(int i) {
    if (i < 0 || i >= backwardUnit().history.size()) return;
    m_frame->lineActions(Souhrn(backwardUnit().history.at(i).record), *m_outputs,
                         [&] { DeleteHistoryEntry(i); });
}

} // namespace prolis
