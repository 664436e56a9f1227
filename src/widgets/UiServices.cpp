#include "UiServices.h"

#include "core/Errors.h"

#include <cstdio>

namespace prolis {

namespace {

// Used until an implementation is installed: prints to stderr, answers No.
class ConsoleUi final : public UiServices {
public:
    Answer message(MsgKind, const QString& caption, const QString& text, Buttons) override {
        std::fprintf(stderr, "%s: %s\n", qPrintable(caption),
                     qPrintable(QString(text).replace(QLatin1Char('\r'), QLatin1Char('\n'))));
        return Answer::No;
    }
    void beep() override {}
    QString saveFileName(const QString&, const QString&, const QString&) override { return {}; }
    QString openFileName(const QString&, const QString&) override { return {}; }
    void printPreview(const std::function<void(QPagedPaintDevice*)>&) override {}
    bool hasApplicationFor(const QString&) override { return false; }
    QString openDocument(const QString&) override { return QStringLiteral("no desktop"); }
    int startProgram(const QString&) override { return 2; }
    int execModal(QObject*) override { return 0; }
};

ConsoleUi g_console;
UiServices* g_ui = &g_console;

} // namespace

UiServices& ui() {
    return *g_ui;
}

UiServices* setUi(UiServices* services) {
    UiServices* previous = g_ui;
    g_ui = services ? services : &g_console;
    return previous;
}

void showMessage(const QString& text) {
    ui().message(MsgKind::Plain, AppTitle, text, Buttons::Ok);
}

bool confirm(const QString& text) {
    return ui().message(MsgKind::Confirmation, QStringLiteral("Confirm"), text, Buttons::YesNo) ==
           Answer::Yes;
}

void warning(const QString& text) {
    ui().message(MsgKind::Warning, QStringLiteral("Warning"), text, Buttons::Ok);
}

bool warningYesNo(const QString& text) {
    return ui().message(MsgKind::Warning, QStringLiteral("Warning"), text, Buttons::YesNo) == Answer::Yes;
}

void information(const QString& text) {
    ui().message(MsgKind::Information, QStringLiteral("Information"), text, Buttons::Ok);
}

void errorBox(const QString& text) {
    ui().message(MsgKind::Error, QStringLiteral("Error"), text, Buttons::Ok);
}

void reportError(const QString& message) {
    ui().message(MsgKind::Stop, AppTitle, errorDisplayText(message), Buttons::Ok);
}

void reportException(const std::exception& e) {
    if (auto* err = dynamic_cast<const Error*>(&e))
        reportError(err->message());
    else
        reportError(QString::fromUtf8(e.what()));
}

} // namespace prolis
