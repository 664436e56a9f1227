#pragma once
// A test double of the UI services: records every call in order and plays
// scripted answers (Yes unless told otherwise).
#include "widgets/UiServices.h"

#include <QObject>

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

namespace prolis::test {

struct MessageCall {
    MsgKind kind;
    QString caption;
    QString text;
    Buttons buttons;
};

class RecordingUi final : public UiServices {
public:
    RecordingUi() { m_previous = setUi(this); }
    ~RecordingUi() override { setUi(m_previous); }

    Answer message(MsgKind kind, const QString& caption, const QString& text, Buttons buttons) override {
        messages.append({kind, caption, text, buttons});
        log.append(QStringLiteral("message:") + text);
        if (buttons == Buttons::Ok) return Answer::Ok;
        if (!answers.isEmpty()) return answers.takeFirst();
        return defaultAnswer;
    }
    void beep() override {
        ++beeps;
        log.append(QStringLiteral("beep"));
    }
    QString openFileName(const QString& folder, const QString& filter) override {
        log.append(QStringLiteral("open file:") + folder + QLatin1Char('|') + filter);
        return openAnswers.isEmpty() ? QString() : openAnswers.takeFirst();
    }
    QString saveFileName(const QString& folder, const QString& proposed, const QString& filter) override {
        log.append(QStringLiteral("save:") + folder + QLatin1Char('|') + proposed + QLatin1Char('|') +
                   filter);
        return saveAnswers.isEmpty() ? QString() : saveAnswers.takeFirst();
    }
    void printPreview(const std::function<void(QPagedPaintDevice*)>& paint) override {
        log.append(QStringLiteral("preview"));
        if (onPreview) onPreview(paint);
    }
    bool hasApplicationFor(const QString& mimeType) override { return registeredTypes.contains(mimeType); }
    QString openDocument(const QString& target) override {
        log.append(QStringLiteral("open:") + target);
        return openFailure;
    }
    int startProgram(const QString& commandLine) override {
        log.append(QStringLiteral("start:") + commandLine);
        return startResults.isEmpty() ? 33 : startResults.takeFirst();
    }
    int execModal(QObject* dialog) override {
        log.append(QStringLiteral("modal:") + dialog->objectName());
        if (onModal) return onModal(dialog);
        return 0;
    }

    QStringList texts() const {
        QStringList t;
        for (const auto& m : messages)
            t.append(m.text);
        return t;
    }
    void clear() {
        messages.clear();
        log.clear();
        beeps = 0;
    }

    QList<MessageCall> messages;
    QStringList log;
    QList<Answer> answers;
    Answer defaultAnswer = Answer::Yes;
    QStringList saveAnswers;
    QStringList openAnswers; // paths the open-file dialog answers, in order
    QList<int> startResults;
    int beeps = 0;
    std::function<int(QObject*)> onModal;
    QStringList registeredTypes; // MIME types with an application
    QString openFailure;         // the reason opening fails, empty: it opens
    // Called with what the preview would paint (a test may paint it somewhere).
    std::function<void(const std::function<void(QPagedPaintDevice*)>&)> onPreview;

private:
    UiServices* m_previous = nullptr;
};

} // namespace prolis::test
