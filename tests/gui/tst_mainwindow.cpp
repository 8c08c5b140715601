#include "RecordingPrompter.h"
#include "ScriptedFileChooser.h"
#include "TempSettings.h"

#include "editor/ParamListModel.h"
#include "editor/PhoneHistory.h"
#include "mainwindow/RadioGroup.h"
#include "mainwindow/TFmMain.h"
#include "platform/Registry.h"

#include <QAction>
#include <QLabel>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QToolBar>
#include <QToolButton>
#include <QTemporaryDir>
#include <QtTest>

// The main window: start-up, the actions and their enabling, the toolbar, the caption, the file name and
// fixed-state presentation, and what closing writes.
class TestMainWindow : public QObject {
    Q_OBJECT

private slots:
    void init() { TempSettings::clear(); }

    void firstStart_data();
    void firstStart();
    void firstGenerationStartsWithDefaults();
    void actionsInOrder();
    void toolBarOrder();
    void confNameShowsTheBareFileName_data();
    void confNameShowsTheBareFileName();
    void saveEnabledOnlyWithChangesAndAFile();
    void fixedStatePresentation();
    void statusTextSurvivesHintsAndUpdateTitleClearsIt();
    void closingWritesThePhoneHistory();
    void closingWritesAnEmptyHistoryAsEmptyText();

private:
    TempSettings m_settings;
    // No file is chosen and no configuration lies beside the program.
    ScriptedFileChooser m_files;
    QTemporaryDir m_folder;
};

void TestMainWindow::firstStart_data() {
    QTest::addColumn<int>("stored"); // -2: nothing stored
    QTest::addColumn<int>("generation");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("deviceCommands");
    QTest::addColumn<int>("lines");
    QTest::newRow("no settings") << -2 << 1 << QStringLiteral("Конфигуратор Kavor-II (версия 207)") << true << 58;
    QTest::newRow("generation 1") << 1 << 1 << QStringLiteral("Конфигуратор Kavor-II (версия 207)") << true << 58;
    QTest::newRow("generation 0") << 0 << 0 << QStringLiteral("Конфигуратор Kavor (версия 7.0.207)") << false << 50;
}

void TestMainWindow::firstStart() {
    QFETCH(int, stored);
    QFETCH(int, generation);
    QFETCH(QString, caption);
    QFETCH(bool, deviceCommands);
    QFETCH(int, lines);
    if (stored != -2)
        RegWriteInt(QStringLiteral("TypeDvc"), stored);
    RecordingPrompter prompter;
    TFmMain fm(prompter, m_files, m_folder.path());
    QCOMPARE(fm.Config.DeviceType(), generation);
    QCOMPARE(fm.RGTypeDvc->ItemIndex(), generation);
    QCOMPARE(fm.windowTitle(), caption);
    QCOMPARE(fm.ActJournal->isEnabled(), deviceCommands);
    QCOMPARE(fm.ActMACAddr->isEnabled(), deviceCommands);
    QCOMPARE(fm.ActSaveConf->isEnabled(), false);
    for (QAction* always : {fm.ActLoadConf, fm.ActSaveAsConf, fm.ActFix, fm.ActRead, fm.ActWrite, fm.ActSetup})
        QCOMPARE(always->isEnabled(), true);
    QCOMPARE(fm.ListModel()->rowCount(), lines);
    QCOMPARE(fm.ConfFileName(), QString());
    QCOMPARE(fm.ConfPassword, QString());
    QCOMPARE(fm.Modified(), false);
    QCOMPARE(fm.Fixed(), false);
    QCOMPARE(fm.StatusText(), QString());
    QCOMPARE(prompter.texts(), QStringList());
}

void TestMainWindow::firstGenerationStartsWithDefaults() {
    RegWriteInt(QStringLiteral("TypeDvc"), 0);
    RecordingPrompter prompter;
    TFmMain fm(prompter, m_files, m_folder.path());
    QMap<QString, QString> shown;
    for (int i = 0; i < fm.ListModel()->rowCount(); ++i)
        shown.insert(fm.ListModel()->index(i, ParamListModel::ColName).data().toString(),
                     fm.ListModel()->index(i, ParamListModel::ColVal).data().toString());
    QCOMPARE(shown.value(QStringLiteral("Попыток связи по ГТС")), QStringLiteral("6"));
    QCOMPARE(shown.value(QStringLiteral("Попыток связи по GSM")), QStringLiteral("12"));
    QCOMPARE(shown.value(QStringLiteral("Ждать вызывной тон")), QStringLiteral("Да"));
    QCOMPARE(shown.value(QStringLiteral("Набор номера")), QStringLiteral("Импульс"));
    QCOMPARE(shown.value(QStringLiteral("Уровень приема GSM")), QStringLiteral("2"));
    QCOMPARE(shown.value(QStringLiteral("Передавать отказы связи")), QStringLiteral("Не передавать"));
    QCOMPARE(shown.value(QStringLiteral("Собственный идентификатор")), QStringLiteral("1234"));
    QCOMPARE(shown.value(QStringLiteral("Сообщение входа тревоги")), QStringLiteral("130"));
    QCOMPARE(shown.value(QStringLiteral("USSD запрос баланса")), QStringLiteral("*100#"));
    QCOMPARE(shown.value(QStringLiteral("Период запроса баланса (ч)")), QStringLiteral("2"));
    QCOMPARE(fm.Modified(), false);
}

void TestMainWindow::actionsInOrder() {
    RecordingPrompter prompter;
    TFmMain fm(prompter, m_files, m_folder.path());
    struct Expected {
        QAction* action;
        QString caption;
        QString hint;
        int image;
    };
    const QList<Expected> expected{
        {fm.ActLoadConf, QStringLiteral("Загрузить конфигурацию..."), QStringLiteral("Загрузить конфигурацию"), 4},
        {fm.ActSaveConf, QStringLiteral("Сохранить конфигурацию"), QStringLiteral("Сохранить конфигурацию"), 2},
        {fm.ActSaveAsConf, QStringLiteral("Сохранить конфигурацию как..."),
         QStringLiteral("Сохранить конфигурацию как"), 3},
        {fm.ActFix, QString(), QStringLiteral("Фиксировать конфигурацию"), 0},
        {fm.ActRead, QStringLiteral("Считать"), QStringLiteral("Чтение конфигурации из коммуникатора"), 6},
        {fm.ActWrite, QStringLiteral("Записать..."), QStringLiteral("Запись конфигурации в коммуникатор"), 5},
        {fm.ActSetup, QStringLiteral("Настройки..."), QStringLiteral("Настройки программы"), 7},
        {fm.ActJournal, QStringLiteral("Журнал..."), QStringLiteral("Чтение журнала устройства"), 8},
        {fm.ActMACAddr, QStringLiteral("Запись/Чтение MAC-адреса"), QStringLiteral("Запись/Чтение MAC-адреса"), 9},
    };
    QSet<size_t> images;
    for (const Expected& e : expected) {
        QCOMPARE(e.action->text(), e.caption);
        QCOMPARE(e.action->toolTip(), e.hint);
        QCOMPARE(e.action->property("imageIndex").toInt(), e.image);
        const QImage image = e.action->icon().pixmap(16, 16).toImage();
        QCOMPARE(image.size(), QSize(16, 16));
        images.insert(qHash(QByteArray(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes())));
    }
    // Every command has a picture of its own.
    QCOMPARE(images.size(), expected.size());
}

void TestMainWindow::toolBarOrder() {
    RecordingPrompter prompter;
    TFmMain fm(prompter, m_files, m_folder.path());
    QStringList order;
    for (QAction* item : fm.ToolBar->actions()) {
        if (item->isSeparator()) {
            order.append(QStringLiteral("|"));
            continue;
        }
        QWidget* widget = fm.ToolBar->widgetForAction(item);
        if (widget == fm.PnConfName) {
            order.append(QStringLiteral("PnConfName"));
            continue;
        }
        auto* button = qobject_cast<QToolButton*>(widget);
        QVERIFY(button);
        order.append(button->defaultAction()->toolTip() + QLatin1Char('/') + button->text() + QLatin1Char('/') +
                     QString::number(button->width()));
    }
    const QStringList expected{
        QStringLiteral("PnConfName"),
        QStringLiteral("Фиксировать конфигурацию//26"),
        QStringLiteral("|"),
        QStringLiteral("Загрузить конфигурацию/Загрузить конфигурацию.../26"),
        QStringLiteral("Сохранить конфигурацию/Сохранить конфигурацию/26"),
        QStringLiteral("Сохранить конфигурацию как/Сохранить конфигурацию как.../26"),
        QStringLiteral("|"),
        QStringLiteral("Чтение конфигурации из коммуникатора/Считать/90"),
        QStringLiteral("Запись конфигурации в коммуникатор/Записать.../110"),
        QStringLiteral("Чтение журнала устройства/Журнал.../100"),
        QStringLiteral("|"),
        QStringLiteral("Настройки программы/Настройки.../") +
            QString::number(fm.ToolBar->widgetForAction(fm.ActSetup)->width()),
        QStringLiteral("Запись/Чтение MAC-адреса/Запись/Чтение MAC-адреса/26"),
    };
    QCOMPARE(order, expected);
    QCOMPARE(fm.SBFix->defaultAction(), fm.ActFix);
    QCOMPARE(fm.SBRead->toolButtonStyle(), Qt::ToolButtonTextBesideIcon);
    QCOMPARE(static_cast<QToolButton*>(fm.ToolBar->widgetForAction(fm.ActSetup))->toolButtonStyle(),
             Qt::ToolButtonTextOnly);
    QCOMPARE(fm.PnConfName->width(), 169);
}

void TestMainWindow::confNameShowsTheBareFileName_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("shown");
    QTest::newRow("kcf in a folder") << QStringLiteral("/home/user/objects/setup.kcf") << QStringLiteral("setup");
    QTest::newRow("no extension") << QStringLiteral("/home/user/objects/setup") << QStringLiteral("setup");
    QTest::newRow("two dots") << QStringLiteral("/tmp/Объект 1.v2.kcf") << QStringLiteral("Объект 1.v2");
    QTest::newRow("bare name") << QStringLiteral("Склад.kcf") << QStringLiteral("Склад");
    QTest::newRow("empty") << QString() << QString();
}

void TestMainWindow::confNameShowsTheBareFileName() {
    QFETCH(QString, path);
    QFETCH(QString, shown);
    RecordingPrompter prompter;
    TFmMain fm(prompter, m_files, m_folder.path());
    fm.SetConfName(path);
    QCOMPARE(fm.ConfFileName(), path);
    QCOMPARE(fm.PnConfName->text(), shown);
    QCOMPARE(fm.PnConfName->width(), fm.PnConfName->fontMetrics().horizontalAdvance(shown) + 20);
}

void TestMainWindow::saveEnabledOnlyWithChangesAndAFile() {
    RecordingPrompter prompter;
    TFmMain fm(prompter, m_files, m_folder.path());
    fm.SetModified(true);
    QCOMPARE(fm.ActSaveConf->isEnabled(), false);
    fm.SetConfName(QStringLiteral("/data/a.kcf"));
    QCOMPARE(fm.ActSaveConf->isEnabled(), true);
    fm.SetModified(false);
    QCOMPARE(fm.ActSaveConf->isEnabled(), false);
    fm.SetModified(true);
    fm.SetConfName(QString());
    QCOMPARE(fm.ActSaveConf->isEnabled(), false);
}

void TestMainWindow::fixedStatePresentation() {
    RecordingPrompter prompter;
    TFmMain fm(prompter, m_files, m_folder.path());
    fm.SetFixed(true);
    QCOMPARE(fm.Fixed(), true);
    QCOMPARE(fm.ActFix->toolTip(), QStringLiteral("Расфиксировать конфигурацию"));
    QCOMPARE(fm.ActFix->property("imageIndex").toInt(), 1);
    QCOMPARE(fm.RGTypeDvc->isEnabled(), false);
    // Fixing changes no other action's state and is not a change of the configuration by itself.
    QCOMPARE(fm.Modified(), false);
    fm.SetFixed(false);
    QCOMPARE(fm.Fixed(), false);
    QCOMPARE(fm.ActFix->toolTip(), QStringLiteral("Фиксировать конфигурацию"));
    QCOMPARE(fm.ActFix->property("imageIndex").toInt(), 0);
    QCOMPARE(fm.RGTypeDvc->isEnabled(), true);
}

void TestMainWindow::statusTextSurvivesHintsAndUpdateTitleClearsIt() {
    RecordingPrompter prompter;
    TFmMain fm(prompter, m_files, m_folder.path());
    fm.show();
    fm.SetStatusText(QStringLiteral("Kavor-II:  версия v1.0"));
    // Hints shown while the pointer passes over the commands leave the text as it was.
    for (const QString& tip : {QStringLiteral("Настройки программы"), QString()}) {
        QStatusTipEvent hint(tip);
        QApplication::sendEvent(&fm, &hint);
    }
    QCOMPARE(fm.StatusText(), QStringLiteral("Kavor-II:  версия v1.0"));
    QCOMPARE(fm.StatusBar->isVisible(), true);
    fm.UpdateTitle();
    QCOMPARE(fm.StatusText(), QString());
}

void TestMainWindow::closingWritesThePhoneHistory() {
    RegWriteStr(QStringLiteral("Phones"), QStringLiteral("89161234567\r\n84950000000\n"));
    {
        RecordingPrompter prompter;
        TFmMain fm(prompter, m_files, m_folder.path());
        QCOMPARE(fm.PhoneList().entries(), (QStringList{QStringLiteral("84950000000"), QStringLiteral("89161234567")}));
        fm.PhoneList().add(QStringLiteral("84951111111"));
        fm.PhoneList().add(QStringLiteral("84950000000"));
    }
    QCOMPARE(RegReadStr(QStringLiteral("Phones"), QString()),
             QStringLiteral("84950000000\n84951111111\n89161234567\n"));
}

void TestMainWindow::closingWritesAnEmptyHistoryAsEmptyText() {
    {
        RecordingPrompter prompter;
        TFmMain fm(prompter, m_files, m_folder.path());
    }
    QVERIFY(TempSettings::contains(QStringLiteral("Phones")));
    QCOMPARE(RegReadStr(QStringLiteral("Phones"), QStringLiteral("missing")), QString());
    // Closing writes nothing but the history.
    QCOMPARE(TempSettings::contains(QStringLiteral("TypeDvc")), false);
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
