#pragma once

#include "platform/Prompter.h"

#include <QList>
#include <QString>

// Records every message; a question it was not told to expect is answered "no" and recorded as unexpected,
// so a test sees it instead of blocking.
class RecordingPrompter : public Prompter {
public:
    struct Message {
        MessageKind kind;
        QString caption;
        QString text;
    };

    void showMessage(MessageKind kind, const QString& caption, const QString& text) override;
    bool askYesNo(const QString& caption, const QString& text) override;

    // Answers for the next questions, in order.
    void expectQuestion(bool answer) { m_answers.append(answer); }

    QList<Message> messages;
    QList<QString> questions;
    int unexpectedQuestions = 0;

    // The texts of the messages, for comparing in one assertion.
    QStringList texts() const;

private:
    QList<bool> m_answers;
};
