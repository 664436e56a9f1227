#pragma once
// A masked edit field of digit positions ("99999; "): each position holds a
// digit or a blank, typing overwrites the position at the cursor, Backspace
// and Delete blank a position, the text always has all its positions and
// unfilled ones read as blanks. Qt's own input mask drops a blank typed
// between digits ("33 07" would read 3307); this one keeps it.
#include <QObject>
#include <QString>

class QLineEdit;

namespace prolis {

class DigitMask : public QObject {
public:
    DigitMask(QLineEdit* edit, int positions);

    // A text as the field takes it: its digits and blanks, at most the
    // positions, filled up with blanks (other characters are refused).
    static QString masked(const QString& text, int positions);
    // Sets the field's text through the mask.
    void setText(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void overwrite(const QString& typed);
    QLineEdit* m_edit;
    int m_positions;
};

} // namespace prolis
