#pragma once

#include "platform/Prompter.h"

class QWidget;

// Messages and questions as application message boxes over the given window.
class MessageBoxPrompter : public Prompter {
public:
    explicit MessageBoxPrompter(QWidget* parent = nullptr) : m_parent(parent) {}

    void setParent(QWidget* parent) { m_parent = parent; }

    void showMessage(MessageKind kind, const QString& caption, const QString& text) override;
    bool askYesNo(const QString& caption, const QString& text) override;

private:
    QWidget* m_parent;
};
