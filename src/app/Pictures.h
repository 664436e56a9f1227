#pragma once
#include <QIcon>
#include <QPixmap>

namespace prolis {
// The main window's banner (570 x 90): a billet pressed through a die.
QPixmap bannerPixmap();
// The organisation's logo of the About box.
QPixmap logoPixmap(int width, int height);
// The program icon.
QIcon programIcon();
} // namespace prolis
