#include "components/TFileNameEdit.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

// The file-name edit: the browse button's dialog, its filters, and enabling.
class TestFileNameEdit : public QObject {
    Q_OBJECT

private slots:
    void filtersForTheDialog();
    void cancelKeepsTypedText();
    void confirmedChoiceReplacesTheName();
    void disablingDisablesTheButton();
};

void TestFileNameEdit::filtersForTheDialog() {
    TFileNameEdit edit;
    QCOMPARE(edit.dialogFilters(), QStringList{QStringLiteral("Все файлы (*.*)")});
    edit.setFilter({QStringLiteral("Исполняемые файлы (*.exe)=*.exe"), QStringLiteral("Все файлы (*.*)=*.*"),
                    QStringLiteral("Прошивки=*.hex;*.bin")});
    QCOMPARE(edit.dialogFilters(),
             (QStringList{QStringLiteral("Исполняемые файлы (*.exe)"), QStringLiteral("Все файлы (*.*)"),
                          QStringLiteral("Прошивки (*.hex *.bin)")}));
    QCOMPARE(edit.BtOpen()->toolTip(), QStringLiteral("Выбор файла"));
    QCOMPARE(edit.BtOpen()->size(), QSize(23, 23));
}

void TestFileNameEdit::cancelKeepsTypedText() {
    QTemporaryDir dir;
    const QString typed = dir.filePath(QStringLiteral("STK500.exe"));
    TFileNameEdit edit;
    edit.setOptions(QFileDialog::DontUseNativeDialog);
    edit.show();
    QTest::keyClicks(edit.Edit(), typed);
    QString dialogName;
    QTimer::singleShot(0, &edit, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        dialogName = dialog->selectedFiles().value(0);
        dialog->reject();
    });
    QTest::mouseClick(edit.BtOpen(), Qt::LeftButton);
    QCOMPARE(dialogName, typed);
    QCOMPARE(edit.FileName(), typed);
}

void TestFileNameEdit::confirmedChoiceReplacesTheName() {
    QTemporaryDir dir;
    const QString chosen = dir.filePath(QStringLiteral("atprogram.exe"));
    QFile file(chosen);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();

    TFileNameEdit edit;
    edit.setOptions(QFileDialog::DontUseNativeDialog);
    edit.setFilter({QStringLiteral("Исполняемые файлы (*.exe)=*.exe"), QStringLiteral("Все файлы (*.*)=*.*")});
    edit.setFilterIndex(2);
    edit.setTitle(QStringLiteral("Программа"));
    edit.setFileName(dir.filePath(QStringLiteral("old.exe")));
    edit.show();
    QString title;
    QString filter;
    QTimer::singleShot(0, &edit, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        title = dialog->windowTitle();
        filter = dialog->selectedNameFilter();
        dialog->selectFile(chosen);
        static_cast<QDialog*>(dialog)->accept();
    });
    edit.BtOpenClick();
    QCOMPARE(title, QStringLiteral("Программа"));
    QCOMPARE(filter, QStringLiteral("Все файлы (*.*)"));
    QCOMPARE(edit.FileName(), chosen);
}

void TestFileNameEdit::disablingDisablesTheButton() {
    TFileNameEdit edit;
    edit.show();
    edit.setEnabled(false);
    QCOMPARE(edit.Edit()->isEnabled(), false);
    QCOMPARE(edit.BtOpen()->isEnabled(), false);
    // A click on the disabled button opens nothing; a dialog that opened anyway is noted and closed.
    bool opened = false;
    QTimer guard;
    guard.setSingleShot(true);
    connect(&guard, &QTimer::timeout, &edit, [&opened] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            opened = true;
            modal->close();
        }
    });
    guard.start(0);
    QTest::mouseClick(edit.BtOpen(), Qt::LeftButton);
    QCOMPARE(opened, false);
    edit.setEnabled(true);
    QCOMPARE(edit.BtOpen()->isEnabled(), true);
}

QTEST_MAIN(TestFileNameEdit)
#include "tst_filenameedit.moc"
