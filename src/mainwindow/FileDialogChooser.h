#pragma once

#include "platform/FileChooser.h"

class QWidget;

// Files chosen in the platform's file dialogs over the given window. Opening asks for an existing file;
// saving asks for a file in an existing folder and asks before replacing one.
class FileDialogChooser : public FileChooser {
public:
    explicit FileDialogChooser(QWidget* parent = nullptr) : m_parent(parent) {}

    void setParent(QWidget* parent) { m_parent = parent; }

    QString openFileName(const Request& request) override;
    QString saveFileName(const Request& request) override;

private:
    QWidget* m_parent;
};
