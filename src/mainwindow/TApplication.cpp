#include "mainwindow/TApplication.h"

#include "platform/KavorError.h"
#include "platform/Prompter.h"

#include <exception>

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const KavorError& e) {
        report(e.text());
    } catch (const std::exception& e) {
        report(QString::fromLocal8Bit(e.what()));
    }
    return false;
}

void TApplication::report(const QString& text) {
    if (m_reporter)
        m_reporter->showError(text);
}
