#include "ProlisApplication.h"

#include "core/UiServices.h"

#include <QFont>

namespace prolis {

ProlisApplication::ProlisApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(AppTitle);
    setApplicationDisplayName(AppTitle);
}

bool ProlisApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        reportException(e);
    }
    return false;
}

void applyApplicationFont() {
    QFont f(QStringLiteral("Liberation Sans"));
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(11);
    QApplication::setFont(f);
}

} // namespace prolis
