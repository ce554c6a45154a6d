#pragma once

#include "platform/Platform.h"
#include "prefs/frmPrefs.h"

#include <QEvent>
#include <QMainWindow>
#include <QPointer>
#include <array>
#include <memory>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace Ui {
class frmMain;
}

namespace anchorly {

namespace settings {
class Settings;
}
class BorderShape;
class frmPrefs;

// The main window: the link composer's controls, the sources list, the
// commands and menus. Its controls hold all of the tool's working state.
// The window's code is split by concern over several files:
//   frmMain.cpp            construction, event routing, exit, side windows
//   frmMain_keys.cpp       default and cancel keys, menu shortcuts, typing
//   frmMain_composer.cpp   adding, clearing, copying, the target choice
//   frmMain_sources.cpp    the source mode and the sources list commands
//   frmMain_lifecycle.cpp  start-up and shut-down
//   frmMain_hover.cpp      hover help, tooltips and focus selection
//   frmMain_border.cpp     the border colour of the template row
//   frmMain_launch.cpp     starting the browser and the editor
//   frmMain_desktop.cpp    a later start brings the window forward; the session's end
//   frmMain_drop.cpp       a link dropped from a browser fills the inputs
//   frmMain_access.cpp     the template row from the keyboard, screen readers
class frmMain : public QMainWindow {
    Q_OBJECT

public:
    frmMain(Platform& platform, settings::Settings& settings, QWidget* parent = nullptr);
    ~frmMain() override;

    // Start-up: refuses a second copy (returns false after ending the program),
    // then restores the stored state. Call in this order before showing.
    bool Form_Initialize();
    void Form_Load();

    // --- composer ---
    void cmdADD_Click();
    void updateHTMLsource();
    void lblTARGET_Click();
    void Combo1_Click();
    void cmdClear_Click();
    void cmdClearEntry1_Click() { clearEntry(1); }
    void cmdClearEntry2_Click() { clearEntry(2); }
    void cmdClearEntry3_Click() { clearEntry(3); }
    void cmdClearEntry4_Click() { clearEntry(4); }
    void cmdClearEntry5_Click() { clearEntry(5); }
    void cmdEmptyURL_Click();
    void cmdEmptyDESCRIPTION_Click();
    void cmdEmptySOURCE_Click();
    void cmdEmptyALL_Click();
    void cmdCopyToClipboard_Click();
    void txtENTRY_KeyPress(int index, int& keyAscii);

    // --- window commands ---
    void cmdExit_Click();
    void menuExit_Click();
    void cmdAbout_Click();
    void menuAbout_Click();
    void cmdPrefs_Click();
    void menuPrefs_Click();
    void Form_Click();
    void Image1_Click();
    void Image1_MouseDown(int button);

    // --- sources ---
    void Combo2_Click();
    void txtSOURCE_KeyDown();
    void cmdAddToList_Click();
    void cmdRefreshCombo2_Click();
    void menuRefreshList_Click();
    void cmdEditList_Click();
    void menuEditSourcesList_Click();

    // --- border colour ---
    void checkCOLORS();
    void menuChangeBorderColor_Click();
    void menuDefaultcolor_Click();

    // --- hover help and focus ---
    void changeCOLORS();
    void showTOOLtipEntries();
    void setSelected();
    void lblURL_MouseMove();
    void lblDESCRIPTION_MouseMove();
    void lbSOURCEDESCRIPTION_MouseMove();
    void lblTARGET_MouseMove();
    void Form_MouseMove();
    void Image1_MouseMove();
    void txtHREF_MouseMove();
    void txtDESCRIPTION_MouseMove();
    void txtSOURCE_MouseMove();
    void txtENTRY_MouseMove();
    void txtHREF_GotFocus();
    void txtDESCRIPTION_GotFocus();
    void txtSOURCE_GotFocus();

    // --- launching ---
    void cmdBrowser_Click();
    void cmdEditor_Click();
    void cmdOpenALL_Click();

    // --- the template row from the keyboard, and screen readers ---
    void openTargetList();
    void popUpColorMenu();

    // --- shut-down ---
    void Form_QueryUnload();
    void Form_Unload();

    // --- the desktop ---
    // Restores the window from minimized, raises it (and an open side window
    // above it) and asks for activation; where the desktop refuses that, the
    // window asks for the user's attention instead.
    void comeForward();
    // The session manager's request before the session ends: stores what a
    // close stores, without closing, since the user may still cancel the logout.
    void commitSession();

    // The controls, by their names.
    BorderShape* Shape1;
    QWidget* Image1;
    QLabel* lblHREF;
    QLabel* lblURL;
    QLabel* lblTARGET;
    QLabel* lblDESCRIPTION;
    QLabel* lblSOURCE;
    QLabel* lbSOURCEDESCRIPTION;
    QLabel* lblENDTAG;
    QComboBox* Combo1;
    QPushButton* cmdADD;
    QLineEdit* txtHREF;
    QLineEdit* txtDESCRIPTION;
    QLineEdit* txtSOURCE;
    std::array<QRadioButton*, 2> optSource;
    QComboBox* Combo2;
    std::array<QLineEdit*, 5> txtENTRY;
    QLabel* lblInfo;
    QPlainTextEdit* txtHTMLsource;
    QPushButton* cmdExit;
    QPushButton* cmdCopyToClipboard;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void keepOptionButtonsVisible();
    void bindControls();
    void styleControls();
    void connectCommands();
    void watchEvents();
    void watchKeys();
    bool routeWindowKey(QKeyEvent* event);
    bool routeShortcut(QKeyEvent* event);
    static bool isWindowKey(const QKeyEvent* event);
    bool filterSlotKey(int index, QEvent* event);
    static void installAccessibleFactory();
    void watchTemplateRow();
    bool routeTemplateRowKey(const QKeyEvent* event);
    void targetListClosed();
    void announce(const QString& message);

    void clearEntry(int slot);
    void afterSlotsCleared();

    // Selects an option button as a click does: the other one is deselected.
    void setOption(int index, bool value);
    // Sets a list's selection as the program does it, running its click handler.
    void setComboListIndex(QComboBox* combo, int index);
    void centre();
    frmPrefs& preferences();
    void showPreferences();
    void showAbout();

    struct EventRoute {
        QObject* control;
        QEvent::Type event;
        void (frmMain::*handler)();
    };
    std::vector<EventRoute> m_routes;

    std::unique_ptr<Ui::frmMain> ui;
    Platform& m_platform;
    settings::Settings& m_settings;
    QPointer<frmPrefs> m_prefs;
    ColorDialog CommonDialog1;
    bool m_unloading = false;
    bool m_targetListByKey = false;
};

} // namespace anchorly
