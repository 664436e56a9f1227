#include "CalculationFrame.h"

#include "WindowParts.h"

#include <QButtonGroup>
#include <QDialog>
#include <QPushButton>
#include <QRadioButton>

namespace prolis {

CalculationFrame::CalculationFrame(const CalculationForm& form, std::function<void(int)> onLine)
    : m_window(form.window),
      m_panel(new HistoryPanel(form.window, form.history, form.closedWidth, form.openWidth, form.height,
                               std::move(onLine))),
      m_materialDisplay(new MaterialDisplay(form.window, form.material, form.materialAbove, form.materialBeside,
                                            form.materialBelow)),
      m_equation(new QButtonGroup(form.window)), m_saveAs(new QButtonGroup(form.window)),
      m_latestButtons(form.latestButtons), m_name(form.material.name),
      m_temperature(form.material.temperature) {
    for (int i = 0; i < form.equations.size(); ++i)
        m_equation->addButton(form.equations[i], i);
    m_saveAs->addButton(form.saveAsText, 0);
    m_saveAs->addButton(form.saveAsWord, 1);
    form.saveAsText->setChecked(true);
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
