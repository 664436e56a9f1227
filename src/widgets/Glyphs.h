#pragma once
// The small pictures of the buttons and the program's icon, drawn from the
// SVG files of one set (widgets/glyphs). A glyph has two states: its colours
// while the button is enabled, and grey while it is not.
#include <QIcon>
#include <QString>

class QWidget;

namespace prolis {

// The glyph of a button by its object name ("Vypocet" -> the calculator), or
// an empty name when the button has none.
QString glyphNameFor(const QString& buttonName);

// The two-state icon of a glyph ("calculate", "save", ...); a null icon for
// an unknown name.
QIcon glyphIcon(const QString& glyph);

// Gives every push button of the window that has a glyph its picture.
void setButtonGlyphs(QWidget* window);

// The program's icon (the window icon), from the same set.
QIcon programIcon();

} // namespace prolis
