#include "ProlisApplication.h"
#include "U_MainForm.h"
#include "widgets/Glyphs.h"
#include "widgets/Pictures.h"
#include "widgets/QtUiServices.h"

#include <QScreen>

int main(int argc, char** argv) {
    prolis::ProlisApplication app(argc, argv);
    prolis::QtUiServices services;
    prolis::setUi(&services);
    prolis::applyApplicationFont();
    app.setWindowIcon(prolis::programIcon());

    prolis::TMainForm mainForm;
    mainForm.adjustSize();
    const QRect screen = app.primaryScreen()->availableGeometry();
    mainForm.move(screen.center() - mainForm.rect().center());
    mainForm.show();
    return app.exec();
}
