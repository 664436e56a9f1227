#pragma once
// Installs the number-field rule on line edits: refused characters beep through
// the UI services, Enter runs the field's "next" action (a focus move).
#include <QObject>
#include <functional>

class QLineEdit;

namespace prolis {

class NumericKeyFilter : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    void attach(QLineEdit* edit, std::function<void()> onEnter);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void()> enterAction(QObject* edit) const;
    QList<QPair<QObject*, std::function<void()>>> m_fields;
};

} // namespace prolis
