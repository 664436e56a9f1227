#include "CalculationFrame.h"

#include "Glyphs.h"
#include "Pictures.h"
#include "WindowParts.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>

namespace prolis {

namespace {
template <class T> T* control(QDialog* window, const char* name) {
    T* c = window->findChild<T*>(QLatin1String(name));
    Q_ASSERT_X(c, "CalculationFrame", name);
    return c;
}
} // namespace

CalculationFrame::CalculationFrame(QDialog* window, QLabel* historyTitle, QList<QPushButton*> latestButtons,
                                   std::function<void(int)> onLine)
    : m_window(window), m_equation(new QButtonGroup(window)), m_saveAs(new QButtonGroup(window)),
      m_latestButtons(std::move(latestButtons)), m_name(control<QLabel>(window, "Label30")),
      m_temperature(control<QLabel>(window, "Label31")) {
    setButtonGlyphs(window);
    window->setFixedSize(ClosedWidth, Height);
    centerOnScreen(window);
    auto* otevri = control<QPushButton>(window, "Otevri");
    auto* zavri = control<QPushButton>(window, "Zavri");
    m_panel = new HistoryPanel(window,
                               {historyTitle, control<QScrollArea>(window, "ScrollBox1"),
                                control<QListWidget>(window, "ListBox1"),
                                control<QCheckBox>(window, "Ulozit"), control<QCheckBox>(window, "txt"),
                                control<QCheckBox>(window, "doc"), control<QCheckBox>(window, "Vymaz"),
                                control<QCheckBox>(window, "Tisk"), otevri, zavri},
                               ClosedWidth, OpenWidth, Height, std::move(onLine));
    QObject::connect(otevri, &QPushButton::clicked, window, [this] { m_panel->open(); });
    QObject::connect(zavri, &QPushButton::clicked, window, [this] { m_panel->close(); });
    m_materialDisplay = new MaterialDisplay(
        window,
        {control<QLabel>(window, "Label28"), m_name, control<QLabel>(window, "Label29"), m_temperature},
        control<QWidget>(window, "Panel3"), control<QWidget>(window, "Ulozitjako"),
        control<QWidget>(window, "UlozitP"));
    for (int i = 0; i < 4; ++i)
        m_equation->addButton(
            control<QRadioButton>(window, ("RcePretOdporu" + QByteArray::number(i)).constData()), i);
    auto* text = control<QRadioButton>(window, "Ulozitjako0");
    m_saveAs->addButton(text, 0);
    m_saveAs->addButton(control<QRadioButton>(window, "Ulozitjako1"), 1);
    text->setChecked(true);
}

void CalculationFrame::showMaterial(const Data& data) {
    showChosenMaterial(data, m_name, m_temperature, m_equation);
    m_materialDisplay->relayout();
}

EquationKind CalculationFrame::equation() const {
    return static_cast<EquationKind>(m_equation->checkedId());
}

void CalculationFrame::selectEquation(int index) {
    m_equation->button(index)->setChecked(true);
}

int CalculationFrame::saveAs() const {
    return m_saveAs->checkedId();
}

void CalculationFrame::calculated(quint64 serial) {
    m_latest = serial;
    setLatestButtonsEnabled(true);
}

void CalculationFrame::setLatestButtonsEnabled(bool enabled) {
    for (QPushButton* b : m_latestButtons)
        b->setEnabled(enabled);
}

} // namespace prolis
