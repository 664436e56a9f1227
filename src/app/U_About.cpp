#include "U_About.h"

#include "SystemInfo.h"
#include "ui_U_About.h"
#include "widgets/Glyphs.h"
#include "widgets/Pictures.h"
#include "widgets/UiServices.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace prolis {

TAboutBox::TAboutBox(QWidget* owner) : TAboutBox(readSystemFacts(), owner) {}

TAboutBox::TAboutBox(const SystemFacts& facts, QWidget* owner)
    : QDialog(owner), m_ui(std::make_unique<Ui::TAboutBox>()) {
    m_ui->setupUi(this);
    setButtonGlyphs(this);
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

TAboutBox::~TAboutBox() {}

void TAboutBox::FormCreate(const SystemFacts& facts) {
    m_ui->OperSys->setText(facts.osLine);
    m_ui->Memory->setText(facts.memoryLine);
    m_ui->CPU->setText(facts.cpuLine);
    fitMachineLines();
}

void TAboutBox::fitMachineLines() {
    // The machine lines are shown whole: the box widens for the longest one
    // (a long kernel release or processor name), the OK button stays centred.
    int needed = 0;
    for (const QLabel* l : {m_ui->OperSys, m_ui->Memory, m_ui->CPU})
        needed = std::max(needed, l->fontMetrics().horizontalAdvance(l->text()) + 4);
    const int extra = needed - m_ui->OperSys->width();
    if (extra <= 0) return;
    for (QWidget* w : std::initializer_list<QWidget*>{m_ui->OperSys, m_ui->Memory, m_ui->CPU, m_ui->Panel1,
                                                      m_ui->ProgressBar1, m_ui->ProgressBar2, m_ui->Label8})
        w->resize(w->width() + extra, w->height());
    m_ui->OKButton->move(m_ui->OKButton->x() + extra / 2, m_ui->OKButton->y());
    setFixedSize(width() + extra, height());
    centerOnScreen(this);
}

void TAboutBox::Label2Click() {
    ui().openDocument(m_ui->Label2->text() + QLatin1Char('/'));
}

void TAboutBox::keyPressEvent(QKeyEvent* e) {
    // Only OK (and its Enter), the close box and Alt+F4 close the box; Esc
    // is no key of it.
    if (e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier) {
        e->accept();
        return;
    }
    QDialog::keyPressEvent(e);
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
