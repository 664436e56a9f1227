#include "U_About.h"

#include "Pictures.h"
#include "SystemInfo.h"
#include "core/UiServices.h"
#include "ui_U_About.h"

#include <QMouseEvent>

namespace prolis {

TAboutBox* AboutBox = nullptr;

TAboutBox::TAboutBox(QWidget* owner) : TAboutBox(readSystemFacts(), owner) {}

TAboutBox::TAboutBox(const SystemFacts& facts, QWidget* owner)
    : QDialog(owner), m_ui(std::make_unique<Ui::TAboutBox>()) {
    AboutBox = this;
    m_ui->setupUi(this);
    setFixedSize(size());
    centerOnScreen(this);
    m_ui->ProgramIcon->setPixmap(logoPixmap(189, 78));
    QFont linkFont = m_ui->Label2->font();
    linkFont.setUnderline(true);
    m_ui->Label2->setFont(linkFont);
    m_ui->Label2->setStyleSheet(QStringLiteral("color: blue;"));
    m_ui->Label2->setCursor(Qt::PointingHandCursor);
    m_ui->Label2->installEventFilter(this);
    connect(m_ui->OKButton, &QPushButton::clicked, this, &QDialog::accept);
    guarded([&] { FormCreate(facts); });
}

TAboutBox::~TAboutBox() {
    if (AboutBox == this) AboutBox = nullptr;
}

void TAboutBox::FormCreate(const SystemFacts& facts) {
    m_ui->OperSys->setText(facts.osLine);
    m_ui->Memory->setText(facts.memoryLine);
    m_ui->CPU->setText(facts.cpuLine);
}

void TAboutBox::Label2Click() {
    ui().openDocument(m_ui->Label2->text() + QLatin1Char('/'));
}

bool TAboutBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_ui->Label2 && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        guarded([this] { Label2Click(); });
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace prolis
