#pragma once
// A window's control by its object name, with its class; a missing control
// ends the test run at once (a renamed control is a broken form).
#include <QObject>
#include <QtGlobal>

namespace prolis::test {

template <class T> T* child(const QObject* window, const char* name) {
    T* c = window->findChild<T*>(QLatin1String(name));
    if (!c) qFatal("no control %s", name);
    return c;
}

} // namespace prolis::test
