#include "U_ProtlDopr.h"

#include "U_VyberMat.h"
#include "core/HistoryActions.h"
#include "widgets/UiServices.h"
#include "domain/ForwardUnit.h"
#include "widgets/WindowOutputs.h"
#include "ui_U_ProtlDopr.h"
#include "widgets/Glyphs.h"
#include "widgets/HistoryPanel.h"
#include "widgets/MaterialDisplay.h"
#include "widgets/NumericKeyFilter.h"
#include "widgets/Pictures.h"
#include "widgets/WindowParts.h"

#include <QButtonGroup>
#include <QLabel>

namespace prolis {

using namespace fwd;

TProtlDopr* ProtlDopr = nullptr;

namespace {
constexpr int ClosedWidth = 310;
constexpr int OpenWidth = 631;
constexpr int Height = 446;

void setBackground(QWidget* w, QPalette::ColorRole role) {
    QPalette p = w->palette();
    p.setColor(w->backgroundRole(), QApplication::palette().color(role));
    w->setPalette(p);
}
} // namespace

TProtlDopr::TProtlDopr(QWidget* owner, ForwardOutputs* outputs)
    : QDialog(owner), m_ui(std::make_unique<Ui::TProtlDopr>()),
      m_ownOutputs(outputs ? nullptr : std::make_unique<WindowOutputs>(ui())),
      m_outputs(outputs ? outputs : m_ownOutputs.get()), m_keys(new NumericKeyFilter(this)),
      m_equation(new QButtonGroup(this)), m_die(new QButtonGroup(this)), m_saveAs(new QButtonGroup(this)) {
    ProtlDopr = this;
    m_ui->setupUi(this);
    setButtonGlyphs(this);
    setFixedSize(ClosedWidth, Height);
    centerOnScreen(this);
    m_panel = new HistoryPanel(this,
                               {m_ui->Label26, m_ui->ScrollBox1, m_ui->ListBox1, m_ui->Ulozit, m_ui->txt,
                                m_ui->doc, m_ui->Vymaz, m_ui->Tisk, m_ui->Otevri, m_ui->Zavri},
                               ClosedWidth, OpenWidth, Height, [this](int row) { ListBox1Click(row); });
    m_materialDisplay =
        new MaterialDisplay(this, {m_ui->Label28, m_ui->Label30, m_ui->Label29, m_ui->Label31}, m_ui->Panel3,
                            m_ui->Ulozitjako, m_ui->UlozitP);

    const QList<QRadioButton*> eq{m_ui->RcePretOdporu0, m_ui->RcePretOdporu1, m_ui->RcePretOdporu2,
                                  m_ui->RcePretOdporu3};
    for (int i = 0; i < eq.size(); ++i)
        m_equation->addButton(eq[i], i);
    m_die->addButton(m_ui->TypVypoctu0, 0);
    m_die->addButton(m_ui->TypVypoctu1, 1);
    m_saveAs->addButton(m_ui->Ulozitjako0, 0);
    m_saveAs->addButton(m_ui->Ulozitjako1, 1);
    m_ui->Ulozitjako0->setChecked(true);
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

    const auto on = [this](auto* sender, auto signal, auto handler) {
        connect(sender, signal, this, [this, handler] { guarded([this, handler] { (this->*handler)(); }); });
    };
    on(m_ui->VyberMaterial, &QPushButton::clicked, &TProtlDopr::VyberMaterialClick);
    on(m_ui->Ukoncit, &QPushButton::clicked, &TProtlDopr::UkoncitClick);
    on(m_ui->Vypocet, &QPushButton::clicked, &TProtlDopr::VypocetClick);
    on(m_ui->UlozitP, &QPushButton::clicked, &TProtlDopr::UlozitPClick);
    on(m_ui->TiskP, &QPushButton::clicked, &TProtlDopr::TiskPClick);
    on(m_ui->Otevri, &QPushButton::clicked, &TProtlDopr::OtevriClick);
    on(m_ui->Zavri, &QPushButton::clicked, &TProtlDopr::ZavriClick);
    on(m_equation, &QButtonGroup::idClicked, &TProtlDopr::RcePretOdporuClick);
    on(m_die, &QButtonGroup::idClicked, &TProtlDopr::TypVypoctuClick);
}

TProtlDopr::~TProtlDopr() {
    if (ProtlDopr == this) ProtlDopr = nullptr;
}

QList<QLineEdit*> TProtlDopr::edits() const {
    return {m_ui->Edit1, m_ui->Edit2, m_ui->Edit3, m_ui->Edit4,  m_ui->Edit5, m_ui->Edit6,
            m_ui->Edit7, m_ui->Edit8, m_ui->Edit9, m_ui->Edit10, m_ui->Edit11};
}

QList<QLabel*> TProtlDopr::validityLabels() const {
    return {m_ui->Label20, m_ui->Label21, m_ui->Label22, m_ui->Label24};
}

EquationKind TProtlDopr::equation() const {
    return static_cast<EquationKind>(m_equation->checkedId());
}

DieType TProtlDopr::dieType() const {
    return static_cast<DieType>(m_die->checkedId());
}

void TProtlDopr::selectEquation(int index) {
    m_equation->button(index)->setChecked(true);
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

std::optional<int> TProtlDopr::latestEntry() const {
    if (!m_latest) return std::nullopt;
    return forwardUnit().history.indexOf(*m_latest);
}

void TProtlDopr::VyberMaterialClick() {
    chooseMaterial(this, this);
}

void TProtlDopr::MaterialChosen(const Data& data) {
    forwardUnit().material = data;
    showChosenMaterial(data, m_ui->Label30, m_ui->Label31, m_equation);
    m_materialDisplay->relayout();
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
        m_ui->Edit8->clear();
        setBackground(m_ui->Edit8, QPalette::Window);
        m_ui->Edit8->setEnabled(false);
        m_ui->Label47->setText(QStringLiteral("2max"));
        m_ui->Edit10->setText(QStringLiteral("0,5"));
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
    ForwardUnit& unit = forwardUnit();
    const DataModel model(unit.material);
    // The record is complete before it enters the history: a calculation that
    // stops on an error leaves the history as it was.
    std::optional<Souhrn> record =
        runCalculation(unit.material, m_ui->Label30->text(), model, equation(), dieType(), inputs(), *this);
    if (!record) return;
    const quint64 serial = unit.addCalculation(std::move(*record));
    RebuildHistoryList(dieType() == DieType::WithCone ? SeparatorWithCone : SeparatorWithoutCone);
    m_ui->UlozitP->setEnabled(true);
    m_ui->TiskP->setEnabled(true);
    m_latest = serial;
}

void TProtlDopr::RebuildHistoryList(const QString& separator) {
    ForwardUnit& unit = forwardUnit();
    unit.sortHistory();
    QStringList lines;
    lines.reserve(unit.history.size());
    for (int i = 0; i < unit.history.size(); ++i)
        lines.append(historyLine(unit.history.at(i), separator));
    m_panel->setLines(lines);
}

void TProtlDopr::DeleteHistoryEntry(int index) {
    if (!confirmDeletion()) return;
    forwardUnit().history.remove(index);
    RebuildHistoryList(SeparatorWithCone);
    if (!latestEntry()) {
        // The latest calculation is gone: nothing for the buttons to act on.
        m_ui->UlozitP->setEnabled(false);
        m_ui->TiskP->setEnabled(false);
    }
    reportDeletion();
}

void TProtlDopr::UlozitPClick() {
    const auto latest = latestEntry();
    if (!latest) return;
    const Souhrn record = forwardUnit().history.at(*latest);
    if (m_saveAs->checkedId() == 0)
        m_outputs->WriteTextProtocol(record);
    else if (m_saveAs->checkedId() == 1)
        m_outputs->WriteWordDocument(record);
}

void TProtlDopr::TiskPClick() {
    if (const auto latest = latestEntry()) m_outputs->PrintReport(forwardUnit().history.at(*latest));
}

void TProtlDopr::ListBox1Click(int k) {
    if (k < 0 || k >= forwardUnit().history.size()) return;
    // A copy: an output must not see the history change under it.
    const Souhrn record = forwardUnit().history.at(k);
    runTickedActions(m_panel->checks(),
                     {[&] { m_outputs->WriteTextProtocol(record); },
                      [&] { m_outputs->WriteWordDocument(record); }, [&] { m_outputs->PrintReport(record); },
                      [&] { DeleteHistoryEntry(k); }});
}

void TProtlDopr::OtevriClick() {
    m_panel->open();
}

void TProtlDopr::ZavriClick() {
    m_panel->close();
}

} // namespace prolis
