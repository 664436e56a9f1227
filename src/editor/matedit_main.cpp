// MatEdit: the companion that maintains the material database. With options
// it runs without windows (import, export); without them it opens its windows.
#include "MatEditCli.h"
#include "MaterialStore.h"
#include "U_MatEdit.h"
#include "cli/TerminalPassword.h"
#include "core/Errors.h"
#include "db/ConnectionSettings.h"
#include "widgets/Glyphs.h"
#include "widgets/QtUiServices.h"
#include "widgets/Translations.h"
#include "widgets/UiServices.h"

#include <QApplication>
#include <QFile>
#include <unistd.h>

namespace {
// The database driver's own warnings ("QMYSQLResult::cleanup: unable to
// free statement handle" after a lost connection) are no message for the
// user: MatEdit says in Czech what happened.
QtMessageHandler g_defaultHandler = nullptr;
void quietDriver(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type != QtFatalMsg && (text.startsWith(QLatin1String("QMYSQL")) || text.startsWith(QLatin1String("QSql"))))
        return;
    g_defaultHandler(type, context, text);
}
} // namespace

int main(int argc, char** argv) {
    g_defaultHandler = qInstallMessageHandler(quietDriver);
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    if (prolis::edit::isCommandLine(args)) {
        QCoreApplication app(argc, argv);
        QFile out;
        out.open(STDOUT_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered);
        QTextStream err(stderr);
        return prolis::edit::runCommandLine(
            args, out, err, {QCoreApplication::applicationDirPath(), prolis::cli::askPassword});
    }
    QApplication app(argc, argv);
    prolis::installCzechTranslations(app); // Qt's own dialogs and buttons in Czech, as in Prolis
    app.setWindowIcon(prolis::programIcon());
    prolis::QtUiServices services;
    prolis::setUi(&services);
    // The connection of the settings file beside the program, as Prolis has
    // it, with an account that may write.
    prolis::ConnectionSettings settings;
    const QString ini =
        prolis::settingsFileIn(QCoreApplication::applicationDirPath(), QStringLiteral("prolis.ini"));
    try {
        prolis::readSettingsFile(ini, settings);
    } catch (const prolis::Error& e) {
        prolis::reportError(e.message());
        return 3;
    }
    prolis::MaterialConnection connection;
    for (;;) {
        QString user =
            settings.User == QLatin1String("prolis") ? QStringLiteral("prolis_editor") : settings.User;
        QString password;
        if (!prolis::edit::askAccount(nullptr, user, password)) return 0;
        settings.User = user;
        settings.Password = password;
        try {
            connection.connect(settings);
            break;
        } catch (const prolis::Error& e) {
            prolis::errorBox(QStringLiteral("Nepodařilo se připojit k databázi.\r") +
                             prolis::errorDisplayText(e.message()));
        }
    }
    prolis::edit::MaterialStore store(connection, settings); // reconnects after a lost connection
    prolis::edit::TMatEdit window(store);
    window.show();
    return app.exec();
}
