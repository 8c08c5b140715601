#include "mainwindow/TApplication.h"
#include "platform/KavorError.h"
#include "RecordingPrompter.h"

#include <QEvent>
#include <QTest>

#include <stdexcept>

namespace {

// Fails on the first event it gets, as a command handler that raises does; counts the events after it.
class FailingReceiver : public QObject {
public:
    int delivered = 0;

protected:
    bool event(QEvent* e) override {
        if (e->type() != QEvent::User)
            return QObject::event(e);
        if (++delivered == 1)
            throw KavorError(QStringLiteral("Не указан идентификатор"));
        if (delivered == 2)
            throw std::runtime_error("bad_alloc-like failure");
        return true;
    }
};

} // namespace

class TestApplication : public QObject {
    Q_OBJECT

private slots:
    void failuresEscapingAHandlerAreShownAndTheProgramGoesOn() {
        auto* app = static_cast<TApplication*>(QCoreApplication::instance());
        RecordingPrompter prompter;
        app->setReporter(&prompter);
        FailingReceiver receiver;
        for (int i = 0; i < 3; ++i)
            QCoreApplication::postEvent(&receiver, new QEvent(QEvent::User));
        QCoreApplication::processEvents();
        app->setReporter(nullptr);

        QCOMPARE(receiver.delivered, 3);
        QCOMPARE(prompter.texts(), QStringList({QStringLiteral("Не указан идентификатор"), "bad_alloc-like failure"}));
        QCOMPARE(prompter.messages.first().caption, QStringLiteral("Ошибка"));
    }
};

int main(int argc, char** argv) {
    TApplication app(argc, argv);
    TestApplication test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_application.moc"
