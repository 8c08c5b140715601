#pragma once

#include "platform/FileChooser.h"

#include <QList>

// Answers file questions from a script and records every question; one it was not given an answer for is
// cancelled and counted, so a test sees it instead of blocking.
class ScriptedFileChooser : public FileChooser {
public:
    struct Question {
        bool save;
        Request request;
    };

    // The answer to the next question; an empty path cancels.
    void answer(const QString& path) { m_answers.append(path); }

    QString openFileName(const Request& request) override { return take(false, request); }
    QString saveFileName(const Request& request) override { return take(true, request); }

    QList<Question> questions;
    int unexpected = 0;

private:
    QString take(bool save, const Request& request) {
        questions.append({save, request});
        if (m_answers.isEmpty()) {
            ++unexpected;
            return QString();
        }
        return m_answers.takeFirst();
    }

    QList<QString> m_answers;
};
