#include "U_ProtlDopr.h"

#include "U_VyberMat.h"
#include "domain/ForwardUnit.h"
#include "ui_U_ProtlDopr.h"
#include "widgets/CalculationFrame.h"
#include "widgets/NumericKeyFilter.h"
#include "widgets/UiServices.h"
#include "widgets/WindowOutputs.h"
#include "widgets/WindowParts.h"

#include <QButtonGroup>
#include <QLabel>

namespace prolis {

using namespace fwd;

namespace {

void setBackground(QWidget* w, QPalette::ColorRole role) {
    QPalette p = w->palette();
    p.setColor(w->backgroundRole(), QApplication::palette().color(role));
    w->setPalette(p);
}
} // namespace

TProtlDopr::TProtlDopr(QWidget* owner, ForwardOutputs* outputs)
    : CalculationWindow(owner), m_ui(std::make_unique<Ui::TProtlDopr>()),
      m_ownOutputs(outputs ? nullptr : std::make_unique<WindowOutputs>(ui())),
      m_outputs(outputs ? outputs : m_ownOutputs.get()), m_keys(new NumericKeyFilter(this)),
      m_die(new QButtonGroup(this)) {
    m_ui->setupUi(this);
    m_frame = std::make_unique<CalculationFrame>(this, m_ui->Label26,
                                                 QList<QPushButton*>{m_ui->UlozitP, m_ui->TiskP},
                                                 [this](int row) { ListBox1Click(row); });
    m_die->addButton(m_ui->TypVypoctu0, 0);
    m_die->addButton(m_ui->TypVypoctu1, 1);
    for (QLabel* l : validityLabels())
        setButtonFaceBackground(l);

    // Enter moves on; without the cone the angle and f2 are skipped.
    const QList<QLineEdit*> e = edits();
    for (int i = 0; i < e.size(); ++i) {
        m_keys->attach(e[i], [this, i, e] {
            const bool noCone = dieType() == DieType::WithoutCone;
            if (i == 10)
                m_ui->Vypocet->setFocus(Qt::TabFocusReason);
            else if ((i == 6 || i == 8) && noCone)
                e[i + 2]->setFocus(Qt::TabFocusReason);
            else
                e[i + 1]->setFocus(Qt::TabFocusReason);
        });
    }

    m_frame->on(m_ui->VyberMaterial, &QPushButton::clicked, [this] { VyberMaterialClick(); });
    m_frame->on(m_ui->Ukoncit, &QPushButton::clicked, [this] { UkoncitClick(); });
    m_frame->on(m_ui->Vypocet, &QPushButton::clicked, [this] { VypocetClick(); });
    m_frame->on(m_ui->UlozitP, &QPushButton::clicked, [this] { UlozitPClick(); });
    m_frame->on(m_ui->TiskP, &QPushButton::clicked, [this] { TiskPClick(); });
    m_frame->on(m_frame->equationGroup(), &QButtonGroup::idClicked, [this] { RcePretOdporuClick(); });
    m_frame->on(m_die, &QButtonGroup::idClicked, [this] { TypVypoctuClick(); });
}

TProtlDopr::~TProtlDopr() {}

QList<QLineEdit*> TProtlDopr::edits() const {
    return {m_ui->Edit1, m_ui->Edit2, m_ui->Edit3, m_ui->Edit4,  m_ui->Edit5, m_ui->Edit6,
            m_ui->Edit7, m_ui->Edit8, m_ui->Edit9, m_ui->Edit10, m_ui->Edit11};
}

QList<QLabel*> TProtlDopr::validityLabels() const {
    return {m_ui->Label20, m_ui->Label21, m_ui->Label22, m_ui->Label24};
}

DieType TProtlDopr::dieType() const {
    return static_cast<DieType>(m_die->checkedId());
}

void TProtlDopr::selectEquation(int index) {
    m_frame->selectEquation(index);
    guarded([this] { RcePretOdporuClick(); });
}

void TProtlDopr::selectDieType(int index) {
    m_die->button(index)->setChecked(true);
    guarded([this] { TypVypoctuClick(); });
}

Inputs TProtlDopr::inputs() const {
    return Inputs{m_ui->Edit1->text(), m_ui->Edit2->text(),  m_ui->Edit3->text(), m_ui->Edit4->text(),
                  m_ui->Edit5->text(), m_ui->Edit6->text(),  m_ui->Edit7->text(), m_ui->Edit8->text(),
                  m_ui->Edit9->text(), m_ui->Edit10->text(), m_ui->Edit11->text()};
}

void TProtlDopr::VyberMaterialClick() {
    chooseMaterial(this, this);
}

void TProtlDopr::UkoncitClick() {
    if (confirm(QStringLiteral("Skutečně chcete ukončit výpočty Dopředného Protlačování ?"))) accept();
}

void TProtlDopr::ApplyCalculationType() {
    if (dieType() == DieType::WithCone) {
        setBackground(m_ui->Edit8, QPalette::Base);
        m_ui->Edit8->setEnabled(true);
        m_ui->Label47->setText(QStringLiteral("2"));
        m_ui->Edit10->setEnabled(true);
    } else if (dieType() == DieType::WithoutCone) {
        // The die's own rule for the angle and f2, shown in their fields.
        Inputs in = inputs();
        adjustInputsForDie(in, DieType::WithoutCone);
        m_ui->Edit8->setText(in.alpha2);
        setBackground(m_ui->Edit8, QPalette::Window);
        m_ui->Edit8->setEnabled(false);
        m_ui->Label47->setText(QStringLiteral("2max"));
        m_ui->Edit10->setText(in.f2);
        m_ui->Edit10->setEnabled(false);
    }
}

void TProtlDopr::RcePretOdporuClick() {
    if (dieType() != DieType::None) ApplyCalculationType();
}

void TProtlDopr::TypVypoctuClick() {
    if (equation() == EquationKind::None) {
        warning(MsgNoEquation);
        return;
    }
    ApplyCalculationType();
}

void TProtlDopr::inputMissing(const InputProblem& problem) {
    warning(problem.message);
    if (problem.focusField > 0) edits()[problem.focusField - 1]->setFocus(Qt::TabFocusReason);
}

void TProtlDopr::validityStarts() {
    for (QLabel* l : validityLabels())
        setButtonFaceBackground(l);
}

void TProtlDopr::showValidity(const Validity& v) {
    const QList<QLabel*> labels = validityLabels();
    for (int i = 0; i < 4; ++i) {
        labels[i]->setText(v.rows[static_cast<size_t>(i)].text);
        if (!v.rows[static_cast<size_t>(i)].inRange) setRedBackground(labels[i]);
    }
}

bool TProtlDopr::ask(const Ratio& ratio) {
    return warningYesNo(ratio.question);
}

void TProtlDopr::declined(const Ratio& ratio) {
    information(ratio.refusal);
    m_ui->Edit1->setFocus(Qt::TabFocusReason);
}

void TProtlDopr::VypocetClick() {
    const std::optional<quint64> serial =
        forwardUnit().calculate(m_ui->Label30->text(), equation(), dieType(), inputs(), *this);
    if (!serial) return;
    RebuildHistoryList(dieType() == DieType::WithCone ? SeparatorWithCone : SeparatorWithoutCone);
    m_frame->calculated(*serial);
}

void TProtlDopr::RebuildHistoryList(const QString& separator) {
    m_frame->rebuildList(forwardUnit(), [&](const Souhrn& r) { return historyLine(r, separator); });
}

void TProtlDopr::DeleteHistoryEntry(int index) {
    if (!m_frame->deleteEntry(forwardUnit(), index, [this] { RebuildHistoryList(SeparatorWithCone); }))
        return;
    // The latest calculation gone: nothing for the buttons to act on.
    if (!latestEntry()) m_frame->setLatestButtonsEnabled(false);
    reportDeletion();
}

void TProtlDopr::UlozitPClick() {
    const auto latest = latestEntry();
    if (!latest) return;
    const Souhrn record = forwardUnit().history.at(*latest);
    if (m_frame->saveAs() == 0)
        m_outputs->WriteTextProtocol(record);
    else if (m_frame->saveAs() == 1)
        m_outputs->WriteWordDocument(record);
}

void TProtlDopr::TiskPClick() {
    if (const auto latest = latestEntry()) m_outputs->PrintReport(forwardUnit().history.at(*latest));
}

void TProtlDopr::ListBox1Click(int k) {
    if (k < 0 || k >= forwardUnit().history.size()) return;
    m_frame->lineActions(forwardUnit().history.at(k), *m_outputs, [&] { DeleteHistoryEntry(k); });
}

} // namespace prolis
