#include "WindowParts.h"

#include "domain/FlowModel.h"
#include "widgets/UiServices.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDialog>
#include <QEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>

namespace prolis {

namespace {
const QColor Red(255, 0, 0);

void setBackground(QWidget* w, const QColor& color) {
    QPalette p = w->palette();
    p.setColor(w->backgroundRole(), color);
    w->setPalette(p);
    w->setAutoFillBackground(true);
}
} // namespace

void setButtonFaceBackground(QWidget* w) {
    setBackground(w, QApplication::palette().color(QPalette::Button));
}
void setRedBackground(QWidget* w) {
    setBackground(w, Red);
}
void showChosenMaterial(const Data& data, QLabel* name, QLabel* temperature, QButtonGroup* equations) {
    for (QAbstractButton* b : equations->buttons())
        b->setEnabled(true);
    name->setText(data.nazev);
    temperature->setText(QString::number(data.teplo) + QStringLiteral("°C"));
    for (int k = 0; k < 4; ++k)
        if (!EquationAvailable(data, static_cast<EquationKind>(k))) equations->button(k)->setEnabled(false);
}

} // namespace prolis
