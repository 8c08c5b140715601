#pragma once

#include <QApplication>

class Prompter;

// The desktop program's application object. A failure that escapes a command handler is shown as an error
// and the program goes on with the next event, instead of unwinding through the event loop, which Qt does
// not survive.
class TApplication : public QApplication {
public:
    TApplication(int& argc, char** argv);

    // Where escaped failures are reported; none set: they are only swallowed.
    void setReporter(Prompter* reporter) { m_reporter = reporter; }

    bool notify(QObject* receiver, QEvent* event) override;

private:
    void report(const QString& text);

    Prompter* m_reporter = nullptr;
};
