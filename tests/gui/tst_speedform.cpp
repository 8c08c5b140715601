#include "mainwindow/TSpeedForm.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QtTest>

// The embedded dialog panel: a modal run in a window of its own, results, and controls that stay the
// owner's between runs.
class TestSpeedForm : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup() { delete m_owner; }

    void valuesSurviveBetweenShows();
    void frameCloseAndEscapeAreCancel();
    void secondShowWhileShownGivesZero();
    void destroyedWhileModalEndsWithCancel();
    void controlsKeepTheOwnersFontInTheDialog();

private:
    QPointer<QWidget> m_owner;
    TSpeedForm* m_panel = nullptr;
    QLineEdit* m_edit = nullptr;
};

void TestSpeedForm::init() {
    m_owner = new QWidget;
    m_owner->resize(400, 300);
    m_panel = new TSpeedForm(m_owner);
    m_panel->setCaption(QStringLiteral("Пароль конфигурации"));
    m_edit = new QLineEdit(m_panel->contents());
    auto* layout = new QVBoxLayout(m_panel->contents());
    layout->addWidget(m_edit);
    m_owner->show();
}

void TestSpeedForm::valuesSurviveBetweenShows() {
    QString caption;
    QTimer::singleShot(0, m_panel, [&] {
        caption = m_panel->dialog()->windowTitle();
        // A control of the panel lives in the dialog while it runs.
        QCOMPARE(m_edit->window(), m_panel->dialog());
        for (const QChar ch : QStringLiteral("пароль1"))
            QTest::sendKeyEvent(QTest::Click, m_edit, Qt::Key_unknown, QString(ch), Qt::NoModifier);
        m_panel->SetModalResult(TSpeedForm::mrOk);
    });
    QCOMPARE(m_panel->ShowModal(), int(TSpeedForm::mrOk));
    QCOMPARE(caption, QStringLiteral("Пароль конфигурации"));
    QCOMPARE(m_panel->ModalResult(), int(TSpeedForm::mrOk));
    QCOMPARE(m_panel->dialog(), nullptr);
    QCOMPARE(m_edit->window(), m_owner.data());
    QCOMPARE(m_panel->isHidden(), true);

    QString seen;
    QTimer::singleShot(0, m_panel, [&] {
        seen = m_edit->text();
        m_edit->setText(seen + QStringLiteral("!"));
        m_panel->SetModalResult(TSpeedForm::mrCancel);
    });
    QCOMPARE(m_panel->ShowModal(), int(TSpeedForm::mrCancel));
    QCOMPARE(seen, QStringLiteral("пароль1"));
    // The owner reads the control after the run, however it ended.
    QCOMPARE(m_edit->text(), QStringLiteral("пароль1!"));
}

void TestSpeedForm::frameCloseAndEscapeAreCancel() {
    QTimer::singleShot(0, m_panel, [] { QApplication::activeModalWidget()->close(); });
    QCOMPARE(m_panel->ShowModal(), int(TSpeedForm::mrCancel));
    QTimer::singleShot(0, m_panel, [this] { QTest::keyClick(m_edit, Qt::Key_Escape); });
    QCOMPARE(m_panel->ShowModal(), int(TSpeedForm::mrCancel));
    // A button that sets the result closes with it.
    auto* ok = new QPushButton(QStringLiteral("OK"), m_panel->contents());
    m_panel->contents()->layout()->addWidget(ok);
    connect(ok, &QPushButton::clicked, m_panel, [this] { m_panel->SetModalResult(TSpeedForm::mrOk); });
    QTimer::singleShot(0, m_panel, [ok] { QTest::mouseClick(ok, Qt::LeftButton); });
    QCOMPARE(m_panel->ShowModal(), int(TSpeedForm::mrOk));
}

void TestSpeedForm::secondShowWhileShownGivesZero() {
    int nested = -1;
    QTimer::singleShot(0, m_panel, [&] {
        nested = m_panel->ShowModal();
        m_panel->SetModalResult(TSpeedForm::mrOk);
    });
    QCOMPARE(m_panel->ShowModal(), int(TSpeedForm::mrOk));
    QCOMPARE(nested, 0);
}

void TestSpeedForm::destroyedWhileModalEndsWithCancel() {
    QPointer<QLineEdit> edit = m_edit;
    QTimer::singleShot(0, m_owner, [this] { delete m_panel; });
    QCOMPARE(m_panel->ShowModal(), int(TSpeedForm::mrCancel));
    // The controls went with the panel.
    QCOMPARE(edit.isNull(), true);
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
}

void TestSpeedForm::controlsKeepTheOwnersFontInTheDialog() {
    QFont font(QStringLiteral("Verdana"));
    font.setPixelSize(14);
    m_owner->setFont(font);
    QFont inDialog;
    QTimer::singleShot(0, m_panel, [&] {
        inDialog = m_edit->font();
        m_panel->SetModalResult(TSpeedForm::mrOk);
    });
    m_panel->ShowModal();
    QCOMPARE(inDialog.family(), QStringLiteral("Verdana"));
    QCOMPARE(inDialog.pixelSize(), 14);
}

QTEST_MAIN(TestSpeedForm)
#include "tst_speedform.moc"
