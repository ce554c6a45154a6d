// The colour of the template row's border: picked in the colour dialog or
// reset to green, stored at once.

#include "mainwindow/BorderShape.h"
#include "mainwindow/ControlColors.h"
#include "mainwindow/frmMain.h"
#include "settings/Settings.h"
#include "ui_frmMain.h"

namespace anchorly {

void frmMain::checkCOLORS()
{
    if (Shape1->borderColor() == kGreen)
        ui->menuDefaultcolor->setEnabled(false);
}

void frmMain::menuChangeBorderColor_Click()
{
    CommonDialog1.cancelError = true;
    try {
        if (Shape1->borderColor() == kGreen)
            ui->menuDefaultcolor->setEnabled(false);
        CommonDialog1.flags = 1;
        m_platform.showColor(CommonDialog1);
        Shape1->setBorderColor(CommonDialog1.color);
        m_settings.writeWhole(settings::name::BorderColor, qint32(CommonDialog1.color));
        ui->menuDefaultcolor->setEnabled(true);
    } catch (...) {
        // A cancelled dialog ends here too; nothing is shown.
        checkCOLORS();
    }
}

void frmMain::menuDefaultcolor_Click()
{
    Shape1->setBorderColor(kGreen);
    m_settings.writeWhole(settings::name::BorderColor, kGreen);
    ui->menuDefaultcolor->setEnabled(false);
}

} // namespace anchorly
