#pragma once
#include "widgets/Translations.h"

#include <QApplication>

namespace prolis {

// The application object; an error that leaves an event handler unhandled is
// shown by the top-level handler and the program goes on.
class ProlisApplication : public QApplication {
public:
    ProlisApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};


// The application font: the platform's sans at the 11-pixel size the windows
// were laid out for.
void applyApplicationFont();

} // namespace prolis
