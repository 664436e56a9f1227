#include "ProlisApplication.h"
#include "U_MainForm.h"
#include "domain/Journal.h"
#include "widgets/Glyphs.h"
#include "widgets/Pictures.h"
#include "widgets/ProjectCommands.h"
#include "widgets/QtUiServices.h"

#include <QScreen>
#include <QTimer>

int main(int argc, char** argv) {
    prolis::ProlisApplication app(argc, argv);
    prolis::QtUiServices services;
    prolis::setUi(&services);
    prolis::applyApplicationFont();
    app.setWindowIcon(prolis::programIcon());

    // The run's journal: every change of a history is on disk until the
    // program ends cleanly.
    prolis::journal::Journal journal(prolis::journal::stateFolder());
    prolis::journal::installRunJournal(&journal);

    prolis::TMainForm mainForm;
    mainForm.adjustSize();
    const QRect screen = app.primaryScreen()->availableGeometry();
    mainForm.move(screen.center() - mainForm.rect().center());
    mainForm.show();
    // A run that ended without closing its journal is offered back once the
    // main window stands.
    QTimer::singleShot(0, &mainForm, [&journal] { prolis::guarded([&] { prolis::restorePreviousRun(journal); }); });
    const int code = app.exec();
    prolis::journal::installRunJournal(nullptr);
    journal.close();
    return code;
}
