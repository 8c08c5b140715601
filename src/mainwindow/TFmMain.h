#pragma once

#include "config/TConfig.h"
#include "platform/FileChooser.h"
#include "ui_PasswordPanel.h"
#include "ui_SelConfigPanel.h"
#include "ui_SetupPanel.h"

#include <QIcon>
#include <QMainWindow>

class ParamListModel;
class ParamValueDelegate;
class PhoneHistory;
class Prompter;
class QAction;
class QLabel;
class QMenu;
class QToolBar;
class QToolButton;
class QTreeView;
class TSpeedForm;

// The main window: owns the configuration being edited, shows it as the parameter tree and carries every
// command as an action on the toolbar. Its dialogs are panels of this window shown through TSpeedForm;
// their controls are members here, so the program's settings live in the setup panel's controls.
class TFmMain : public QMainWindow, public Ui::SetupPanel, public Ui::SelConfigPanel, public Ui::PasswordPanel {
    Q_OBJECT

public:
    // Reads the settings and sets the window up (FormCreate); messages go through `prompter`, files are
    // chosen through `files`, and configurations lying in `programFolder` (the folder of the program's own
    // executable) are looked for at start and after a generation switch.
    TFmMain(Prompter& prompter, FileChooser& files, const QString& programFolder, QWidget* parent = nullptr);
    // Writes the phone history back (FormDestroy).
    ~TFmMain() override;

    TConfig Config;
    QString ConfPassword;

    const QString& ConfFileName() const { return m_confFileName; }
    bool Modified() const { return m_modified; }
    void SetModified(bool modified);
    bool Fixed() const { return m_fixed; }
    PhoneHistory& PhoneList();
    ParamListModel* ListModel() const { return m_model; }
    ParamValueDelegate* ListDelegate() const { return m_delegate; }
    // The one text of the status bar.
    QString StatusText() const;
    void SetStatusText(const QString& text);

    void SetConfName(const QString& path);
    void SetFixed(bool fixed);
    void UpdateTitle();
    void ActionListUpdate();

    void FillList();
    // Closes the open editor and stores the tree into Config; false after reporting the first value Config
    // refuses.
    bool StoreList(bool OnlyAccess);
    // The focused line of the tree, -1 when none.
    int FocusedLine() const;
    // Every change made in the value editor, while it is still open.
    void ListColValPropertiesEditValueChanged();
    void ListEdited();
    void PopupMenuPopup();
    void MIDisableClick(int tag);

    void ActLoadConfExecute();
    void ActSaveConfExecute();
    void ActSaveAsConfExecute();
    // Fixes the configuration, asking for a password to keep with it, or unfixes it once that password is
    // given.
    void ActFixExecute();
    // Loads the configuration lying beside the program, asking which when there are several, and fills the
    // tree with it. The callers update the caption right after it.
    void SelectConfig();

    void CBTypeProgrCloseUp();
    void ActSetupExecute();
    void BtOKClick();

    // Actions, in the order of the action list. Each carries its image index as the property "imageIndex".
    QAction* ActLoadConf;
    QAction* ActSaveConf;
    QAction* ActSaveAsConf;
    QAction* ActFix;
    QAction* ActRead;
    QAction* ActWrite;
    QAction* ActSetup;
    QAction* ActJournal;
    QAction* ActMACAddr;

    QToolBar* ToolBar;
    QLabel* StatusBar;
    QLabel* PnConfName;
    QToolButton* SBFix;
    QToolButton* SBRead;
    QToolButton* SBWrite;
    QToolButton* SpeedButton1;
    QTreeView* List;
    QMenu* PopupMenu;
    QAction* MIEnable;
    QAction* MIDisable;
    QAction* MIFullDisable;

    // The setup panel; its controls (PGSetup, RGTypeDvc, CBTypeProgr, ...) come from SetupPanel.ui.
    TSpeedForm* SFSetup;
    // The choice among the configurations beside the program; its controls come from SelConfigPanel.ui.
    TSpeedForm* SFSelConfig;
    // The configuration's password; its controls come from PasswordPanel.ui.
    TSpeedForm* SFPassword;

private:
    void createActions();
    void createToolBar();
    void createList();
    void createSetupPanel();
    void createFilePanels();
    // The file dialogs as designed, opening with the current file.
    FileChooser::Request confFileRequest() const;
    // Takes a successfully loaded file's state.
    void takeLoadedFile(const QString& path, const QString& password, bool fixed);
    void FormCreate();
    void FormDestroy();
    void loadSettingsIntoControls();
    void saveSettingsFromControls() const;

    Prompter& m_prompter;
    FileChooser& m_files;
    const QString m_programFolder;
    QIcon m_images[10];
    ParamListModel* m_model;
    ParamValueDelegate* m_delegate;
    QString m_confFileName;
    bool m_modified = false;
    bool m_fixed = false;
};
