#pragma once

#include "config/TConfig.h"
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
class TFmMain : public QMainWindow, public Ui::SetupPanel {
    Q_OBJECT

public:
    // Reads the settings and sets the window up (FormCreate); messages go through `prompter`.
    explicit TFmMain(Prompter& prompter, QWidget* parent = nullptr);
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

private:
    void createActions();
    void createToolBar();
    void createList();
    void createSetupPanel();
    void FormCreate();
    void FormDestroy();
    void loadSettingsIntoControls();
    void saveSettingsFromControls() const;

    Prompter& m_prompter;
    QIcon m_images[10];
    ParamListModel* m_model;
    ParamValueDelegate* m_delegate;
    QString m_confFileName;
    bool m_modified = false;
    bool m_fixed = false;
};
