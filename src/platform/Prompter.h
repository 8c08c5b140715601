#pragma once

#include <QString>

enum class MessageKind { Error, Warning, Information };

// What an operation may show a person besides its progress: a message box and a yes/no question.
// Windows implement it with message boxes, the command-line tool prints and answers from its options,
// tests record every call.
class Prompter {
public:
    virtual ~Prompter() = default;

    virtual void showMessage(MessageKind kind, const QString& caption, const QString& text) = 0;
    // True for "yes".
    virtual bool askYesNo(const QString& caption, const QString& text) = 0;

    // The conventional error box: caption "Ошибка", error icon.
    void showError(const QString& text) { showMessage(MessageKind::Error, QStringLiteral("Ошибка"), text); }
};
