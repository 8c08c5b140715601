#include "RecordingPrompter.h"
#include "ScriptedFileChooser.h"
#include "TempSettings.h"

#include "editor/ParamListModel.h"
#include "mainwindow/FileDialogChooser.h"
#include "mainwindow/RadioGroup.h"
#include "mainwindow/TFmMain.h"
#include "mainwindow/TSpeedForm.h"
#include "platform/Registry.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <functional>
#include <memory>
#include <optional>

namespace {

const QStringList ConfFilters{QStringLiteral("Файлы конфигурации (*.kcf)"), QStringLiteral("Все файлы (*)")};

// Runs `act` inside the next modal run, given the dialog that runs (null when none came up by then).
void inNextModal(std::function<void(QWidget*)> act) {
    QTimer::singleShot(0, qApp, [act] { act(QApplication::activeModalWidget()); });
}

// Lets a scheduled answer run that found no dialog to answer.
void flush() {
    QCoreApplication::processEvents();
}

void typeText(QWidget* widget, const QString& text) {
    for (const QChar ch : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(ch), Qt::NoModifier);
}

// Writes a configuration file: the first generation's defaults with $01 set to `mark`, or the second
// generation's blank set with the prefix P10 set to `mark`.
void writeConfig(const QString& path, int generation, const QString& mark, bool fixed = false,
                 const QString& password = QString()) {
    RecordingPrompter prompter;
    TConfig config;
    config.SetDeviceType(generation);
    if (generation == 0)
        config.LoadDefaultImage();
    QVERIFY(config.SetValue(generation == 0 ? QStringLiteral("$01") : QStringLiteral("P10"), mark, alEditable));
    QVERIFY(config.SaveToFile(path, fixed, password, prompter));
    QCOMPARE(prompter.texts(), QStringList());
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QStringList listEntries(const QListWidget* list) {
    QStringList entries;
    for (int i = 0; i < list->count(); ++i)
        entries.append(list->item(i)->text());
    return entries;
}

QString treeValue(TFmMain& fm, const QString& code) {
    for (int i = 0; i < fm.ListModel()->rowCount(); ++i)
        if (const TParamDesc* row = fm.ListModel()->rowOf(i); row && row->code() == code)
            return fm.ListModel()->index(i, ParamListModel::ColVal).data().toString();
    return QStringLiteral("<no line>");
}

void setTreeValue(TFmMain& fm, const QString& code, const QString& value) {
    for (int i = 0; i < fm.ListModel()->rowCount(); ++i)
        if (const TParamDesc* row = fm.ListModel()->rowOf(i); row && row->code() == code)
            fm.ListModel()->setData(fm.ListModel()->index(i, ParamListModel::ColVal), value);
}

QStringList storeLines(const TConfig& config) {
    QStringList lines;
    for (const TConfigLine& line : config.Lines())
        lines.append(QString::number(line.level) + line.code + u'=' + line.value);
    return lines;
}

// What the password panel showed when it came up.
struct PasswordPanelSeen {
    bool shown = false;
    QString label;
    QLineEdit::EchoMode echo = QLineEdit::Normal;
    QString text;
};

} // namespace

// The configuration file commands, the configurations beside the program, and fixing with a password.
class TestConfigFiles : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void stateTable_data();
    void stateTable();
    void dialogsOpenWithTheCurrentFile();
    void fileDialogsAsDesigned();
    void saveStopsAtAnInvalidValueBeforeAnyDialog();
    void loadOfTheOtherGenerationSwitches();
    void damagedFileChangesNothing();
    void configurationsBesideTheProgram_data();
    void configurationsBesideTheProgram();
    void onlyRegularVisibleKcfFilesCount();
    void damagedFileBesideTheProgram();
    void otherGenerationBesideTheProgramSwitchesAtStart();
    void generationSwitchLooksBesideTheProgram();
    void passwordPanelAsDesigned();
    void longPasswordKeepsFifteenCharactersInTheFile();

private:
    // A main window looking for configurations in m_program.
    TFmMain& openWindow();
    // Triggers ActFix and answers the password panel: `typed` replaces the text unless absent, then OK or
    // "Отмена" is pressed. `shown` tells whether a dialog came up at all; any other dialog is cancelled.
    PasswordPanelSeen fix(const std::optional<QString>& typed, bool ok = true);
    QString dataFile(const QString& name) const { return QDir(m_data->path()).filePath(name); }
    QString programFile(const QString& name) const { return QDir(m_program->path()).filePath(name); }

    TempSettings m_settings;
    RecordingPrompter m_prompter;
    ScriptedFileChooser m_files;
    // The program's own folder, and a folder elsewhere for the files the commands open and save.
    std::unique_ptr<QTemporaryDir> m_program;
    std::unique_ptr<QTemporaryDir> m_data;
    std::unique_ptr<TFmMain> m_fm;
};

void TestConfigFiles::init() {
    TempSettings::clear();
    m_prompter = RecordingPrompter();
    m_files = ScriptedFileChooser();
    m_program = std::make_unique<QTemporaryDir>();
    m_data = std::make_unique<QTemporaryDir>();
}

void TestConfigFiles::cleanup() {
    m_fm.reset();
    QCOMPARE(m_files.unexpected, 0);
}

TFmMain& TestConfigFiles::openWindow() {
    m_fm = std::make_unique<TFmMain>(m_prompter, m_files, m_program->path());
    return *m_fm;
}

PasswordPanelSeen TestConfigFiles::fix(const std::optional<QString>& typed, bool ok) {
    PasswordPanelSeen seen;
    TFmMain& fm = *m_fm;
    inNextModal([&](QWidget* dialog) {
        if (!dialog)
            return;
        seen.shown = true;
        if (dialog != fm.SFPassword->dialog()) {
            static_cast<QDialog*>(dialog)->reject();
            return;
        }
        seen.label = fm.LbPwd->text();
        seen.echo = fm.EdPwd->echoMode();
        seen.text = fm.EdPwd->text();
        if (typed) {
            fm.EdPwd->selectAll();
            QTest::keyClick(fm.EdPwd, Qt::Key_Delete);
            typeText(fm.EdPwd, *typed);
        }
        QTest::mouseClick(ok ? fm.BtPwdOK : fm.BtPwdCancel, Qt::LeftButton);
    });
    fm.ActFix->trigger();
    flush();
    return seen;
}

void TestConfigFiles::stateTable_data() {
    QTest::addColumn<QString>("event");
    QTest::addColumn<bool>("fixedBefore");
    QTest::addColumn<QString>("passwordBefore");
    QTest::addColumn<QString>("typed"); // for the password panel, when it comes up
    QTest::addColumn<bool>("pressOk");
    QTest::addColumn<QString>("file"); // the file name afterwards
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("fixed");
    QTest::addColumn<bool>("modified");
    QTest::addColumn<int>("messages");

    const QString old = QStringLiteral("Старый");
    const QString fromFile = QStringLiteral("изФайла");
    // The file other.kcf holds fixed = true and the password "изФайла".
    QTest::newRow("load") << "load" << false << old << QString() << true << "other.kcf" << fromFile << true << false
                          << 0;
    QTest::newRow("load beside the program")
        << "select" << false << old << QString() << true << "beside/other.kcf" << fromFile << true << false << 0;
    QTest::newRow("load cancelled") << "load cancelled" << true << old << QString() << true << "current.kcf" << old
                                    << true << true << 0;
    QTest::newRow("failed load") << "load damaged" << true << old << QString() << true << "current.kcf" << old << true
                                 << true << 1;
    QTest::newRow("save") << "save" << true << old << QString() << true << "current.kcf" << old << true << false << 0;
    QTest::newRow("save as") << "save as" << true << old << QString() << true << "new.kcf" << old << true << false << 0;
    QTest::newRow("failed save as") << "save as missing folder" << false << old << QString() << true << "current.kcf"
                                    << old << false << true << 1;
    QTest::newRow("fix") << "fix" << false << old << QStringLiteral("Новый") << true << "current.kcf"
                         << QStringLiteral("Новый") << true << true << 0;
    QTest::newRow("fix with an empty password")
        << "fix" << false << old << QString() << true << "current.kcf" << QString() << true << true << 0;
    QTest::newRow("fix cancelled") << "fix" << false << old << QStringLiteral("Новый") << false << "current.kcf" << old
                                   << false << true << 0;
    QTest::newRow("unfix, right password")
        << "fix" << true << old << old << true << "current.kcf" << old << false << true << 0;
    QTest::newRow("unfix, no password") << "unfix without panel" << true << QString() << QString() << true
                                        << "current.kcf" << QString() << false << true << 0;
    QTest::newRow("unfix, wrong letter case")
        << "fix" << true << old << QStringLiteral("старый") << true << "current.kcf" << old << true << true << 0;
    QTest::newRow("unfix, password cut short")
        << "fix" << true << old << QStringLiteral("Стары") << true << "current.kcf" << old << true << true << 0;
    QTest::newRow("unfix cancelled") << "fix" << true << old << old << false << "current.kcf" << old << true << true
                                     << 0;
}

void TestConfigFiles::stateTable() {
    QFETCH(QString, event);
    QFETCH(bool, fixedBefore);
    QFETCH(QString, passwordBefore);
    QFETCH(QString, typed);
    QFETCH(bool, pressOk);
    QFETCH(QString, file);
    QFETCH(QString, password);
    QFETCH(bool, fixed);
    QFETCH(bool, modified);
    QFETCH(int, messages);

    // The first generation's defaults are valid values, so the save commands get past StoreList.
    RegWriteInt(QStringLiteral("TypeDvc"), 0);
    writeConfig(dataFile(QStringLiteral("other.kcf")), 0, QStringLiteral("3"), true, QStringLiteral("изФайла"));
    writeBytes(dataFile(QStringLiteral("damaged.kcf")), QByteArray(300, '\x5A'));
    TFmMain& fm = openWindow();
    fm.SetConfName(dataFile(QStringLiteral("current.kcf")));
    fm.ConfPassword = passwordBefore;
    fm.SetFixed(fixedBefore);
    fm.SetModified(true);

    std::optional<PasswordPanelSeen> panel;
    if (event == "load") {
        m_files.answer(dataFile(QStringLiteral("other.kcf")));
        fm.ActLoadConf->trigger();
    } else if (event == "load cancelled") {
        m_files.answer(QString());
        fm.ActLoadConf->trigger();
    } else if (event == "load damaged") {
        m_files.answer(dataFile(QStringLiteral("damaged.kcf")));
        fm.ActLoadConf->trigger();
    } else if (event == "select") {
        QVERIFY(QFile::copy(dataFile(QStringLiteral("other.kcf")), programFile(QStringLiteral("other.kcf"))));
        fm.SelectConfig();
    } else if (event == "save") {
        QCOMPARE(fm.ActSaveConf->isEnabled(), true);
        fm.ActSaveConf->trigger();
    } else if (event == "save as") {
        m_files.answer(dataFile(QStringLiteral("new.kcf")));
        fm.ActSaveAsConf->trigger();
    } else if (event == "save as missing folder") {
        m_files.answer(dataFile(QStringLiteral("missing/new.kcf")));
        fm.ActSaveAsConf->trigger();
    } else {
        panel = fix(typed, pressOk);
    }

    const QString expectedFile = file.startsWith(QStringLiteral("beside/")) ? programFile(file.mid(7)) : dataFile(file);
    QCOMPARE(fm.ConfFileName(), expectedFile);
    QCOMPARE(fm.PnConfName->text(), QFileInfo(expectedFile).completeBaseName());
    QCOMPARE(fm.ConfPassword, password);
    QCOMPARE(fm.Fixed(), fixed);
    QCOMPARE(fm.ActFix->isChecked(), fixed);
    QCOMPARE(fm.RGTypeDvc->isEnabled(), !fixed);
    QCOMPARE(fm.Modified(), modified);
    QCOMPARE(fm.ActSaveConf->isEnabled(), modified);
    QCOMPARE(m_prompter.messages.size(), messages);
    for (const RecordingPrompter::Message& message : m_prompter.messages) {
        QCOMPARE(message.caption, QStringLiteral("Ошибка"));
        QCOMPARE(message.kind, MessageKind::Error);
    }
    if (panel)
        QCOMPARE(panel->shown, event == "fix");
    if (event.startsWith(QStringLiteral("save")) && messages == 0) {
        // What was saved comes back with the fixed state and the password it was saved with.
        // Loaded into a store of the other generation, so the file's own generation fills it.
        TConfig saved;
        saved.SetDeviceType(1);
        QString savedPassword;
        bool savedFixed = false;
        QVERIFY(saved.LoadFromFile(expectedFile, savedPassword, savedFixed, m_prompter));
        QCOMPARE(savedPassword, password);
        QCOMPARE(savedFixed, fixed);
        QCOMPARE(storeLines(saved), storeLines(fm.Config));
    }
    if (event == "load" || event == "select") {
        QCOMPARE(fm.Config.GetValue(QStringLiteral("$01")), QStringLiteral("3"));
        QCOMPARE(treeValue(fm, QStringLiteral("$01")), QStringLiteral("3"));
    }
}

void TestConfigFiles::dialogsOpenWithTheCurrentFile() {
    RegWriteInt(QStringLiteral("TypeDvc"), 0);
    TFmMain& first = openWindow();
    first.SetModified(true);
    // A configuration without a file: the dialogs open with no name, and cancelling changes nothing.
    m_files.answer(QString());
    first.ActSaveAsConf->trigger();
    m_files.answer(QString());
    first.ActLoadConf->trigger();
    first.SetConfName(dataFile(QStringLiteral("Объект.kcf")));
    m_files.answer(QString());
    first.ActSaveAsConf->trigger();
    m_files.answer(QString());
    first.ActLoadConf->trigger();

    QCOMPARE(m_files.questions.size(), 4);
    const QList<std::pair<bool, QString>> expected{{true, QString()},
                                                   {false, QString()},
                                                   {true, dataFile(QStringLiteral("Объект.kcf"))},
                                                   {false, dataFile(QStringLiteral("Объект.kcf"))}};
    for (int i = 0; i < expected.size(); ++i) {
        const ScriptedFileChooser::Question& q = m_files.questions.at(i);
        QCOMPARE(q.save, expected.at(i).first);
        QCOMPARE(q.request.fileName, expected.at(i).second);
        QCOMPARE(q.request.defaultSuffix, QStringLiteral("kcf"));
        QCOMPARE(q.request.filters, ConfFilters);
    }
    QCOMPARE(first.Modified(), true);
    QCOMPARE(first.Fixed(), false);
    QCOMPARE(first.ConfFileName(), dataFile(QStringLiteral("Объект.kcf")));
    QCOMPARE(QDir(m_data->path()).entryList(QDir::Files), QStringList());
    QCOMPARE(m_prompter.texts(), QStringList());
}

void TestConfigFiles::fileDialogsAsDesigned() {
    writeConfig(dataFile(QStringLiteral("a.kcf")), 1, QStringLiteral("8"));
    FileDialogChooser chooser;
    const FileChooser::Request request{dataFile(QStringLiteral("a.kcf")), QStringLiteral("kcf"), ConfFilters};

    struct Seen {
        QFileDialog::AcceptMode acceptMode = QFileDialog::AcceptOpen;
        QFileDialog::FileMode fileMode = QFileDialog::AnyFile;
        QString defaultSuffix;
        QStringList filters;
        QString filter;
        bool confirmOverwrite = false;
        QStringList selected;
    };
    const auto answer = [](Seen& seen, const QString& path) {
        inNextModal([&seen, path](QWidget* widget) {
            auto* dialog = qobject_cast<QFileDialog*>(widget);
            QVERIFY(dialog);
            seen = {dialog->acceptMode(),         dialog->fileMode(),
                    dialog->defaultSuffix(),      dialog->nameFilters(),
                    dialog->selectedNameFilter(), !dialog->testOption(QFileDialog::DontConfirmOverwrite),
                    dialog->selectedFiles()};
            dialog->selectFile(path);
            static_cast<QDialog*>(dialog)->accept();
        });
    };

    Seen open;
    answer(open, dataFile(QStringLiteral("a.kcf")));
    QCOMPARE(chooser.openFileName(request), dataFile(QStringLiteral("a.kcf")));
    QCOMPARE(open.acceptMode, QFileDialog::AcceptOpen);
    QCOMPARE(open.fileMode, QFileDialog::ExistingFile);
    QCOMPARE(open.defaultSuffix, QStringLiteral("kcf"));
    QCOMPARE(open.filters, ConfFilters);
    QCOMPARE(open.filter, ConfFilters.constFirst());
    QCOMPARE(open.selected, QStringList{dataFile(QStringLiteral("a.kcf"))});

    // A typed name without extension gets the default one.
    Seen save;
    answer(save, dataFile(QStringLiteral("Объект")));
    QCOMPARE(chooser.saveFileName(request), dataFile(QStringLiteral("Объект.kcf")));
    QCOMPARE(save.acceptMode, QFileDialog::AcceptSave);
    QCOMPARE(save.fileMode, QFileDialog::AnyFile);
    QCOMPARE(save.defaultSuffix, QStringLiteral("kcf"));
    QCOMPARE(save.filters, ConfFilters);
    QCOMPARE(save.confirmOverwrite, true);
    QCOMPARE(save.selected, QStringList{dataFile(QStringLiteral("a.kcf"))});

    // A file in a missing folder is refused with a message, and the dialog stays open.
    QString refusal;
    bool stillOpen = false;
    inNextModal([&](QWidget* widget) {
        auto* dialog = qobject_cast<QFileDialog*>(widget);
        QVERIFY(dialog);
        inNextModal([&refusal](QWidget* box) {
            if (auto* message = qobject_cast<QMessageBox*>(box)) {
                refusal = message->text();
                message->accept();
            }
        });
        dialog->selectFile(dataFile(QStringLiteral("нет/Объект.kcf")));
        static_cast<QDialog*>(dialog)->accept();
        stillOpen = dialog->isVisible();
        dialog->reject();
    });
    QCOMPARE(chooser.saveFileName(request), QString());
    QCOMPARE(refusal,
             QStringLiteral("Папка не существует:\n") + QDir::toNativeSeparators(dataFile(QStringLiteral("нет"))));
    QCOMPARE(stillOpen, true);
}

void TestConfigFiles::saveStopsAtAnInvalidValueBeforeAnyDialog() {
    // The second generation starts with blank values, which the tree does not store.
    TFmMain& fm = openWindow();
    fm.SetConfName(dataFile(QStringLiteral("current.kcf")));
    fm.SetModified(true);
    fm.ActSaveAsConf->trigger();
    fm.ActSaveConf->trigger();
    QCOMPARE(m_files.questions.size(), 0);
    QCOMPARE(m_prompter.messages.size(), 2);
    QVERIFY(m_prompter.texts().constFirst().startsWith(QStringLiteral("Недопустимое значение параметра '")));
    QCOMPARE(fm.Modified(), true);
    QCOMPARE(QFile::exists(dataFile(QStringLiteral("current.kcf"))), false);
}

void TestConfigFiles::loadOfTheOtherGenerationSwitches() {
    writeConfig(dataFile(QStringLiteral("first.kcf")), 0, QStringLiteral("4"));
    TFmMain& fm = openWindow();
    QCOMPARE(fm.Config.DeviceType(), 1);
    fm.SetStatusText(QStringLiteral("Kavor-II:  версия v1.0"));
    m_files.answer(dataFile(QStringLiteral("first.kcf")));
    fm.ActLoadConf->trigger();
    QCOMPARE(fm.Config.DeviceType(), 0);
    QCOMPARE(fm.RGTypeDvc->ItemIndex(), 0);
    QCOMPARE(fm.windowTitle(), QStringLiteral("Конфигуратор Kavor (версия 7.0.207)"));
    QCOMPARE(fm.ActJournal->isEnabled(), false);
    QCOMPARE(fm.ListModel()->rowCount(), 50);
    QCOMPARE(treeValue(fm, QStringLiteral("$01")), QStringLiteral("4"));
    QCOMPARE(fm.StatusText(), QString());
    // The stored generation changes only when the setup panel closes.
    QCOMPARE(RegReadInt(QStringLiteral("TypeDvc"), -1), -1);
}

void TestConfigFiles::damagedFileChangesNothing() {
    RegWriteInt(QStringLiteral("TypeDvc"), 0);
    writeConfig(dataFile(QStringLiteral("good.kcf")), 0, QStringLiteral("5"), true, QStringLiteral("пароль"));
    QByteArray damaged;
    {
        QFile good(dataFile(QStringLiteral("good.kcf")));
        QVERIFY(good.open(QIODevice::ReadOnly));
        damaged = good.readAll();
    }
    // A scrambled record whose body was cut short.
    damaged.chop(damaged.size() / 2);
    writeBytes(dataFile(QStringLiteral("damaged.kcf")), damaged);

    TFmMain& fm = openWindow();
    m_files.answer(dataFile(QStringLiteral("good.kcf")));
    fm.ActLoadConf->trigger();
    QCOMPARE(fm.ConfFileName(), dataFile(QStringLiteral("good.kcf")));
    // An edit in the tree, not stored yet.
    setTreeValue(fm, QStringLiteral("$02"), QStringLiteral("7"));
    QCOMPARE(fm.Modified(), true);
    const QStringList before = storeLines(fm.Config);

    m_files.answer(dataFile(QStringLiteral("damaged.kcf")));
    fm.ActLoadConf->trigger();
    QCOMPARE(m_prompter.messages.size(), 1);
    QCOMPARE(m_prompter.messages.constFirst().caption, QStringLiteral("Ошибка"));
    QCOMPARE(fm.ConfFileName(), dataFile(QStringLiteral("good.kcf")));
    QCOMPARE(fm.ConfPassword, QStringLiteral("пароль"));
    QCOMPARE(fm.Fixed(), true);
    QCOMPARE(fm.Modified(), true);
    QCOMPARE(storeLines(fm.Config), before);
    QCOMPARE(treeValue(fm, QStringLiteral("$01")), QStringLiteral("5"));
    QCOMPARE(treeValue(fm, QStringLiteral("$02")), QStringLiteral("7"));
}

void TestConfigFiles::configurationsBesideTheProgram_data() {
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("answer"); // what is done in the selection panel
    QTest::addColumn<QString>("loaded"); // empty: nothing loaded

    const QStringList three{QStringLiteral("Гамма"), QStringLiteral("Бета"), QStringLiteral("альфа")};
    QTest::newRow("none") << QStringList() << QString() << QString();
    QTest::newRow("one, no question") << QStringList{QStringLiteral("Склад")} << QString() << QStringLiteral("Склад");
    QTest::newRow("OK on the first") << three << QStringLiteral("ok") << QStringLiteral("альфа");
    QTest::newRow("second chosen") << three << QStringLiteral("second") << QStringLiteral("Бета");
    QTest::newRow("third chosen, closed by the frame")
        << three << QStringLiteral("third, frame") << QStringLiteral("Гамма");
    QTest::newRow("nothing selected") << three << QStringLiteral("none selected") << QStringLiteral("альфа");
}

void TestConfigFiles::configurationsBesideTheProgram() {
    QFETCH(QStringList, files);
    QFETCH(QString, answer);
    QFETCH(QString, loaded);
    RegWriteInt(QStringLiteral("TypeDvc"), 0);
    // Each file's $01 tells which one was loaded; the built-in default is 6.
    for (int i = 0; i < files.size(); ++i)
        writeConfig(programFile(files.at(i) + QStringLiteral(".kcf")), 0, QString::number(i + 1), true, files.at(i));

    bool shown = false;
    QString caption;
    QString label;
    QStringList entries;
    QString selectedAtShow;
    inNextModal([&](QWidget* dialog) {
        if (!dialog)
            return;
        shown = true;
        caption = dialog->windowTitle();
        auto* list = dialog->findChild<QListWidget*>(QStringLiteral("ListConfig"));
        QVERIFY(list);
        label = dialog->findChild<QLabel*>(QStringLiteral("LbConfig"))->text();
        entries = listEntries(list);
        const QList<QListWidgetItem*> selected = list->selectedItems();
        selectedAtShow =
            selected.size() == 1 ? selected.constFirst()->text() : QStringLiteral("<%1 selected>").arg(selected.size());
        if (answer == QStringLiteral("second"))
            list->setCurrentRow(1);
        if (answer == QStringLiteral("none selected"))
            list->clearSelection();
        if (answer == QStringLiteral("third, frame")) {
            list->setCurrentRow(2);
            dialog->close();
            return;
        }
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("BtConfOK")), Qt::LeftButton);
    });
    TFmMain& fm = openWindow();
    flush();

    QCOMPARE(shown, !answer.isEmpty());
    if (shown) {
        QCOMPARE(caption, QStringLiteral("Конфигурация"));
        QCOMPARE(label, QStringLiteral("Обнаружено несколько конфигураций, выберите необходимую"));
        QCOMPARE(entries, (QStringList{QStringLiteral("альфа"), QStringLiteral("Бета"), QStringLiteral("Гамма")}));
        QCOMPARE(selectedAtShow, QStringLiteral("альфа"));
    }
    const QString path = loaded.isEmpty() ? QString() : programFile(loaded + QStringLiteral(".kcf"));
    QCOMPARE(fm.ConfFileName(), path);
    QCOMPARE(fm.PnConfName->text(), loaded);
    QCOMPARE(fm.ConfPassword, loaded);
    QCOMPARE(fm.Fixed(), !loaded.isEmpty());
    QCOMPARE(fm.Modified(), false);
    const QString mark = loaded.isEmpty() ? QStringLiteral("6") : QString::number(files.indexOf(loaded) + 1);
    QCOMPARE(fm.Config.GetValue(QStringLiteral("$01")), mark);
    QCOMPARE(treeValue(fm, QStringLiteral("$01")), mark);
    QCOMPARE(m_prompter.texts(), QStringList());
}

void TestConfigFiles::onlyRegularVisibleKcfFilesCount() {
    writeConfig(programFile(QStringLiteral("Объект.kcf")), 1, QStringLiteral("81"));
    writeConfig(programFile(QStringLiteral(".скрытый.kcf")), 1, QStringLiteral("82"));
    writeConfig(programFile(QStringLiteral("заметки.txt")), 1, QStringLiteral("83"));
    writeConfig(programFile(QStringLiteral("Объект.kcf.bak")), 1, QStringLiteral("84"));
    QVERIFY(QDir(m_program->path()).mkdir(QStringLiteral("папка.kcf")));
    QVERIFY(QFile::link(m_data->path(), programFile(QStringLiteral("ссылка на папку.kcf"))));
    QVERIFY(QFile::link(dataFile(QStringLiteral("нет.kcf")), programFile(QStringLiteral("битая ссылка.kcf"))));

    inNextModal([](QWidget* dialog) {
        if (dialog) {
            static_cast<QDialog*>(dialog)->reject();
            QFAIL("the selection panel came up for one configuration");
        }
    });
    TFmMain& fm = openWindow();
    flush();
    QCOMPARE(fm.ConfFileName(), programFile(QStringLiteral("Объект.kcf")));
    QCOMPARE(fm.Config.GetValue(QStringLiteral("P10")), QStringLiteral("81"));
    QCOMPARE(m_prompter.texts(), QStringList());

    // A link to a configuration is a configuration; an extension in capitals is one too, opened by its name.
    QVERIFY(QFile::link(programFile(QStringLiteral("Объект.kcf")), programFile(QStringLiteral("Ссылка.kcf"))));
    writeConfig(programFile(QStringLiteral("ЗАГЛАВНЫЕ.KCF")), 1, QStringLiteral("85"));
    QStringList entries;
    inNextModal([&](QWidget* dialog) {
        if (!dialog)
            return;
        auto* list = dialog->findChild<QListWidget*>(QStringLiteral("ListConfig"));
        entries = listEntries(list);
        list->setCurrentRow(0);
        static_cast<QDialog*>(dialog)->reject();
    });
    fm.SelectConfig();
    flush();
    QCOMPARE(entries, (QStringList{QStringLiteral("ЗАГЛАВНЫЕ"), QStringLiteral("Объект"), QStringLiteral("Ссылка")}));
    QCOMPARE(fm.ConfFileName(), programFile(QStringLiteral("ЗАГЛАВНЫЕ.KCF")));
    QCOMPARE(fm.Config.GetValue(QStringLiteral("P10")), QStringLiteral("85"));
    QCOMPARE(m_prompter.texts(), QStringList());
}

void TestConfigFiles::damagedFileBesideTheProgram() {
    RegWriteInt(QStringLiteral("TypeDvc"), 0);
    writeBytes(programFile(QStringLiteral("Объект.kcf")), QByteArray("not a configuration at all"));
    TFmMain& fm = openWindow();
    QCOMPARE(m_prompter.messages.size(), 1);
    QCOMPARE(m_prompter.messages.constFirst().caption, QStringLiteral("Ошибка"));
    QCOMPARE(m_prompter.messages.constFirst().kind, MessageKind::Error);
    // The start goes on with the built-in defaults and no file.
    QCOMPARE(fm.ConfFileName(), QString());
    QCOMPARE(fm.Config.GetValue(QStringLiteral("$01")), QStringLiteral("6"));
    QCOMPARE(treeValue(fm, QStringLiteral("$01")), QStringLiteral("6"));
    QCOMPARE(fm.windowTitle(), QStringLiteral("Конфигуратор Kavor (версия 7.0.207)"));
}

void TestConfigFiles::otherGenerationBesideTheProgramSwitchesAtStart() {
    RegWriteInt(QStringLiteral("TypeDvc"), 1);
    writeConfig(programFile(QStringLiteral("Объект.kcf")), 0, QStringLiteral("2"), true);
    TFmMain& fm = openWindow();
    QCOMPARE(fm.Config.DeviceType(), 0);
    QCOMPARE(fm.RGTypeDvc->ItemIndex(), 0);
    QCOMPARE(fm.RGTypeDvc->isEnabled(), false);
    QCOMPARE(fm.windowTitle(), QStringLiteral("Конфигуратор Kavor (версия 7.0.207)"));
    QCOMPARE(fm.ActJournal->isEnabled(), false);
    QCOMPARE(fm.ActMACAddr->isEnabled(), false);
    QCOMPARE(fm.ListModel()->rowCount(), 50);
    QCOMPARE(treeValue(fm, QStringLiteral("$01")), QStringLiteral("2"));
    QCOMPARE(fm.Fixed(), true);
    // The stored generation is written only when the setup panel closes.
    QCOMPARE(RegReadInt(QStringLiteral("TypeDvc"), -1), 1);
    QCOMPARE(m_prompter.texts(), QStringList());
}

void TestConfigFiles::generationSwitchLooksBesideTheProgram() {
    TFmMain& fm = openWindow();
    QCOMPARE(fm.ConfFileName(), QString());
    writeConfig(programFile(QStringLiteral("Объект.kcf")), 0, QStringLiteral("9"), false, QStringLiteral("ключ"));
    fm.SetModified(true);
    fm.RGTypeDvc->SetItemIndex(0);
    fm.BtOKClick();
    QCOMPARE(fm.Config.DeviceType(), 0);
    QCOMPARE(fm.ConfFileName(), programFile(QStringLiteral("Объект.kcf")));
    QCOMPARE(fm.ConfPassword, QStringLiteral("ключ"));
    QCOMPARE(fm.Modified(), false);
    QCOMPARE(treeValue(fm, QStringLiteral("$01")), QStringLiteral("9"));
    QCOMPARE(fm.windowTitle(), QStringLiteral("Конфигуратор Kavor (версия 7.0.207)"));
}

void TestConfigFiles::passwordPanelAsDesigned() {
    TFmMain& fm = openWindow();
    fm.ConfPassword = QStringLiteral("прежний");
    QString caption;
    inNextModal([&caption](QWidget* dialog) {
        if (dialog)
            caption = dialog->windowTitle();
    });
    PasswordPanelSeen seen = fix(std::nullopt);
    QCOMPARE(caption, QStringLiteral("Пароль конфигурации"));
    // Fixing offers the current password in clear, ready to confirm.
    QCOMPARE(seen.label, QStringLiteral("Задайте пароль для сохранения"));
    QCOMPARE(seen.echo, QLineEdit::Normal);
    QCOMPARE(seen.text, QStringLiteral("прежний"));
    QCOMPARE(fm.Fixed(), true);
    QCOMPARE(fm.SBFix->isChecked(), true);
    QCOMPARE(fm.ActFix->toolTip(), QStringLiteral("Расфиксировать конфигурацию"));

    // Unfixing asks for it masked with "*", starting empty.
    seen = fix(QStringLiteral("прежний"));
    QCOMPARE(seen.label, QStringLiteral("Введите пароль"));
    QCOMPARE(seen.echo, QLineEdit::Password);
    QCOMPARE(seen.text, QString());
    QCOMPARE(fm.EdPwd->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, fm.EdPwd), int('*'));
    QCOMPARE(fm.Fixed(), false);
    QCOMPARE(fm.SBFix->isChecked(), false);

    // Cancelling a fix leaves the check mark as it was, though triggering flips it.
    seen = fix(QStringLiteral("новый"), false);
    QCOMPARE(seen.echo, QLineEdit::Normal);
    QCOMPARE(fm.ActFix->isChecked(), false);
    QCOMPARE(fm.ConfPassword, QStringLiteral("прежний"));

    const QFont font = fm.EdPwd->font();
    QCOMPARE(font.family(), QStringLiteral("Verdana"));
    QCOMPARE(font.pixelSize(), 14);
    QCOMPARE(font.bold(), true);
    QCOMPARE(m_prompter.texts(), QStringList());
}

void TestConfigFiles::longPasswordKeepsFifteenCharactersInTheFile() {
    RegWriteInt(QStringLiteral("TypeDvc"), 0);
    const QString twenty = QStringLiteral("ПарольДлиной20Знаков");
    const QString fifteen = twenty.left(15);
    QCOMPARE(twenty.size(), 20);
    TFmMain& fm = openWindow();

    fix(twenty);
    QCOMPARE(fm.ConfPassword, twenty);
    // Until it is saved the whole password counts.
    fix(fifteen);
    QCOMPARE(fm.Fixed(), true);
    fix(twenty);
    QCOMPARE(fm.Fixed(), false);
    QCOMPARE(fix(std::nullopt).text, twenty);
    QCOMPARE(fm.Fixed(), true);

    m_files.answer(dataFile(QStringLiteral("long.kcf")));
    fm.ActSaveAsConf->trigger();
    m_files.answer(dataFile(QStringLiteral("long.kcf")));
    fm.ActLoadConf->trigger();
    QCOMPARE(fm.ConfPassword, fifteen);
    QCOMPARE(fm.Fixed(), true);
    fix(twenty);
    QCOMPARE(fm.Fixed(), true);
    fix(fifteen);
    QCOMPARE(fm.Fixed(), false);
    QCOMPARE(m_prompter.texts(), QStringList());
}

QTEST_MAIN(TestConfigFiles)
#include "tst_configfiles.moc"
