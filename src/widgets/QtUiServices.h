#pragma once
// The real side effects: Qt message boxes, dialogs and the desktop.
#include "widgets/UiServices.h"

namespace prolis {

class QtUiServices final : public UiServices {
public:
    Answer message(MsgKind kind, const QString& caption, const QString& text, Buttons buttons) override;
    void beep() override;
    QString saveFileName(const QString& folder, const QString& proposed, const QString& filter) override;
    QString openFileName(const QString& folder, const QString& filter) override;
    void printPreview(const std::function<void(QPagedPaintDevice*)>& paint) override;
    bool hasApplicationFor(const QString& mimeType) override;
    QString openDocument(const QString& target) override;
    int startProgram(const QString& commandLine) override;
    int execModal(QObject* dialog) override;

private:
    QString m_lastType; // the type hasApplicationFor was asked about last
};

} // namespace prolis
