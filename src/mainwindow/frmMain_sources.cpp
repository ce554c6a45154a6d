// The source mode and the commands that keep the sources list.

#include "mainwindow/frmMain.h"
#include "sources/Sources.h"
#include "sources/SourcesLocation.h"

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
    const sources::SourcesLocation location = sources::sourcesLocation(m_platform);
    if (!sources::makeSaveFolder(location, m_platform))
        return;
    sources::addToList(Combo2, txtSOURCE->text(), location.savePath, m_settings, m_platform,
                       [this](int) { Combo2_Click(); });
}

void frmMain::cmdRefreshCombo2_Click()
{
    sources::refreshList(Combo2, sources::sourcesLocation(m_platform).readPath, m_settings,
                         [this](int) { Combo2_Click(); });
    txtHREF->setFocus();
}

void frmMain::menuRefreshList_Click()
{
    cmdRefreshCombo2_Click();
}

void frmMain::cmdEditList_Click()
{
    const sources::SourcesLocation location = sources::sourcesLocation(m_platform);
    if (!sources::makeSaveFolder(location, m_platform))
        return;
    sources::editList(Combo2, location.savePath, m_platform);
}

void frmMain::menuEditSourcesList_Click()
{
    cmdEditList_Click();
}

} // namespace anchorly
