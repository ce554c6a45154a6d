// The source mode and the commands that keep the sources list.

#include "mainwindow/frmMain.h"
#include "sources/Sources.h"

#include <QComboBox>
#include <QLineEdit>

namespace anchorly {

void frmMain::Combo2_Click()
{
    setOption(1, true);
}

void frmMain::txtSOURCE_KeyDown()
{
    setOption(0, true);
}

void frmMain::cmdAddToList_Click()
{
    sources::addToList(Combo2, txtSOURCE->text(), sources::sourcesFilePath(m_platform.appPath()), m_settings,
                       m_platform, [this](int) { Combo2_Click(); });
}

void frmMain::cmdRefreshCombo2_Click()
{
    sources::refreshList(Combo2, sources::sourcesFilePath(m_platform.appPath()), m_settings,
                         [this](int) { Combo2_Click(); });
    txtHREF->setFocus();
}

void frmMain::menuRefreshList_Click()
{
    cmdRefreshCombo2_Click();
}

void frmMain::cmdEditList_Click()
{
    sources::editList(Combo2, sources::sourcesFilePath(m_platform.appPath()), m_platform);
}

void frmMain::menuEditSourcesList_Click()
{
    cmdEditList_Click();
}

} // namespace anchorly
