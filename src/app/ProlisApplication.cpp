#include "ProlisApplication.h"

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

bool installCzechTranslations(QCoreApplication& app) {
    // Qt's own texts (context menus, the file dialog, the print preview,
    // standard buttons) in Czech; the system's quoted texts are not translated.
    auto* translator = new QTranslator(&app);
    if (!translator->load(QLocale(QLocale::Czech, QLocale::CzechRepublic), QStringLiteral("qtbase"),
                          QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
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
