#include "mainwindow/MessageBoxPrompter.h"

#include <QMessageBox>

void MessageBoxPrompter::showMessage(MessageKind kind, const QString& caption, const QString& text) {
    const QMessageBox::Icon icon = kind == MessageKind::Error     ? QMessageBox::Critical
                                   : kind == MessageKind::Warning ? QMessageBox::Warning
                                                                  : QMessageBox::Information;
    QMessageBox box(icon, caption, text, QMessageBox::Ok, m_parent);
    box.exec();
}

bool MessageBoxPrompter::askYesNo(const QString& caption, const QString& text) {
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No, m_parent);
    return box.exec() == QMessageBox::Yes;
}
