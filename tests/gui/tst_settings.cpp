#include "RecordingPrompter.h"
#include "ScriptedFileChooser.h"
#include "TempSettings.h"

#include "components/TFileNameEdit.h"
#include "editor/ParamListModel.h"
#include "mainwindow/RadioGroup.h"
#include "mainwindow/TFmMain.h"
#include "mainwindow/TSpeedForm.h"
#include "platform/ProgramSettings.h"
#include "platform/Registry.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTemporaryDir>
#include <QtTest>

// The program settings: the four helpers, the stored names and defaults, the setup panel's controls,
// its OK handling and what its closing writes.
class TestSettings : public QObject {
    Q_OBJECT

private slots:
    void init() { TempSettings::clear(); }

    void helpersGiveDefaultsForMissingOrMistypedValues();
    void helpersRoundTrip();
    void defaultsWithNoStoredSettings();
    void storedSettingsReachTheControls();
    void storedGenerationOutsideTheListIsKavorII_data();
    void storedGenerationOutsideTheListIsKavorII();
    void storedIndexOutsideAListLeavesNoSelection();
    void programmerTypeArrangesThePanel();
    void okChecksTheToolName_data();
    void okChecksTheToolName();
    void refusedToolKeepsThePanelOpen();
    void okSwitchesTheGeneration();
    void okWithoutSwitchKeepsTheConfiguration();
    void frameCloseWritesSettingsButDoesNotSwitch();
    void generationGroupDisabledWhileFixed();

private:
    TempSettings m_settings;
    // No file is chosen and no configuration lies beside the program.
    ScriptedFileChooser m_files;
    QTemporaryDir m_folder;
};

void TestSettings::helpersGiveDefaultsForMissingOrMistypedValues() {
    QCOMPARE(RegReadInt(QStringLiteral("Port"), 7), 7);
    QCOMPARE(RegReadStr(QStringLiteral("STKPath"), QStringLiteral("x")), QStringLiteral("x"));
    RegWriteStr(QStringLiteral("Port"), QStringLiteral("abc"));
    QCOMPARE(RegReadInt(QStringLiteral("Port"), 7), 7);
    QSettings(QStringLiteral("Norvask"), QStringLiteral("KavorSetup"))
        .setValue(QStringLiteral("Phones"), QStringList{QStringLiteral("a"), QStringLiteral("b")});
    QCOMPARE(RegReadStr(QStringLiteral("Phones"), QStringLiteral("none")), QStringLiteral("none"));
}

void TestSettings::helpersRoundTrip() {
    RegWriteInt(QStringLiteral("LastMACAddr"), 4194305);
    RegWriteInt(QStringLiteral("Port"), -1);
    const QString text = QStringLiteral("  С:\\Программы\\stk500.exe, \"в кавычках\"; = \n");
    RegWriteStr(QStringLiteral("STKPath"), text);
    RegWriteStr(QStringLiteral("Phones"), QString());
    QCOMPARE(RegReadInt(QStringLiteral("LastMACAddr"), 0), 4194305);
    QCOMPARE(RegReadInt(QStringLiteral("Port"), 0), -1);
    QCOMPARE(RegReadStr(QStringLiteral("STKPath"), QString()), text);
    QVERIFY(TempSettings::contains(QStringLiteral("Phones")));
    QCOMPARE(RegReadStr(QStringLiteral("Phones"), QStringLiteral("default")), QString());
}

void TestSettings::defaultsWithNoStoredSettings() {
    const ProgramSettings s = ProgramSettings::read();
    QCOMPARE(s.TypeProgr, 0);
    QCOMPARE(s.Port, 0);
    QCOMPARE(s.Baudrate, 1);
    QCOMPARE(s.ProgrSpeed, QStringLiteral("2mhz"));
    QCOMPARE(s.Verify, true);
    QCOMPARE(s.Protect, true);
    QCOMPARE(s.STKPath, QStringLiteral("C:\\Program Files (x86)\\Atmel\\AVR Tools\\STK500\\STK500.exe"));
    QCOMPARE(s.TypeDvc, 1);
    QCOMPARE(s.USBPort, 0);

    RecordingPrompter prompter;
    TFmMain fm(prompter, m_files, m_folder.path());
    QCOMPARE(fm.CBTypeProgr->currentText(), QStringLiteral("AVR Loader"));
    QCOMPARE(fm.CBPort->currentText(), ProgramSettings::ProgrammerPortNames().constFirst());
    QCOMPARE(fm.CBBaudrate->currentText(), QStringLiteral("115200"));
    QCOMPARE(fm.EdSpeed->text(), QStringLiteral("2mhz"));
    QCOMPARE(fm.FNSTK->FileName(), s.STKPath);
    QCOMPARE(fm.CBVerify->isChecked(), true);
    QCOMPARE(fm.CBProtect->isChecked(), true);
    QCOMPARE(fm.RGTypeDvc->ItemIndex(), 1);
    QCOMPARE(fm.CBUSBPort->currentText(), QStringLiteral("Авто"));
    QCOMPARE(fm.FNSTK->isHidden(), true);
    QCOMPARE(fm.EdSpeed->isHidden(), true);
    QCOMPARE(fm.PGSetup->currentWidget(), fm.TSKavor);
    QCOMPARE(prompter.texts(), QStringList());
}

void TestSettings::storedSettingsReachTheControls() {
    ProgramSettings stored;
    stored.TypeProgr = 1;
    stored.Port = 3;
    stored.Baudrate = 0;
    stored.ProgrSpeed = QStringLiteral(" 4mhz ");
    stored.Verify = false;
    stored.Protect = false;
    stored.STKPath = QStringLiteral("/opt/tools/atprogram.exe");
    stored.TypeDvc = 0;
    stored.USBPort = 5;
    stored.write();

    RecordingPrompter prompter;
    TFmMain fm(prompter, m_files, m_folder.path());
    QCOMPARE(fm.CBTypeProgr->currentIndex(), 1);
    QCOMPARE(fm.CBPort->currentIndex(), 3);
    QCOMPARE(fm.CBBaudrate->currentIndex(), 0);
    QCOMPARE(fm.EdSpeed->text(), QStringLiteral(" 4mhz "));
    QCOMPARE(fm.CBVerify->isChecked(), false);
    QCOMPARE(fm.CBProtect->isChecked(), false);
    QCOMPARE(fm.FNSTK->FileName(), QStringLiteral("/opt/tools/atprogram.exe"));
    QCOMPARE(fm.RGTypeDvc->ItemIndex(), 0);
    QCOMPARE(fm.CBUSBPort->currentIndex(), 5);
    QCOMPARE(fm.Config.DeviceType(), 0);

    // Any non-zero stored flag ticks its box.
    RegWriteInt(QStringLiteral("Verify"), 7);
    QCOMPARE(ProgramSettings::read().Verify, true);
}

void TestSettings::storedGenerationOutsideTheListIsKavorII_data() {
    QTest::addColumn<int>("stored");
    QTest::newRow("below 0") << -1;
    QTest::newRow("far below 0") << -100;
    QTest::newRow("above 1") << 5;
}

void TestSettings::storedGenerationOutsideTheListIsKavorII() {
    QFETCH(int, stored);
    RegWriteInt(QStringLiteral("TypeDvc"), stored);
    RecordingPrompter prompter;
    TFmMain fm(prompter, m_files, m_folder.path());
    QCOMPARE(fm.RGTypeDvc->ItemIndex(), 1);
    QCOMPARE(fm.Config.DeviceType(), 1);
    QCOMPARE(fm.windowTitle(), QStringLiteral("Конфигуратор Kavor-II (версия 207)"));
    QTimer::singleShot(0, &fm, [&fm] { fm.SFSetup->SetModalResult(TSpeedForm::mrOk); });
    fm.ActSetupExecute();
    QCOMPARE(RegReadInt(QStringLiteral("TypeDvc"), -7), 1);
}

void TestSettings::storedIndexOutsideAListLeavesNoSelection() {
    RegWriteInt(QStringLiteral("Port"), 25);
    RegWriteInt(QStringLiteral("TypeProgr"), 9);
    RecordingPrompter prompter;
    TFmMain fm(prompter, m_files, m_folder.path());
    QCOMPARE(fm.CBPort->currentIndex(), -1);
    QCOMPARE(fm.CBTypeProgr->currentIndex(), -1);
    // No programmer chosen is not "AVR Loader": the panel shows the tool and the clock.
    QCOMPARE(fm.LbPort->text(), QStringLiteral("Программа:"));
    QTimer::singleShot(0, &fm, [&fm] { fm.SFSetup->SetModalResult(TSpeedForm::mrOk); });
    fm.ActSetupExecute();
    QCOMPARE(RegReadInt(QStringLiteral("Port"), 0), -1);
}

void TestSettings::programmerTypeArrangesThePanel() {
    RecordingPrompter prompter;
    TFmMain fm(prompter, m_files, m_folder.path());
    fm.CBTypeProgr->setCurrentIndex(1);
    fm.CBTypeProgrCloseUp();
    QCOMPARE(fm.LbPort->text(), QStringLiteral("Программа:"));
    QCOMPARE(fm.FNSTK->isHidden(), false);
    QCOMPARE(fm.EdSpeed->isHidden(), false);
    QCOMPARE(fm.CBPort->isHidden(), true);
    QCOMPARE(fm.CBBaudrate->isHidden(), true);
    QCOMPARE(fm.Label13->isHidden(), false);
    QCOMPARE(fm.Label13->text(), QStringLiteral("Скорость: "));

    fm.CBTypeProgr->setCurrentIndex(0);
    fm.CBTypeProgrCloseUp();
    QCOMPARE(fm.LbPort->text(), QStringLiteral("Порт:"));
    QCOMPARE(fm.FNSTK->isHidden(), true);
    QCOMPARE(fm.EdSpeed->isHidden(), true);
    QCOMPARE(fm.CBPort->isHidden(), false);
    QCOMPARE(fm.CBBaudrate->isHidden(), false);
}

void TestSettings::okChecksTheToolName_data() {
    QTest::addColumn<int>("typeProgr");
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("stk500 lower case, Windows path") << 1 << QStringLiteral("D:\\Tools\\stk500.exe") << true;
    QTest::newRow("STK500 default path") << 1
                                         << QStringLiteral(
                                                "C:\\Program Files (x86)\\Atmel\\AVR Tools\\STK500\\STK500.exe")
                                         << true;
    QTest::newRow("atprogram mixed case, Linux path") << 1 << QStringLiteral("/opt/atmel/AtProgram.Exe") << true;
    QTest::newRow("bare name") << 1 << QStringLiteral("atprogram.exe") << true;
    QTest::newRow("avrdude") << 1 << QStringLiteral("/usr/bin/avrdude.exe") << false;
    QTest::newRow("stk500 without extension") << 1 << QStringLiteral("/usr/bin/stk500") << false;
    QTest::newRow("folder named stk500.exe") << 1 << QStringLiteral("/stk500.exe/tool.exe") << false;
    QTest::newRow("empty") << 1 << QString() << false;
    QTest::newRow("AVR Loader takes any path") << 0 << QStringLiteral("/usr/bin/avrdude.exe") << true;
}

void TestSettings::okChecksTheToolName() {
    QFETCH(int, typeProgr);
    QFETCH(QString, path);
    QFETCH(bool, accepted);
    RecordingPrompter prompter;
    TFmMain fm(prompter, m_files, m_folder.path());
    fm.CBTypeProgr->setCurrentIndex(typeProgr);
    fm.FNSTK->setFileName(path);
    fm.BtOKClick();
    QCOMPARE(fm.SFSetup->ModalResult(), accepted ? int(TSpeedForm::mrOk) : int(TSpeedForm::mrNone));
    if (accepted) {
        QCOMPARE(prompter.texts(), QStringList());
    } else {
        QCOMPARE(prompter.texts(), QStringList{QStringLiteral("Неизвестная программа для программирования")});
        QCOMPARE(prompter.messages.constFirst().caption, QStringLiteral("Ошибка"));
        QCOMPARE(prompter.messages.constFirst().kind, MessageKind::Error);
    }
}

void TestSettings::refusedToolKeepsThePanelOpen() {
    RecordingPrompter prompter;
    TFmMain fm(prompter, m_files, m_folder.path());
    fm.CBTypeProgr->setCurrentIndex(1);
    fm.FNSTK->setFileName(QStringLiteral("/usr/bin/avrdude.exe"));
    bool openAfterRefusal = false;
    QTimer::singleShot(0, &fm, [&] {
        QTest::mouseClick(fm.BtOK, Qt::LeftButton);
        openAfterRefusal = fm.SFSetup->dialog() != nullptr && fm.SFSetup->dialog()->isVisible();
        fm.FNSTK->setFileName(QStringLiteral("/usr/bin/STK500.EXE"));
        QTest::mouseClick(fm.BtOK, Qt::LeftButton);
    });
    fm.ActSetupExecute();
    QCOMPARE(openAfterRefusal, true);
    QCOMPARE(fm.SFSetup->ModalResult(), int(TSpeedForm::mrOk));
    QCOMPARE(prompter.texts(), QStringList{QStringLiteral("Неизвестная программа для программирования")});
    QCOMPARE(RegReadStr(QStringLiteral("STKPath"), QString()), QStringLiteral("/usr/bin/STK500.EXE"));
    QCOMPARE(RegReadInt(QStringLiteral("TypeProgr"), -1), 1);
}

void TestSettings::okSwitchesTheGeneration() {
    RecordingPrompter prompter;
    TFmMain fm(prompter, m_files, m_folder.path());
    fm.SetConfName(QStringLiteral("/data/object.kcf"));
    fm.ConfPassword = QStringLiteral("secret");
    fm.SetModified(true);
    fm.RGTypeDvc->SetItemIndex(0);
    QTimer::singleShot(0, &fm, [&fm] { QTest::mouseClick(fm.BtOK, Qt::LeftButton); });
    fm.ActSetupExecute();
    QCOMPARE(fm.SFSetup->ModalResult(), int(TSpeedForm::mrOk));
    QCOMPARE(fm.Config.DeviceType(), 0);
    QCOMPARE(fm.ConfFileName(), QString());
    QCOMPARE(fm.PnConfName->text(), QString());
    QCOMPARE(fm.ConfPassword, QString());
    QCOMPARE(fm.Modified(), false);
    QCOMPARE(fm.ListModel()->rowCount(), 50);
    QCOMPARE(fm.windowTitle(), QStringLiteral("Конфигуратор Kavor (версия 7.0.207)"));
    QCOMPARE(fm.ActJournal->isEnabled(), false);
    QCOMPARE(fm.ActMACAddr->isEnabled(), false);
    QCOMPARE(RegReadInt(QStringLiteral("TypeDvc"), -1), 0);
    // A switch is not a start: the first generation comes without the built-in defaults.
    QCOMPARE(fm.Config.GetValue(QStringLiteral("$01")), QString());
}

void TestSettings::okWithoutSwitchKeepsTheConfiguration() {
    RecordingPrompter prompter;
    TFmMain fm(prompter, m_files, m_folder.path());
    fm.SetConfName(QStringLiteral("/data/object.kcf"));
    fm.ConfPassword = QStringLiteral("secret");
    fm.SetFixed(true);
    fm.SetModified(true);
    const QModelIndex value = fm.ListModel()->index(0, ParamListModel::ColVal);
    fm.ListModel()->setData(value, QStringLiteral("Да"));
    fm.BtOKClick();
    QCOMPARE(fm.SFSetup->ModalResult(), int(TSpeedForm::mrOk));
    QCOMPARE(fm.ConfFileName(), QStringLiteral("/data/object.kcf"));
    QCOMPARE(fm.ConfPassword, QStringLiteral("secret"));
    QCOMPARE(fm.Fixed(), true);
    QCOMPARE(fm.Modified(), true);
    QCOMPARE(value.data().toString(), QStringLiteral("Да"));
}

void TestSettings::frameCloseWritesSettingsButDoesNotSwitch() {
    RecordingPrompter prompter;
    TFmMain fm(prompter, m_files, m_folder.path());
    QTimer::singleShot(0, &fm, [&fm] {
        fm.RGTypeDvc->SetItemIndex(0);
        fm.CBPort->setCurrentIndex(4);
        fm.CBBaudrate->setCurrentIndex(0);
        fm.CBVerify->setChecked(false);
        fm.EdSpeed->setText(QStringLiteral(" 1mhz "));
        fm.CBUSBPort->setCurrentIndex(2);
        QApplication::activeModalWidget()->close();
    });
    fm.ActSetupExecute();
    QCOMPARE(fm.SFSetup->ModalResult(), int(TSpeedForm::mrCancel));
    QCOMPARE(fm.Config.DeviceType(), 1);
    QCOMPARE(fm.windowTitle(), QStringLiteral("Конфигуратор Kavor-II (версия 207)"));
    QCOMPARE(RegReadInt(QStringLiteral("TypeDvc"), -1), 0);
    QCOMPARE(RegReadInt(QStringLiteral("Port"), -1), 4);
    QCOMPARE(RegReadInt(QStringLiteral("Baudrate"), -1), 0);
    QCOMPARE(RegReadInt(QStringLiteral("Verify"), -1), 0);
    QCOMPARE(RegReadInt(QStringLiteral("Protect"), -1), 1);
    QCOMPARE(RegReadStr(QStringLiteral("ProgrSpeed"), QString()), QStringLiteral(" 1mhz "));
    QCOMPARE(RegReadInt(QStringLiteral("USBPort"), -1), 2);
    QCOMPARE(RegReadInt(QStringLiteral("TypeProgr"), -1), 0);
    QCOMPARE(RegReadStr(QStringLiteral("STKPath"), QString()), ProgramSettings().STKPath);

    // The next start uses the chosen generation.
    TFmMain next(prompter, m_files, m_folder.path());
    QCOMPARE(next.Config.DeviceType(), 0);
    QCOMPARE(next.CBPort->currentIndex(), 4);
}

void TestSettings::generationGroupDisabledWhileFixed() {
    RecordingPrompter prompter;
    TFmMain fm(prompter, m_files, m_folder.path());
    QCOMPARE(fm.RGTypeDvc->isEnabled(), true);
    fm.SetFixed(true);
    QCOMPARE(fm.RGTypeDvc->isEnabled(), false);
    fm.UpdateTitle();
    QCOMPARE(fm.RGTypeDvc->isEnabled(), false);
    fm.SetFixed(false);
    QCOMPARE(fm.RGTypeDvc->isEnabled(), true);
}

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
