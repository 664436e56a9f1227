#include "NumericKeyFilter.h"

#include "core/NumericKey.h"
#include "widgets/UiServices.h"

#include <QKeyEvent>
#include <QLineEdit>

namespace prolis {

void NumericKeyFilter::attach(QLineEdit* edit, std::function<void()> onEnter) {
    edit->installEventFilter(this);
    m_fields.append({edit, std::move(onEnter)});
}

std::function<void()> NumericKeyFilter::enterAction(QObject* edit) const {
    for (const auto& f : m_fields)
        if (f.first == edit) return f.second;
    return {};
}

bool NumericKeyFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    auto* edit = qobject_cast<QLineEdit*>(watched);
    if (!edit) return false;
    QChar ch;
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
        ch = QChar(KeyEnter);
    else if (key->key() == Qt::Key_Backspace)
        ch = QChar(KeyBackspace);
    else if (!key->text().isEmpty())
        ch = key->text().front();
    else
        return false; // arrows, Delete, Home: not characters, the field handles them
    const KeyVerdict v = filterNumericKey(ch, edit->text());
    guarded([&] {
        if (v == KeyVerdict::Discard) {
            ui().beep();
        } else if (v == KeyVerdict::Enter) {
            if (auto action = enterAction(edit)) action();
        }
    });
    return v != KeyVerdict::Accept;
}

} // namespace prolis
