#include "RecordingPrompter.h"
#include "ScriptedFileChooser.h"
#include "TempSettings.h"

#include "config/ParamTable.h"
#include "editor/ParamListModel.h"
#include "editor/PhoneHistory.h"
#include "mainwindow/ParamValueDelegate.h"
#include "mainwindow/TFmMain.h"
#include "platform/Registry.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QTreeView>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

int lineOf(TFmMain& fm, const QString& code) {
    for (int i = 0; i < fm.ListModel()->rowCount(); ++i)
        if (const TParamDesc* row = fm.ListModel()->rowOf(i); row && row->code() == code)
            return i;
    return -1;
}

QModelIndex valueCell(TFmMain& fm, int line) {
    return fm.ListModel()->index(line, ParamListModel::ColVal);
}

// Opens the value editor of a line the way a double click does; null when the tree refuses.
QComboBox* openEditor(TFmMain& fm, int line) {
    fm.List->setCurrentIndex(valueCell(fm, line));
    if (!(valueCell(fm, line).flags() & Qt::ItemIsEditable))
        return nullptr;
    fm.List->edit(valueCell(fm, line));
    return qobject_cast<QComboBox*>(fm.ListDelegate()->editor());
}

void typeText(QWidget* target, const QString& text) {
    // keyClicks cannot type Cyrillic, so every character goes as a key event of its own.
    for (const QChar ch : text)
        QTest::sendKeyEvent(QTest::Click, target, Qt::Key_unknown, QString(ch), Qt::NoModifier);
}

QStringList comboItems(const QComboBox* combo) {
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items.append(combo->itemText(i));
    return items;
}

} // namespace

// The parameter tree: filling from the store, the editing rules and editors, the access-level menu,
// storing back with validation, the phone history and the drawing of restricted lines.
class TestParamTree : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup() { m_fm.reset(); }

    void linesFollowTheCatalogue_data();
    void linesFollowTheCatalogue();
    void editingRules_data();
    void editingRules();
    void editorPerKind();
    void menuLevelMakesALineEditableAgain();
    void menuShowsTheLevelAndIsDisabledWhileFixed();
    void editedValueSetsModifiedAtOnce();
    void storeListStopsAtTheFirstInvalidValue();
    void storeListOnlyAccessReportsNothing();
    void storeListTakesTheOpenEditor();
    void storeListSkipsReadOnlyLines();
    void phoneHistoryTakesSevenCharacters();
    void fillListFeedsThePhoneHistory();
    void restrictedLinesAreGray();

private:
    TempSettings m_settings;
    // No file is chosen and no configuration lies beside the program.
    ScriptedFileChooser m_files;
    QTemporaryDir m_folder;
    RecordingPrompter m_prompter;
    std::unique_ptr<TFmMain> m_fm;
};

void TestParamTree::init() {
    TempSettings::clear();
    m_prompter = RecordingPrompter();
    m_fm = std::make_unique<TFmMain>(m_prompter, m_files, m_folder.path());
    m_fm->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_fm.get()));
}

void TestParamTree::linesFollowTheCatalogue_data() {
    QTest::addColumn<int>("generation");
    QTest::addColumn<int>("lines");
    QTest::addColumn<QString>("readOnly");
    QTest::newRow("Kavor") << 0 << 50 << QStringLiteral("$23");
    QTest::newRow("Kavor-II") << 1 << 58 << QStringLiteral("#A,#B,#L");
}

void TestParamTree::linesFollowTheCatalogue() {
    QFETCH(int, generation);
    QFETCH(int, lines);
    QFETCH(QString, readOnly);
    TFmMain& fm = *m_fm;
    fm.Config.SetDeviceType(generation);
    fm.FillList();
    QCOMPARE(fm.ListModel()->rowCount(), lines);
    int separators = 0;
    QStringList readOnlyCodes;
    for (int i = 0; i < lines; ++i) {
        const TParamDesc* row = fm.ListModel()->rowOf(i);
        if (!row) {
            ++separators;
            QCOMPARE(fm.ListModel()->index(i, ParamListModel::ColName).data(), QVariant());
            continue;
        }
        QCOMPARE(fm.ListModel()->index(i, ParamListModel::ColName).data().toString(), row->name());
        if (row->has(pfReadOnly))
            readOnlyCodes.append(row->code());
    }
    QCOMPARE(separators, 7);
    QCOMPARE(readOnlyCodes.join(QLatin1Char(',')), readOnly);
    QCOMPARE(fm.List->isColumnHidden(ParamListModel::ColDis), true);
    QCOMPARE(fm.ListModel()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Параметр"));
    QCOMPARE(fm.ListModel()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Значение"));
}

void TestParamTree::editingRules_data() {
    QTest::addColumn<QString>("code"); // empty: the first separator line
    QTest::addColumn<int>("level");
    QTest::addColumn<bool>("fixed");
    QTest::addColumn<bool>("editable");
    QTest::newRow("level 0") << QStringLiteral("P20") << 0 << false << true;
    QTest::newRow("level 0, fixed") << QStringLiteral("P20") << 0 << true << true;
    QTest::newRow("level 1") << QStringLiteral("P20") << 1 << false << false;
    QTest::newRow("level 1, fixed") << QStringLiteral("P20") << 1 << true << false;
    QTest::newRow("level 2") << QStringLiteral("M07") << 2 << false << false;
    QTest::newRow("level 2, fixed") << QStringLiteral("M07") << 2 << true << false;
    QTest::newRow("read-only #A") << QStringLiteral("#A") << 0 << false << false;
    QTest::newRow("read-only #B") << QStringLiteral("#B") << 0 << false << false;
    QTest::newRow("read-only #L") << QStringLiteral("#L") << 0 << false << false;
    QTest::newRow("separator") << QString() << 0 << false << false;
}

void TestParamTree::editingRules() {
    QFETCH(QString, code);
    QFETCH(int, level);
    QFETCH(bool, fixed);
    QFETCH(bool, editable);
    TFmMain& fm = *m_fm;
    int line = lineOf(fm, code);
    if (code.isEmpty())
        while (fm.ListModel()->rowOf(++line))
            ;
    QCOMPARE_GE(line, 0);
    fm.ListModel()->setLevel(line, level);
    fm.SetFixed(fixed);
    QCOMPARE(openEditor(fm, line) != nullptr, editable);
    QCOMPARE(fm.ListModel()->ListEditing(line).allow, editable);
    // The name column is never edited.
    QCOMPARE(fm.ListModel()->index(line, ParamListModel::ColName).flags() & Qt::ItemIsEditable, Qt::NoItemFlags);
}

void TestParamTree::editorPerKind() {
    TFmMain& fm = *m_fm;
    fm.PhoneList().add(QStringLiteral("123456"));
    fm.PhoneList().add(QStringLiteral("89161234567"));
    fm.PhoneList().add(QStringLiteral("84951234567"));

    QComboBox* choice = openEditor(fm, lineOf(fm, QStringLiteral("M07")));
    QVERIFY(choice);
    QCOMPARE(choice->isEditable(), false);
    QCOMPARE(comboItems(choice), (QStringList{QStringLiteral("IDContact"), QStringLiteral("IDContact удлиненный"),
                                              QStringLiteral("Kolvet")}));
    QCOMPARE(choice->currentText(), QStringLiteral("IDContact"));
    fm.ListDelegate()->closeOpenEditor();

    QComboBox* phone = openEditor(fm, lineOf(fm, QStringLiteral("P20")));
    QVERIFY(phone);
    QCOMPARE(phone->isEditable(), true);
    QCOMPARE(comboItems(phone), (QStringList{QStringLiteral("84951234567"), QStringLiteral("89161234567")}));
    QCOMPARE(phone->currentText(), QString());
    fm.ListDelegate()->closeOpenEditor();

    QComboBox* number = openEditor(fm, lineOf(fm, QStringLiteral("M20")));
    QVERIFY(number);
    QCOMPARE(number->isEditable(), true);
    QCOMPARE(comboItems(number), QStringList());
    fm.ListDelegate()->closeOpenEditor();

    // A number with a list offers the list; the chosen text is the value.
    QComboBox* code = openEditor(fm, lineOf(fm, QStringLiteral("M11")));
    QVERIFY(code);
    QCOMPARE(code->isEditable(), false);
    QCOMPARE(code->count(), 38);
    QCOMPARE(code->itemText(0), QStringLiteral("100"));
    QCOMPARE(code->itemText(37), QStringLiteral("163"));
    fm.ListDelegate()->closeOpenEditor();
    QCOMPARE(fm.Modified(), false);
}

void TestParamTree::menuLevelMakesALineEditableAgain() {
    TFmMain& fm = *m_fm;
    const int line = lineOf(fm, QStringLiteral("M20"));
    fm.List->setCurrentIndex(valueCell(fm, line));
    fm.MIFullDisable->trigger();
    QCOMPARE(fm.ListModel()->levelOf(line), 2);
    QCOMPARE(fm.ListModel()->index(line, ParamListModel::ColDis).data().toInt(), 2);
    QCOMPARE(fm.Modified(), true);
    QCOMPARE(openEditor(fm, line), nullptr);
    // The store learns of the level only at the next StoreList.
    int stored = -1;
    fm.Config.GetValue(QStringLiteral("M20"), &stored);
    QCOMPARE(stored, 0);

    fm.List->setCurrentIndex(valueCell(fm, line));
    fm.MIEnable->trigger();
    QCOMPARE(fm.ListModel()->levelOf(line), 0);
    QVERIFY(openEditor(fm, line) != nullptr);
}

void TestParamTree::menuShowsTheLevelAndIsDisabledWhileFixed() {
    TFmMain& fm = *m_fm;
    QCOMPARE(fm.PopupMenu->actions(), (QList<QAction*>{fm.MIEnable, fm.MIDisable, fm.MIFullDisable}));
    QCOMPARE(fm.MIEnable->text(), QStringLiteral("Изменение разрешено"));
    QCOMPARE(fm.MIDisable->text(), QStringLiteral("Запрещено изменение"));
    QCOMPARE(fm.MIFullDisable->text(), QStringLiteral("Запрещено чтение и изменение"));
    QCOMPARE(fm.MIEnable->isChecked(), true);

    const int line = lineOf(fm, QStringLiteral("P21"));
    fm.ListModel()->setLevel(line, 1);
    fm.List->setCurrentIndex(valueCell(fm, line));
    fm.PopupMenuPopup();
    QCOMPARE(fm.MIDisable->isChecked(), true);
    QCOMPARE(fm.MIEnable->isChecked(), false);
    QCOMPARE(fm.MIEnable->isEnabled(), true);

    // A separator line leaves the check marks as they were.
    int separator = line;
    while (fm.ListModel()->rowOf(separator))
        ++separator;
    fm.List->setCurrentIndex(fm.ListModel()->index(separator, ParamListModel::ColName));
    fm.PopupMenuPopup();
    QCOMPARE(fm.MIDisable->isChecked(), true);

    fm.SetFixed(true);
    fm.List->setCurrentIndex(valueCell(fm, line));
    fm.PopupMenuPopup();
    for (QAction* item : fm.PopupMenu->actions())
        QCOMPARE(item->isEnabled(), false);
    fm.SetFixed(false);
    fm.PopupMenuPopup();
    for (QAction* item : fm.PopupMenu->actions())
        QCOMPARE(item->isEnabled(), true);
}

void TestParamTree::editedValueSetsModifiedAtOnce() {
    TFmMain& fm = *m_fm;
    const int line = lineOf(fm, QStringLiteral("M07"));
    QComboBox* combo = openEditor(fm, line);
    QVERIFY(combo);
    QCOMPARE(fm.Modified(), false);
    combo->setCurrentIndex(2);
    // The editor is still open: the cell and the flag already know.
    QCOMPARE(fm.ListDelegate()->editor(), combo);
    QCOMPARE(fm.Modified(), true);
    QCOMPARE(valueCell(fm, line).data().toString(), QStringLiteral("Kolvet"));

    fm.SetModified(false);
    QComboBox* text = openEditor(fm, lineOf(fm, QStringLiteral("G01")));
    QVERIFY(text);
    text->lineEdit()->selectAll();
    typeText(text->lineEdit(), QStringLiteral("вход"));
    QCOMPARE(fm.Modified(), true);
    QCOMPARE(valueCell(fm, lineOf(fm, QStringLiteral("G01"))).data().toString(), QStringLiteral("вход"));
}

void TestParamTree::storeListStopsAtTheFirstInvalidValue() {
    TFmMain& fm = *m_fm;
    QCOMPARE(fm.Config.DeviceType(), 1);
    const int later = lineOf(fm, QStringLiteral("M21"));
    fm.ListModel()->setData(valueCell(fm, later), QStringLiteral("Не посылать никогда"));
    fm.ListModel()->setLevel(lineOf(fm, QStringLiteral("M04")), 1);

    QCOMPARE(fm.StoreList(false), false);
    QCOMPARE(m_prompter.texts(),
             QStringList{QStringLiteral("Недопустимое значение параметра 'Период тестовых сообщений (ч)'")});
    QCOMPARE(m_prompter.messages.constFirst().caption, QStringLiteral("Ошибка"));
    QCOMPARE(m_prompter.messages.constFirst().kind, MessageKind::Error);
    // The choice lines before it are stored as their first choice with their levels; the lines after are
    // not touched.
    int level = -1;
    QCOMPARE(fm.Config.GetValue(QStringLiteral("M06-1")), QStringLiteral("0"));
    QCOMPARE(fm.Config.GetValue(QStringLiteral("M04"), &level), QStringLiteral("0"));
    QCOMPARE(level, 1);
    QCOMPARE(fm.Config.GetValue(QStringLiteral("M21")), QString());
}

void TestParamTree::storeListOnlyAccessReportsNothing() {
    TFmMain& fm = *m_fm;
    fm.ListModel()->setLevel(lineOf(fm, QStringLiteral("M20")), 2);
    fm.ListModel()->setLevel(lineOf(fm, QStringLiteral("P01")), 1);
    fm.ListModel()->setData(valueCell(fm, lineOf(fm, QStringLiteral("P01"))), QStringLiteral("not a phone"));
    QCOMPARE(fm.StoreList(true), true);
    QCOMPARE(m_prompter.texts(), QStringList());
    int level = -1;
    QCOMPARE(fm.Config.GetValue(QStringLiteral("M20"), &level), QString());
    QCOMPARE(level, 2);
    QCOMPARE(fm.Config.GetValue(QStringLiteral("P01"), &level), QString());
    QCOMPARE(level, 1);
}

void TestParamTree::storeListTakesTheOpenEditor() {
    TFmMain& fm = *m_fm;
    QComboBox* combo = openEditor(fm, lineOf(fm, QStringLiteral("M20")));
    QVERIFY(combo);
    QTest::keyClicks(combo->lineEdit(), QStringLiteral("15"));
    fm.StoreList(false);
    QCOMPARE(fm.ListDelegate()->editor(), nullptr);
    QCOMPARE(fm.Config.GetValue(QStringLiteral("M20")), QStringLiteral("15"));
}

void TestParamTree::storeListSkipsReadOnlyLines() {
    RegWriteInt(QStringLiteral("TypeDvc"), 0);
    m_fm = std::make_unique<TFmMain>(m_prompter, m_files, m_folder.path());
    TFmMain& fm = *m_fm;
    const int imsi = lineOf(fm, QStringLiteral("$23"));
    fm.ListModel()->setLevel(imsi, 2);
    // Not a value any line could hold, and never stored.
    QCOMPARE(fm.ListModel()->setData(valueCell(fm, imsi), QStringLiteral("x").repeated(100)), true);
    QCOMPARE(fm.StoreList(false), true);
    QCOMPARE(m_prompter.texts(), QStringList());
    int level = -1;
    QCOMPARE(fm.Config.GetValue(QStringLiteral("$23"), &level), QString());
    QCOMPARE(level, 0);
    QCOMPARE(fm.Config.GetValue(QStringLiteral("M01-1")), QStringLiteral("1"));
    QCOMPARE(fm.Config.GetValue(QStringLiteral("$01")), QStringLiteral("6"));
}

void TestParamTree::phoneHistoryTakesSevenCharacters() {
    TFmMain& fm = *m_fm;
    QComboBox* first = openEditor(fm, lineOf(fm, QStringLiteral("P20")));
    QVERIFY(first);
    QTest::keyClicks(first->lineEdit(), QStringLiteral("8495123"));
    // Return ends the edit through a queued call of the view.
    QTest::keyClick(first->lineEdit(), Qt::Key_Return);
    QTRY_COMPARE(fm.ListDelegate()->editor(), nullptr);
    QCOMPARE(fm.PhoneList().entries(), QStringList{QStringLiteral("8495123")});

    QComboBox* second = openEditor(fm, lineOf(fm, QStringLiteral("P21")));
    QVERIFY(second);
    QCOMPARE(comboItems(second), QStringList{QStringLiteral("8495123")});
    QTest::keyClicks(second->lineEdit(), QStringLiteral("123456"));
    QTest::keyClick(second->lineEdit(), Qt::Key_Return);
    QTRY_COMPARE(fm.ListDelegate()->editor(), nullptr);
    QCOMPARE(fm.PhoneList().entries(), QStringList{QStringLiteral("8495123")});

    // Only phone parameters feed the history.
    QComboBox* text = openEditor(fm, lineOf(fm, QStringLiteral("B04")));
    QVERIFY(text);
    QTest::keyClicks(text->lineEdit(), QStringLiteral("*100*1#"));
    QTest::keyClick(text->lineEdit(), Qt::Key_Return);
    QTRY_COMPARE(fm.ListDelegate()->editor(), nullptr);
    QCOMPARE(fm.PhoneList().entries(), QStringList{QStringLiteral("8495123")});
}

void TestParamTree::fillListFeedsThePhoneHistory() {
    TFmMain& fm = *m_fm;
    QVERIFY(fm.Config.SetValue(QStringLiteral("P01"), QStringLiteral("89161234567"), 0));
    QVERIFY(fm.Config.SetValue(QStringLiteral("P02"), QStringLiteral("912345"), 0));
    QVERIFY(fm.Config.SetValue(QStringLiteral("B04"), QStringLiteral("*100*12#"), 0));
    fm.FillList();
    QCOMPARE(fm.PhoneList().entries(), QStringList{QStringLiteral("89161234567")});
    QCOMPARE(valueCell(fm, lineOf(fm, QStringLiteral("P02"))).data().toString(), QStringLiteral("912345"));
}

void TestParamTree::restrictedLinesAreGray() {
    TFmMain& fm = *m_fm;
    const int restricted = lineOf(fm, QStringLiteral("M07"));
    const int selectedRestricted = lineOf(fm, QStringLiteral("M08"));
    const int normal = lineOf(fm, QStringLiteral("M05"));
    fm.ListModel()->setLevel(restricted, 2);
    fm.ListModel()->setLevel(selectedRestricted, 1);
    fm.List->setFocus();
    fm.List->setCurrentIndex(valueCell(fm, selectedRestricted));
    QApplication::processEvents();
    const QImage image = fm.List->viewport()->grab().toImage();

    // The darkest text pixel of a cell: gray text never gets darker than 128.
    const auto darkest = [&](int line, int column) {
        const QRect rect = fm.List->visualRect(fm.ListModel()->index(line, column));
        int result = 255;
        for (int y = rect.top(); y <= rect.bottom(); ++y)
            for (int x = rect.left(); x <= rect.right(); ++x)
                result = std::min(result, qGray(image.pixel(x, y)));
        return result;
    };
    for (int column : {int(ParamListModel::ColName), int(ParamListModel::ColVal)}) {
        QCOMPARE_GE(darkest(restricted, column), 120);
        QCOMPARE_LE(darkest(restricted, column), 136);
        QCOMPARE_LT(darkest(normal, column), 60);
    }
    QCOMPARE_GE(darkest(selectedRestricted, ParamListModel::ColName), 120);
    // On the selection an editable line's text turns white, a restricted line's stays gray.
    const auto whitePixels = [&fm](int line) {
        fm.List->setCurrentIndex(valueCell(fm, line));
        QApplication::processEvents();
        const QImage shot = fm.List->viewport()->grab().toImage();
        const QRect rect = fm.List->visualRect(valueCell(fm, line));
        int count = 0;
        for (int y = rect.top(); y <= rect.bottom(); ++y)
            for (int x = rect.left(); x <= rect.right(); ++x)
                count += std::min({qRed(shot.pixel(x, y)), qGreen(shot.pixel(x, y)), qBlue(shot.pixel(x, y))}) >= 200;
        return count;
    };
    QCOMPARE(whitePixels(selectedRestricted), 0);
    QCOMPARE_GT(whitePixels(normal), 0);
}

QTEST_MAIN(TestParamTree)
#include "tst_paramtree.moc"
