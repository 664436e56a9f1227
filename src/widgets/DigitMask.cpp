#include "DigitMask.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>

namespace prolis {

namespace {
bool fits(QChar c) {
    return (c >= u'0' && c <= u'9') || c == u' ';
}
} // namespace

DigitMask::DigitMask(QLineEdit* edit, int positions) : QObject(edit), m_edit(edit), m_positions(positions) {
    m_edit->setInputMask(QString());
    m_edit->setMaxLength(positions);
    m_edit->setText(masked(QString(), positions));
    m_edit->installEventFilter(this);
}

QString DigitMask::masked(const QString& text, int positions) {
    QString out;
    for (QChar c : text) {
        if (out.size() == positions) break;
        if (fits(c)) out.append(c);
    }
    return out.leftJustified(positions, QLatin1Char(' '));
}

void DigitMask::setText(const QString& text) {
    m_edit->setText(masked(text, m_positions));
    m_edit->setCursorPosition(0);
}

void DigitMask::overwrite(const QString& typed) {
    QString text = m_edit->text();
    int pos = m_edit->hasSelectedText() ? m_edit->selectionStart() : m_edit->cursorPosition();
    if (m_edit->hasSelectedText()) {
        // A selection is blanked first, as typing over it would.
        for (int i = m_edit->selectionStart(); i < m_edit->selectionEnd(); ++i)
            text[i] = QLatin1Char(' ');
    }
    for (QChar c : typed) {
        if (!fits(c) || pos >= m_positions) break;
        text[pos++] = c;
    }
    m_edit->setText(text);
    m_edit->setCursorPosition(pos);
}

bool DigitMask::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_edit || event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    QString text = m_edit->text();
    if (key->matches(QKeySequence::Paste)) {
        overwrite(QApplication::clipboard()->text());
        return true;
    }
    if (key->matches(QKeySequence::Cut) || key->matches(QKeySequence::Undo) ||
        key->matches(QKeySequence::Redo))
        return true;
    if (key->key() == Qt::Key_Backspace || key->key() == Qt::Key_Delete) {
        int from = m_edit->selectionStart(), to = from + m_edit->selectedText().size();
        if (!m_edit->hasSelectedText()) {
            from = m_edit->cursorPosition() - (key->key() == Qt::Key_Backspace ? 1 : 0);
            to = from + 1;
        }
        if (from < 0 || from >= m_positions) return true;
        for (int i = from; i < to; ++i)
            text[i] = QLatin1Char(' ');
        m_edit->setText(text);
        m_edit->setCursorPosition(from);
        return true;
    }
    const QString typed = key->text();
    if (typed.size() == 1 && typed[0].isPrint()) {
        if (fits(typed[0])) overwrite(typed);
        return true; // anything else is refused, as the mask refuses it
    }
    return QObject::eventFilter(watched, event);
}

} // namespace prolis
