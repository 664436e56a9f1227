#include "U_ProtlZpet.h"

#include "BackwardUnit.h"
#include "app/Pictures.h"
#include "app/WindowParts.h"
#include "core/NumericKeyFilter.h"
#include "core/UiServices.h"
#include "material/U_VyberMat.h"
#include "ui_U_ProtlZpet.h"

#include <QButtonGroup>

namespace prolis {

using namespace bwd;

TProtlZpet* ProtlZpet = nullptr;

namespace {
constexpr int ClosedWidth = 310;
constexpr int OpenWidth = 631;
constexpr int Height = 446;
} // namespace

TProtlZpet::TProtlZpet(QWidget* owner)
    : QDialog(owner), m_ui(std::make_unique<Ui::TProtlZpet>()), m_keys(new NumericKeyFilter(this)),
      m_equation(new QButtonGroup(this)), m_saveAs(new QButtonGroup(this)) {
    ProtlZpet = this;
    m_ui->setupUi(this);
    setFixedSize(ClosedWidth, Height);
    centerOnScreen(this);
    m_panel = new HistoryPanel(this,
                               {m_ui->Label37, m_ui->ScrollBox1, m_ui->ListBox1, m_ui->Ulozit, m_ui->txt,
                                m_ui->doc, m_ui->Vymaz, m_ui->Tisk, m_ui->Otevri, m_ui->Zavri},
                               ClosedWidth, OpenWidth, Height, [this](int row) { ListBox1Click(row); });

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
                e[i + 1]->setFocus();
            else
                m_ui->Vypocet->setFocus();
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
}

void TProtlZpet::UkoncitClick() {
    if (confirm(QStringLiteral("Skutečně chcete ukončit výpočty Zpětného Protlačování ?"))) accept();
}

void TProtlZpet::ComputeMeanFriction() {
    m_ui->Edit7->setText(meanFriction(inputs()));
}

bool TProtlZpet::CheckReduction(Reduction& reduction, Strain& strain) {
    BackwardUnit& unit = backwardUnit();
    setButtonFaceBackground(m_ui->Label21);
    reduction = checkReduction(inputs());
    m_ui->Label20->setText(reduction.bText);
    m_ui->Label21->setText(reduction.epsText);
    if (!reduction.epsInRange) setRedBackground(m_ui->Label21);
    unit.StopFlag = false;
    if (hasRedBackground(m_ui->Label21) && !warningYesNo(QuestionEpsilon)) {
        information(RefusalEpsilon);
        unit.StopFlag = true;
        m_ui->Edit1->setFocus();
    }
    if (unit.StopFlag) return false;
    return CheckStrain(strain);
}

bool TProtlZpet::CheckStrain(Strain& strain) {
    BackwardUnit& unit = backwardUnit();
    for (QLabel* l : {m_ui->Label23, m_ui->Label24, m_ui->Label27})
        setButtonFaceBackground(l);
    strain = checkStrain(inputs(), unit.material.fimax);
    m_ui->Label23->setText(strain.phi1Text);
    if (!strain.phi1InRange) setRedBackground(m_ui->Label23);
    m_ui->Label24->setText(strain.phicText);
    m_ui->Label27->setText(strain.phi2Text);
    unit.StopFlag = false;
    if (hasRedBackground(m_ui->Label23) && !warningYesNo(QuestionFi1)) {
        information(RefusalFi1);
        unit.StopFlag = true;
    }
    return !unit.StopFlag;
}

void TProtlZpet::VypocetClick() {
    if (const auto problem = checkInputs(m_ui->Label30->text(), inputs(), equation())) {
        warning(*problem);
        return;
    }
    ComputeMeanFriction();
    Reduction reduction;
    Strain strain;
    if (!CheckReduction(reduction, strain)) return;
    BackwardUnit& unit = backwardUnit();
    const DataModel model(unit.material);
    // The record and its summary row enter the history together and only when
    // the whole calculation succeeded, so the two never fall out of step.
    Entry entry =
        calculate(unit.material, model, equation(), inputs(), m_ui->Edit7->text(), reduction, strain);
    m_latest = unit.history.append(std::move(entry));
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

void TProtlZpet::UlozitPClick() {
    BackwardUnit& unit = backwardUnit();
    if (m_ui->UlozitS->isChecked()) {
        if (m_saveAs->checkedId() == 0)
            backwardOutputs().WriteSummaryText();
        else if (m_saveAs->checkedId() == 1)
            backwardOutputs().WriteSummaryWord();
    }
    const auto latest = latestEntry();
    // A deleted latest calculation is skipped as after a summary output.
    if (unit.StopFlag || !latest) return;
    if (confirm(QStringLiteral("Uložit aktuální výpočet ve formátu *.TXT?")))
        backwardOutputs().WriteTextProtocol(*latest);
    if (confirm(QStringLiteral("Uložit aktuální výpočet ve formátu *.DOC? (MS Word)")))
        backwardOutputs().WriteWordDocument(*latest);
}

void TProtlZpet::TiskPClick() {
    if (m_ui->TiskS->isChecked()) backwardOutputs().PrintSummaryReport();
    const auto latest = latestEntry();
    if (!backwardUnit().StopFlag && latest) backwardOutputs().PrintReport(*latest);
}

void TProtlZpet::GrafBBClick() {
    backwardOutputs().DrawChart();
}

void TProtlZpet::UlozitSClick() {
    m_ui->Ulozitjako->setVisible(!m_ui->Ulozitjako->isVisible());
    backwardUnit().StopFlag = false;
}

void TProtlZpet::TiskSClick() {
    backwardUnit().StopFlag = false;
}

void TProtlZpet::ListBox1Click(int i) {
    if (i < 0 || i >= backwardUnit().history.size()) return;
    runTickedActions(m_panel->checks(), backwardOutputs(), i, [this](int k) { DeleteHistoryEntry(k); });
}

void TProtlZpet::OtevriClick() {
    m_panel->open();
}

void TProtlZpet::ZavriClick() {
    m_panel->close();
}

} // namespace prolis
