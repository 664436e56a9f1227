#pragma once
#include <QPixmap>
#include <QSize>
class QWidget;

namespace prolis {
// The main window's banner (570 x 90): a billet pressed through a die.
QPixmap bannerPixmap();
// The organisation's logo of the About box.
QPixmap logoPixmap(int width, int height);
// Places a window in the centre of its screen.
void centerOnScreen(QWidget* w);
// Gives a window the size it wants as far as the screen's available area
// holds it, its frame included, and centres it there.
void fitIntoScreen(QWidget* w, const QSize& wanted);
} // namespace prolis
