// Renders the main window and its panels into PNG files for the documentation, offscreen, with settings
// and configuration files kept in temporary folders so that the user's own are neither read nor changed.
#include "editor/ParamListModel.h"
#include "mainwindow/FileDialogChooser.h"
#include "mainwindow/MessageBoxPrompter.h"
#include "mainwindow/RadioGroup.h"
#include "mainwindow/TFmMain.h"
#include "mainwindow/TSpeedForm.h"
#include "platform/Registry.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <QTreeView>

#include <cstdio>

namespace {

QString outputFolder;
// The folder the windows look for configurations in; empty unless a picture needs some.
QString programFolder;
FileDialogChooser files;

void save(QWidget* widget, const QString& name) {
    QApplication::processEvents();
    const QString path = QDir(outputFolder).filePath(name + QStringLiteral(".png"));
    if (!widget->grab().save(path))
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    else
        std::printf("%s\n", qPrintable(path));
}

int lineOf(const TFmMain& window, const QString& code) {
    for (int i = 0; i < window.ListModel()->rowCount(); ++i)
        if (const TParamDesc* row = window.ListModel()->rowOf(i); row && row->code() == code)
            return i;
    return 0;
}

void mainWindow(int generation, const QString& name, const std::function<void(TFmMain&)>& arrange = {}) {
    RegWriteInt(QStringLiteral("TypeDvc"), generation);
    MessageBoxPrompter prompter;
    TFmMain window(prompter, files, programFolder);
    prompter.setParent(&window);
    window.SetConfName(QStringLiteral("/home/installer/Объект 12.kcf"));
    window.show();
    if (arrange)
        arrange(window);
    save(&window, name);
}

void setupPanel() {
    MessageBoxPrompter prompter;
    TFmMain window(prompter, files, programFolder);
    prompter.setParent(&window);
    window.show();
    QTimer::singleShot(0, &window, [&window] {
        QDialog* dialog = window.SFSetup->dialog();
        window.PGSetup->setCurrentWidget(window.TSKavor);
        save(dialog, QStringLiteral("setup-kavor-loader"));
        window.CBTypeProgr->setCurrentIndex(1);
        window.CBTypeProgrCloseUp();
        save(dialog, QStringLiteral("setup-kavor-tool"));
        window.CBTypeProgr->setCurrentIndex(0);
        window.CBTypeProgrCloseUp();
        window.PGSetup->setCurrentWidget(window.TSMain);
        save(dialog, QStringLiteral("setup-general"));
        window.PGSetup->setCurrentWidget(window.TSKavorII);
        save(dialog, QStringLiteral("setup-kavor2"));
        window.SFSetup->SetModalResult(TSpeedForm::mrOk);
    });
    window.SFSetup->ShowModal();
}

// Several configurations beside the program: the choice comes up while the window is being created.
void selConfigPanel() {
    QTemporaryDir folder;
    MessageBoxPrompter prompter;
    TConfig config;
    config.SetDeviceType(1);
    for (const QString& name : {QStringLiteral("Склад"), QStringLiteral("Объект 12"), QStringLiteral("Офис на Садовой"),
                                QStringLiteral("Магазин 3")})
        config.SaveToFile(QDir(folder.path()).filePath(name + QStringLiteral(".kcf")), false, QString(), prompter);
    QTimer::singleShot(0, qApp, [] {
        if (QWidget* dialog = QApplication::activeModalWidget()) {
            save(dialog, QStringLiteral("select-config"));
            dialog->findChild<QPushButton*>(QStringLiteral("BtConfOK"))->click();
        }
    });
    TFmMain window(prompter, files, folder.path());
}

// The password panel fixing (the password in clear) and unfixing (typed, masked).
void passwordPanel() {
    MessageBoxPrompter prompter;
    TFmMain window(prompter, files, programFolder);
    prompter.setParent(&window);
    window.show();
    window.ConfPassword = QStringLiteral("Сторож-7");
    QTimer::singleShot(0, &window, [&window] {
        save(window.SFPassword->dialog(), QStringLiteral("password-set"));
        window.BtPwdOK->click();
    });
    window.ActFixExecute();
    QTimer::singleShot(0, &window, [&window] {
        window.EdPwd->setText(QStringLiteral("Сторож"));
        save(window.SFPassword->dialog(), QStringLiteral("password-enter"));
        window.BtPwdCancel->click();
    });
    window.ActFixExecute();
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    outputFolder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots");
    QDir().mkpath(outputFolder);
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
    QTemporaryDir noConfigurations;
    programFolder = noConfigurations.path();
    RegWriteStr(QStringLiteral("Phones"), QStringLiteral("84951234567\n89161234567\n"));

    mainWindow(1, QStringLiteral("main-kavor2"));
    mainWindow(0, QStringLiteral("main-kavor"));
    mainWindow(1, QStringLiteral("main-restricted"), [](TFmMain& window) {
        const int line = lineOf(window, QStringLiteral("P20"));
        window.ListModel()->setData(window.ListModel()->index(line, ParamListModel::ColVal),
                                    QStringLiteral("84951234567"));
        window.ListModel()->setLevel(line, 2);
        window.ListModel()->setLevel(lineOf(window, QStringLiteral("M07")), 1);
        window.List->setFocus();
        window.List->setCurrentIndex(window.ListModel()->index(line - 1, ParamListModel::ColVal));
        window.List->scrollTo(window.ListModel()->index(line, ParamListModel::ColVal),
                              QAbstractItemView::PositionAtCenter);
    });
    mainWindow(1, QStringLiteral("main-editor"), [](TFmMain& window) {
        const QModelIndex at = window.ListModel()->index(lineOf(window, QStringLiteral("M07")), ParamListModel::ColVal);
        window.List->setFocus();
        window.List->setCurrentIndex(at);
        window.List->edit(at);
    });
    setupPanel();
    selConfigPanel();
    passwordPanel();
    return 0;
}
