#include "U_MainForm.h"

#include "Companion.h"
#include "U_About.h"
#include "U_IniData.h"
#include "U_Password.h"
#include "WindowCommands.h"
#include "db/ConnectionSettings.h"
#include "ui_U_MainForm.h"
#include "widgets/Glyphs.h"
#include "widgets/Pictures.h"
#include "widgets/ProjectCommands.h"
#include "widgets/UiServices.h"

#include <QAction>
#include <QLayout>

namespace prolis {

TMainForm::TMainForm(QWidget* parent) : QMainWindow(parent), m_ui(std::make_unique<Ui::TMainForm>()) {
    m_ui->setupUi(this);
    setWindowIcon(programIcon());
    m_ui->Image3->setPixmap(bannerPixmap());
    QFont banner = m_ui->Label1->font();
    banner.setPixelSize(23);
    m_ui->Label1->setFont(banner);
    // "&Editace" starts the companion that maintains the material database.
    // Without one beside the program the item stays hidden, in no menu, so
    // neither the menu nor an accelerator can reach it; with MatEdit there
    // it is the last item of "Databáze".
    const bool companion = companionInstalled();
    m_ui->Editace->setVisible(companion);
    m_ui->Editace->setEnabled(companion);
    if (companion) m_ui->Databaze->addAction(m_ui->Editace);
    // A fixed client area of 572 x 130 below the menu bar.
    m_ui->centralwidget->setFixedSize(572, 130);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    const auto bind = [this](QAction* a, void (TMainForm::*handler)()) {
        connect(a, &QAction::triggered, this,
                [this, handler] { guarded([this, handler] { (this->*handler)(); }); });
    };
    bind(m_ui->Vypis, &TMainForm::VypisClick);
    bind(m_ui->NastaveniDB, &TMainForm::NastaveniDBClick);
    bind(m_ui->Editace, &TMainForm::EditaceClick);
    bind(m_ui->Dopredne, &TMainForm::DopredneClick);
    bind(m_ui->Zpetne, &TMainForm::ZpetneClick);
    bind(m_ui->UlozitVypocty, &TMainForm::UlozitVypoctyClick);
    bind(m_ui->OtevritVypocty, &TMainForm::OtevritVypoctyClick);
    bind(m_ui->About, &TMainForm::AboutClick);
    bind(m_ui->Konec, &TMainForm::KonecClick);
    guarded([this] { FormCreate(); });
}

TMainForm::~TMainForm() = default;

void TMainForm::FormCreate() {
    loadConnectionSettings([this] {
        TPassword dialog(this);
        ui().execModal(&dialog);
    });
}

void TMainForm::VypisClick() {
    openMaterialListing(this);
}

void TMainForm::EditaceClick() {
    startCompanion();
}

void TMainForm::NastaveniDBClick() {
    TIniData dialog(this);
    ui().execModal(&dialog);
}

void TMainForm::DopredneClick() {
    openForwardWindow(this);
}

void TMainForm::ZpetneClick() {
    openBackwardWindow(this);
}

void TMainForm::UlozitVypoctyClick() {
    saveCalculations();
}

void TMainForm::OtevritVypoctyClick() {
    openCalculations();
}

void TMainForm::AboutClick() {
    TAboutBox dialog(this);
    ui().execModal(&dialog);
}

void TMainForm::KonecClick() {
    if (confirm(QStringLiteral("Skutečně chcete ukončit program ?"))) close();
}

} // namespace prolis
