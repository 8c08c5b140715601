#include "mainwindow/TFmMain.h"

#include "editor/ParamListModel.h"
#include "mainwindow/ParamValueDelegate.h"
#include "mainwindow/TSpeedForm.h"
#include "mainwindow/ToolImages.h"
#include "platform/KavorError.h"
#include "platform/ProgramSettings.h"
#include "platform/Prompter.h"
#include "platform/Registry.h"

#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>

#include <algorithm>

namespace {

QFont verdana(bool bold = false) {
    // Where Verdana is missing the font configuration substitutes its nearest match.
    QFont font(QStringLiteral("Verdana"));
    font.setPixelSize(14);
    font.setBold(bold);
    return font;
}

QAction* makeAction(QObject* owner, const QString& caption, const QString& hint, int imageIndex, const QIcon& icon) {
    auto* action = new QAction(icon, caption, owner);
    // Buttons show the caption as it stands, "..." included.
    action->setIconText(caption);
    action->setToolTip(hint);
    action->setProperty("imageIndex", imageIndex);
    return action;
}

} // namespace

TFmMain::TFmMain(Prompter& prompter, FileChooser& files, const QString& programFolder, QWidget* parent)
    : QMainWindow(parent), m_prompter(prompter), m_files(files), m_programFolder(programFolder),
      m_model(new ParamListModel(this)), m_delegate(new ParamValueDelegate(m_model, this)) {
    for (int i = 0; i < ToolImages::Count; ++i)
        m_images[i] = ToolImages::image(i);
    setFont(verdana());
    // The designed client area is 684 x 442; the smallest window is 700 x 300 with its frame.
    resize(684, 442);
    setMinimumSize(684, 266);

    createActions();
    createToolBar();
    createList();
    createSetupPanel();
    createFilePanels();
    // The status text is a label of its own: hints passing over the status bar would wipe a plain message.
    StatusBar = new QLabel(this);
    statusBar()->addWidget(StatusBar, 1);

    // A failing step (a broken setting, a damaged default) is reported and skips the rest of the set-up;
    // the window still opens.
    try {
        FormCreate();
    } catch (const KavorError& e) {
        m_prompter.showError(e.text());
    } catch (const std::exception& e) {
        m_prompter.showError(QString::fromLocal8Bit(e.what()));
    }
    ActionListUpdate();
}

TFmMain::~TFmMain() {
    // The tree and its editor go down with the window's children, after this object stopped being a TFmMain.
    m_delegate->disconnect(this);
    m_model->disconnect(this);
    FormDestroy();
}

void TFmMain::createActions() {
    ActLoadConf = makeAction(this, QStringLiteral("Загрузить конфигурацию..."),
                             QStringLiteral("Загрузить конфигурацию"), 4, m_images[4]);
    ActSaveConf = makeAction(this, QStringLiteral("Сохранить конфигурацию"), QStringLiteral("Сохранить конфигурацию"),
                             2, m_images[2]);
    ActSaveAsConf = makeAction(this, QStringLiteral("Сохранить конфигурацию как..."),
                               QStringLiteral("Сохранить конфигурацию как"), 3, m_images[3]);
    ActFix = makeAction(this, QString(), QStringLiteral("Фиксировать конфигурацию"), 0, m_images[0]);
    ActRead = makeAction(this, QStringLiteral("Считать"), QStringLiteral("Чтение конфигурации из коммуникатора"), 6,
                         m_images[6]);
    ActWrite = makeAction(this, QStringLiteral("Записать..."), QStringLiteral("Запись конфигурации в коммуникатор"), 5,
                          m_images[5]);
    ActSetup = makeAction(this, QStringLiteral("Настройки..."), QStringLiteral("Настройки программы"), 7, m_images[7]);
    ActJournal =
        makeAction(this, QStringLiteral("Журнал..."), QStringLiteral("Чтение журнала устройства"), 8, m_images[8]);
    ActMACAddr = makeAction(this, QStringLiteral("Запись/Чтение MAC-адреса"),
                            QStringLiteral("Запись/Чтение MAC-адреса"), 9, m_images[9]);
    // The check mark shows the fixed state, as the pressed look of SBFix does.
    ActFix->setCheckable(true);
    connect(ActLoadConf, &QAction::triggered, this, &TFmMain::ActLoadConfExecute);
    connect(ActSaveConf, &QAction::triggered, this, &TFmMain::ActSaveConfExecute);
    connect(ActSaveAsConf, &QAction::triggered, this, &TFmMain::ActSaveAsConfExecute);
    connect(ActFix, &QAction::triggered, this, &TFmMain::ActFixExecute);
    connect(ActSetup, &QAction::triggered, this, &TFmMain::ActSetupExecute);
}

void TFmMain::createToolBar() {
    ToolBar = addToolBar(QString());
    ToolBar->setObjectName(QStringLiteral("ToolBar"));
    ToolBar->setMovable(false);
    ToolBar->setFloatable(false);
    ToolBar->setContextMenuPolicy(Qt::PreventContextMenu);
    ToolBar->setIconSize(QSize(16, 16));

    const auto speedButton = [this](QAction* action, int width, Qt::ToolButtonStyle style) {
        auto* button = new QToolButton(ToolBar);
        button->setDefaultAction(action);
        button->setToolButtonStyle(style);
        button->setAutoRaise(true);
        button->setFixedSize(width, 26);
        ToolBar->addWidget(button);
        return button;
    };
    const auto toolButton = [this](QAction* action, Qt::ToolButtonStyle style) {
        ToolBar->addAction(action);
        auto* button = static_cast<QToolButton*>(ToolBar->widgetForAction(action));
        button->setToolButtonStyle(style);
        button->setFixedHeight(26);
        if (style == Qt::ToolButtonIconOnly)
            button->setFixedWidth(26);
    };

    PnConfName = new QLabel(ToolBar);
    PnConfName->setAlignment(Qt::AlignCenter);
    PnConfName->setFixedWidth(169);
    ToolBar->addWidget(PnConfName);
    SBFix = speedButton(ActFix, 26, Qt::ToolButtonIconOnly);
    ToolBar->addSeparator();
    toolButton(ActLoadConf, Qt::ToolButtonIconOnly);
    toolButton(ActSaveConf, Qt::ToolButtonIconOnly);
    toolButton(ActSaveAsConf, Qt::ToolButtonIconOnly);
    ToolBar->addSeparator();
    SBRead = speedButton(ActRead, 90, Qt::ToolButtonTextBesideIcon);
    SBWrite = speedButton(ActWrite, 110, Qt::ToolButtonTextBesideIcon);
    SpeedButton1 = speedButton(ActJournal, 100, Qt::ToolButtonTextBesideIcon);
    ToolBar->addSeparator();
    toolButton(ActSetup, Qt::ToolButtonTextOnly);
    toolButton(ActMACAddr, Qt::ToolButtonIconOnly);
}

void TFmMain::createList() {
    List = new QTreeView(this);
    List->setObjectName(QStringLiteral("List"));
    List->setModel(m_model);
    List->setItemDelegate(m_delegate);
    List->setFont(verdana(true));
    List->setRootIsDecorated(false);
    List->setItemsExpandable(false);
    List->setUniformRowHeights(true);
    List->setSortingEnabled(false);
    List->setAllColumnsShowFocus(false);
    List->setSelectionBehavior(QAbstractItemView::SelectItems);
    List->setSelectionMode(QAbstractItemView::SingleSelection);
    List->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                          QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    List->header()->setSectionsClickable(false);
    List->header()->setSectionsMovable(false);
    List->header()->setDefaultAlignment(Qt::AlignCenter);
    List->setColumnWidth(ParamListModel::ColName, 273);
    List->setColumnWidth(ParamListModel::ColVal, 136);
    List->setColumnHidden(ParamListModel::ColDis, true);
    List->setContextMenuPolicy(Qt::CustomContextMenu);
    setCentralWidget(List);

    PopupMenu = new QMenu(this);
    auto* group = new QActionGroup(PopupMenu);
    group->setExclusive(true);
    const auto menuItem = [this, group](const QString& caption, int tag) {
        QAction* item = PopupMenu->addAction(caption);
        item->setCheckable(true);
        item->setData(tag);
        group->addAction(item);
        connect(item, &QAction::triggered, this, [this, tag] { MIDisableClick(tag); });
        return item;
    };
    MIEnable = menuItem(QStringLiteral("Изменение разрешено"), alEditable);
    MIDisable = menuItem(QStringLiteral("Запрещено изменение"), alNoChange);
    MIFullDisable = menuItem(QStringLiteral("Запрещено чтение и изменение"), alNoRead);
    MIEnable->setChecked(true);

    connect(List, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        const QModelIndex at = List->indexAt(pos);
        if (at.isValid())
            List->setCurrentIndex(at);
        PopupMenuPopup();
        PopupMenu->popup(List->viewport()->mapToGlobal(pos));
    });
    connect(m_model, &ParamListModel::valueEdited, this, &TFmMain::ListColValPropertiesEditValueChanged);
    connect(m_delegate, &QAbstractItemDelegate::closeEditor, this, &TFmMain::ListEdited);
}

void TFmMain::createSetupPanel() {
    SFSetup = new TSpeedForm(this);
    SFSetup->setObjectName(QStringLiteral("SFSetup"));
    SFSetup->setCaption(QStringLiteral("Параметры"));
    Ui::SetupPanel::setupUi(SFSetup->contents());
    CBPort->addItems(ProgramSettings::ProgrammerPortNames());
    CBUSBPort->addItems(ProgramSettings::DevicePortNames());
    FNSTK->setFilter({QStringLiteral("Исполняемые файлы (*.exe)=*.exe"), QStringLiteral("Все файлы (*.*)=*.*")});
    connect(CBTypeProgr, &QComboBox::activated, this, &TFmMain::CBTypeProgrCloseUp);
    connect(BtOK, &QPushButton::clicked, this, &TFmMain::BtOKClick);
}

void TFmMain::createFilePanels() {
    SFSelConfig = new TSpeedForm(this);
    SFSelConfig->setObjectName(QStringLiteral("SFSelConfig"));
    SFSelConfig->setCaption(QStringLiteral("Конфигурация"));
    Ui::SelConfigPanel::setupUi(SFSelConfig->contents());
    connect(BtConfOK, &QPushButton::clicked, this, [this] { SFSelConfig->SetModalResult(TSpeedForm::mrOk); });

    SFPassword = new TSpeedForm(this);
    SFPassword->setObjectName(QStringLiteral("SFPassword"));
    SFPassword->setCaption(QStringLiteral("Пароль конфигурации"));
    Ui::PasswordPanel::setupUi(SFPassword->contents());
    EdPwd->setFont(verdana(true));
    connect(BtPwdOK, &QPushButton::clicked, this, [this] { SFPassword->SetModalResult(TSpeedForm::mrOk); });
    connect(BtPwdCancel, &QPushButton::clicked, this, [this] { SFPassword->SetModalResult(TSpeedForm::mrCancel); });
}

void TFmMain::FormCreate() {
    PhoneList().setText(RegReadStr(QStringLiteral("Phones"), QString()));
    loadSettingsIntoControls();
    CBTypeProgrCloseUp();
    Config.SetDeviceType(RGTypeDvc->ItemIndex());
    if (Config.DeviceType() == 0)
        Config.LoadDefaultImage();
    SelectConfig();
    FillList();
    UpdateTitle();
}

void TFmMain::FormDestroy() {
    RegWriteStr(QStringLiteral("Phones"), PhoneList().text());
}

void TFmMain::loadSettingsIntoControls() {
    const ProgramSettings s = ProgramSettings::read();
    CBTypeProgr->setCurrentIndex(s.TypeProgr);
    CBPort->setCurrentIndex(s.Port);
    CBBaudrate->setCurrentIndex(s.Baudrate);
    EdSpeed->setText(s.ProgrSpeed);
    CBVerify->setChecked(s.Verify);
    CBProtect->setChecked(s.Protect);
    FNSTK->setFileName(s.STKPath);
    RGTypeDvc->SetItemIndex(s.TypeDvc);
    CBUSBPort->setCurrentIndex(s.USBPort);
}

void TFmMain::saveSettingsFromControls() const {
    ProgramSettings s;
    s.TypeProgr = CBTypeProgr->currentIndex();
    s.Port = CBPort->currentIndex();
    s.Baudrate = CBBaudrate->currentIndex();
    s.Verify = CBVerify->isChecked();
    s.Protect = CBProtect->isChecked();
    s.STKPath = FNSTK->FileName();
    s.ProgrSpeed = EdSpeed->text();
    s.TypeDvc = RGTypeDvc->ItemIndex();
    s.USBPort = CBUSBPort->currentIndex();
    s.write();
}

PhoneHistory& TFmMain::PhoneList() {
    return m_model->phones();
}

QString TFmMain::StatusText() const {
    return StatusBar->text();
}

void TFmMain::SetStatusText(const QString& text) {
    StatusBar->setText(text);
}

void TFmMain::SetModified(bool modified) {
    m_modified = modified;
    ActionListUpdate();
}

void TFmMain::SetConfName(const QString& path) {
    m_confFileName = path;
    const QString name = path.isEmpty() ? QString() : QFileInfo(path).completeBaseName();
    PnConfName->setText(name);
    PnConfName->setFixedWidth(PnConfName->fontMetrics().horizontalAdvance(name) + 20);
    ActionListUpdate();
}

void TFmMain::SetFixed(bool fixed) {
    m_fixed = fixed;
    const int image = fixed ? 1 : 0;
    ActFix->setToolTip(fixed ? QStringLiteral("Расфиксировать конфигурацию")
                             : QStringLiteral("Фиксировать конфигурацию"));
    ActFix->setIcon(m_images[image]);
    ActFix->setProperty("imageIndex", image);
    ActFix->setChecked(fixed);
    RGTypeDvc->setEnabled(!fixed);
}

void TFmMain::UpdateTitle() {
    RGTypeDvc->SetItemIndex(Config.DeviceType());
    RGTypeDvc->setEnabled(!m_fixed);
    setWindowTitle(Config.DeviceType() != 0 ? QStringLiteral("Конфигуратор Kavor-II (версия 207)")
                                            : QStringLiteral("Конфигуратор Kavor (версия 7.0.207)"));
    SetStatusText(QString());
    ActionListUpdate();
}

void TFmMain::ActionListUpdate() {
    ActSaveConf->setEnabled(m_modified && !m_confFileName.isEmpty());
    ActJournal->setEnabled(Config.DeviceType() == 1);
    ActMACAddr->setEnabled(Config.DeviceType() == 1);
}

void TFmMain::FillList() {
    m_model->FillList(Config);
}

bool TFmMain::StoreList(bool OnlyAccess) {
    m_delegate->closeOpenEditor();
    const int refused = m_model->StoreList(Config, OnlyAccess);
    if (refused < 0)
        return true;
    const QString name = m_model->index(refused, ParamListModel::ColName).data().toString();
    m_prompter.showError(QStringLiteral("Недопустимое значение параметра '") + name + QLatin1Char('\''));
    return false;
}

int TFmMain::FocusedLine() const {
    const QModelIndex current = List->currentIndex();
    return current.isValid() ? current.row() : -1;
}

void TFmMain::ListColValPropertiesEditValueChanged() {
    SetModified(true);
}

void TFmMain::ListEdited() {
    m_model->ListEdited(FocusedLine());
}

void TFmMain::PopupMenuPopup() {
    const int line = FocusedLine();
    if (m_model->rowOf(line)) {
        const QList<QAction*> items{MIEnable, MIDisable, MIFullDisable};
        const int level = m_model->levelOf(line);
        if (level >= 0 && level < items.size())
            items.at(level)->setChecked(true);
    }
    for (QAction* item : {MIEnable, MIDisable, MIFullDisable})
        item->setEnabled(!m_fixed);
}

void TFmMain::MIDisableClick(int tag) {
    const int line = FocusedLine();
    if (line < 0)
        return;
    m_model->setLevel(line, tag);
    SetModified(true);
}

void TFmMain::CBTypeProgrCloseUp() {
    const bool loader = CBTypeProgr->currentIndex() == 0;
    CBPort->setVisible(loader);
    CBBaudrate->setVisible(loader);
    FNSTK->setVisible(!loader);
    EdSpeed->setVisible(!loader);
    LbPort->setText(loader ? QStringLiteral("Порт:") : QStringLiteral("Программа:"));
}

void TFmMain::ActSetupExecute() {
    SFSetup->ShowModal();
    // However the panel was left, its controls are the settings from now on.
    saveSettingsFromControls();
}

void TFmMain::BtOKClick() {
    if (CBTypeProgr->currentIndex() != 0 && !ProgramSettings::IsKnownProgrammingTool(FNSTK->FileName())) {
        m_prompter.showError(QStringLiteral("Неизвестная программа для программирования"));
        return;
    }
    if (Config.SetDeviceType(RGTypeDvc->ItemIndex())) {
        SetConfName(QString());
        ConfPassword.clear();
        SetModified(false);
        SelectConfig();
        FillList();
        UpdateTitle();
    }
    SFSetup->SetModalResult(TSpeedForm::mrOk);
}

FileChooser::Request TFmMain::confFileRequest() const {
    return {m_confFileName,
            QStringLiteral("kcf"),
            {QStringLiteral("Файлы конфигурации (*.kcf)"), QStringLiteral("Все файлы (*)")}};
}

void TFmMain::takeLoadedFile(const QString& path, const QString& password, bool fixed) {
    SetFixed(fixed);
    SetConfName(path);
    ConfPassword = password;
    SetModified(false);
}

void TFmMain::ActLoadConfExecute() {
    m_delegate->closeOpenEditor();
    const QString path = m_files.openFileName(confFileRequest());
    if (path.isEmpty())
        return;
    QString password;
    bool fixed = false;
    // A failed load leaves Config as it was; refreshing the tree then would only throw away the edits
    // not stored yet.
    if (!Config.LoadFromFile(path, password, fixed, m_prompter))
        return;
    FillList();
    takeLoadedFile(path, password, fixed);
    UpdateTitle();
}

void TFmMain::ActSaveConfExecute() {
    if (!StoreList(false))
        return;
    if (Config.SaveToFile(m_confFileName, m_fixed, ConfPassword, m_prompter))
        SetModified(false);
}

void TFmMain::ActSaveAsConfExecute() {
    if (!StoreList(false))
        return;
    const QString path = m_files.saveFileName(confFileRequest());
    if (path.isEmpty() || !Config.SaveToFile(path, m_fixed, ConfPassword, m_prompter))
        return;
    SetConfName(path);
    SetModified(false);
}

void TFmMain::ActFixExecute() {
    // Triggering flips the check mark by itself; only the outcome below may change it.
    ActFix->setChecked(m_fixed);
    m_delegate->closeOpenEditor();
    if (m_fixed) {
        if (!ConfPassword.isEmpty()) {
            LbPwd->setText(QStringLiteral("Введите пароль"));
            EdPwd->clear();
            EdPwd->setEchoMode(QLineEdit::Password);
            // A wrong password says nothing; the configuration just stays fixed.
            if (SFPassword->ShowModal() != TSpeedForm::mrOk || EdPwd->text() != ConfPassword)
                return;
        }
        SetFixed(false);
    } else {
        LbPwd->setText(QStringLiteral("Задайте пароль для сохранения"));
        EdPwd->setEchoMode(QLineEdit::Normal);
        EdPwd->setText(ConfPassword);
        if (SFPassword->ShowModal() != TSpeedForm::mrOk)
            return;
        ConfPassword = EdPwd->text();
        SetFixed(true);
    }
    SetModified(true);
}

void TFmMain::SelectConfig() {
    try {
        ListConfig->clear();
        // Regular files only: folders, hidden and system files and links to anything else are skipped.
        QFileInfoList found = QDir(m_programFolder).entryInfoList({QStringLiteral("*.kcf")}, QDir::Files);
        if (found.isEmpty())
            return;
        std::sort(found.begin(), found.end(), [](const QFileInfo& a, const QFileInfo& b) {
            const int order = QString::compare(a.completeBaseName(), b.completeBaseName(), Qt::CaseInsensitive);
            return order != 0 ? order < 0 : a.fileName() < b.fileName();
        });
        for (const QFileInfo& file : found) {
            // The file is opened by its own name: its extension may be written in any case.
            auto* item = new QListWidgetItem(file.completeBaseName(), ListConfig);
            item->setData(Qt::UserRole, file.filePath());
        }
        QListWidgetItem* chosen = ListConfig->item(0);
        if (found.size() > 1) {
            ListConfig->setCurrentItem(chosen);
            // However the panel is left, the entry selected then is taken.
            SFSelConfig->ShowModal();
            if (const QList<QListWidgetItem*> selected = ListConfig->selectedItems(); !selected.isEmpty())
                chosen = selected.constFirst();
        }
        const QString path = chosen->data(Qt::UserRole).toString();
        QString password;
        bool fixed = false;
        if (Config.LoadFromFile(path, password, fixed, m_prompter)) {
            FillList();
            takeLoadedFile(path, password, fixed);
        }
    } catch (const KavorError& e) {
        m_prompter.showError(e.text());
    } catch (const std::exception& e) {
        m_prompter.showError(QString::fromLocal8Bit(e.what()));
    }
}
