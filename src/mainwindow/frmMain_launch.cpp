// Starting the user's browser and editor. The locations come from the
// preferences window's fields, which loads that window (hidden) on first use.

#include "launch/Launch.h"
#include "mainwindow/frmMain.h"
#include "prefs/frmPrefs.h"

namespace anchorly {

void frmMain::cmdBrowser_Click()
{
    frmPrefs& prefs = preferences();
    if (launch::startBrowser(m_platform, prefs.browserPath()) == launch::Outcome::NeedsLocation) {
        prefs.setLocateHighlight(prefs.cmdLocateBrowser(), true);
        showPreferences();
    }
}

void frmMain::cmdEditor_Click()
{
    frmPrefs& prefs = preferences();
    if (launch::startEditor(m_platform, prefs.editorPath()) == launch::Outcome::NeedsLocation) {
        prefs.setLocateHighlight(prefs.cmdLocateEditor(), true);
        showPreferences();
    }
}

void frmMain::cmdOpenALL_Click()
{
    frmPrefs& prefs = preferences();
    launch::startBoth(m_platform, prefs.browserPath(), prefs.editorPath(), prefs.htmlPath());
}

} // namespace anchorly
