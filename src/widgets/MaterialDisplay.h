#pragma once
// The chosen material under the calculation side of a window: the caption
// "Aktuální materiál :" with the name, and "teplota :" with the temperature.
// A name too long for one line beside the caption takes a line of its own
// under it (when the "Uložit jako" group narrows the row), and wraps (at
// blanks, inside a word only when a word alone is too long) when it is
// longer still; the rows move up just enough to stay clear of the buttons
// below, and nothing overlaps the "Uložit jako" group beside them.
// A name longer than the space holds ends in "…"; its tool tip shows it all.
#include <QObject>

class QLabel;
class QWidget;

namespace prolis {

class MaterialDisplay : public QObject {
public:
    struct Labels {
        QLabel *caption, *name, *temperatureCaption, *temperature;
    };
    // `above`: the frame whose bottom the rows stay under; `beside`: the group
    // whose left edge they stay short of while it is visible; `below`: the
    // button whose top they stay above.
    MaterialDisplay(QWidget* window, const Labels& labels, QWidget* above, QWidget* beside, QWidget* below);

    // Places the rows for the name the label holds now.
    void relayout();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_window;
    Labels m_l;
    QWidget *m_above, *m_beside, *m_below;
    int m_defaultTop;
    int m_nameLeft;  // the name's left edge beside the caption
    int m_lines = 1; // lines of the name shown
};

} // namespace prolis
