#include "ProlisApplication.h"

#include "widgets/Translations.h"
#include "widgets/UiServices.h"

#include <QFont>
#include <QLibraryInfo>
#include <QTranslator>

namespace prolis {

ProlisApplication::ProlisApplication(int& argc, char** argv) : QApplication(argc, argv) {
    // The name only: a display name would make Qt append " — Prolis" to
    // every caption, and the captions are exactly the system's own.
    setApplicationName(AppTitle);
    installCzechTranslations(*this);
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
