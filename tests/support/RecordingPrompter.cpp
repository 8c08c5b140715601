#include "RecordingPrompter.h"

#include <QStringList>

void RecordingPrompter::showMessage(MessageKind kind, const QString& caption, const QString& text) {
    messages.append({kind, caption, text});
}

bool RecordingPrompter::askYesNo(const QString& caption, const QString& text) {
    questions.append(caption + ": " + text);
    if (m_answers.isEmpty()) {
        ++unexpectedQuestions;
        return false;
    }
    return m_answers.takeFirst();
}

QStringList RecordingPrompter::texts() const {
    QStringList result;
    for (const Message& m : messages)
        result.append(m.text);
    return result;
}
