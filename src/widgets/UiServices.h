#pragma once
// Every side effect a user sees goes through this one interface: message boxes,
// the beep, the save dialog, the print preview, opening a document, starting a
// program, and the modal showing of a window. The application installs the Qt
// implementation; tests install a recorder that plays scripted answers.
#include <QString>
#include <functional>

class QObject;
class QPagedPaintDevice;

namespace prolis {

inline const QString AppTitle = QStringLiteral("Prolis");

enum class MsgKind { Plain, Confirmation, Warning, Information, Error, Stop };
enum class Buttons { Ok, YesNo };
enum class Answer { Ok, Yes, No, Cancel };

class UiServices {
public:
    virtual ~UiServices() = default;
    // A modal message box; `text` may hold "\r" line breaks.
    virtual Answer message(MsgKind kind, const QString& caption, const QString& text, Buttons buttons) = 0;
    // The system's default beep for a refused key.
    virtual void beep() = 0;
    // A save-file dialog without a title, starting in `folder` with the name
    // `proposed`, no default extension and no overwrite question; the chosen
    // path, or an empty text when cancelled.
    virtual QString saveFileName(const QString& folder, const QString& proposed, const QString& filter) = 0;
    // An open-file dialog starting in `folder`; the chosen path, or an empty
    // text when cancelled.
    virtual QString openFileName(const QString& folder, const QString& filter) = 0;
    // A modal print preview of the pages that `paint` draws on the printer it gets.
    virtual void printPreview(const std::function<void(QPagedPaintDevice*)>& paint) = 0;
    // Whether the desktop has an application registered for a MIME type.
    virtual bool hasApplicationFor(const QString& mimeType) = 0;
    // Opens a document or a web address with the desktop's handler; an empty
    // text when it was handed over, otherwise the reason it was not.
    virtual QString openDocument(const QString& target) = 0;
    // Starts a program by its command line, not awaited. Returns a result in
    // the manner of the old start call: 0 out of resources, 2 file not found,
    // 3 path not found, 11 not executable, above 31 started.
    virtual int startProgram(const QString& commandLine) = 0;
    // Shows a window (a QDialog) modally and returns its result code.
    virtual int execModal(QObject* dialog) = 0;
};

UiServices& ui();
// Installs the implementation (not owned); returns the previous one.
UiServices* setUi(UiServices* services);

// The message boxes of the system, with their captions and buttons.
void showMessage(const QString& text);  // plain: "Prolis", no icon, OK
bool confirm(const QString& text);      // "Confirm", question icon, Yes/No
void warning(const QString& text);      // "Warning", OK
bool warningYesNo(const QString& text); // "Warning", Yes/No
void information(const QString& text);  // "Information", OK
void errorBox(const QString& text);     // "Error", OK

// The top-level error handler: caption "Prolis", stop icon, OK; the text
// with "." appended by the rule of errorDisplayText. The program goes on.
void reportError(const QString& message);
void reportException(const std::exception& e);

// Runs an event handler; any error that leaves it goes to the top-level handler.
template <typename F> void guarded(F&& f) {
    try {
        f();
    } catch (const std::exception& e) {
        reportException(e);
    }
}

} // namespace prolis
