// Hover help: the template row's labels light up and move the focus into
// their inputs; the frame and the background put the colours back. Text
// boxes show their text as tooltip, and input boxes select their text
// whenever they get the focus.

#include "mainwindow/ControlColors.h"
#include "mainwindow/frmMain.h"
#include "platform/ToolTip.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

namespace anchorly {

void frmMain::changeCOLORS()
{
    for (QLabel* label : {lblURL, lblTARGET, lblDESCRIPTION, lbSOURCEDESCRIPTION})
        setForeColor(label, kDarkBlue);
    for (QWidget* input : std::initializer_list<QWidget*>{txtHREF, txtDESCRIPTION, txtSOURCE, Combo2})
        setBackColor(input, kLightGrey);
}

void frmMain::showTOOLtipEntries()
{
    for (QLineEdit* slot : txtENTRY)
        setTextToolTip(slot, slot->text());
}

void frmMain::setSelected()
{
    if (auto* box = qobject_cast<QLineEdit*>(m_platform.activeControl()))
        box->setSelection(0, int(box->text().size()));
}

void frmMain::lblURL_MouseMove()
{
    setForeColor(lblURL, kRed);
    setBackColor(txtHREF, kWhite);
    txtHREF->setFocus();
}

void frmMain::lblDESCRIPTION_MouseMove()
{
    setForeColor(lblDESCRIPTION, kRed);
    setBackColor(txtDESCRIPTION, kWhite);
    txtDESCRIPTION->setFocus();
}

void frmMain::lbSOURCEDESCRIPTION_MouseMove()
{
    setForeColor(lbSOURCEDESCRIPTION, kRed);
    if (optSource[0]->isChecked()) {
        setBackColor(txtSOURCE, kWhite);
        txtSOURCE->setFocus();
    }
    if (optSource[1]->isChecked()) {
        setBackColor(Combo2, kWhite);
        Combo2->setFocus();
    }
}

void frmMain::lblTARGET_MouseMove()
{
    setForeColor(lblTARGET, kRed);
    lblTARGET->setToolTip(QStringLiteral(" Click for list... "));
}

void frmMain::Form_MouseMove()
{
    changeCOLORS();
}

void frmMain::Image1_MouseMove()
{
    changeCOLORS();
}

void frmMain::txtHREF_MouseMove()
{
    setTextToolTip(txtHREF, txtHREF->text());
}

void frmMain::txtDESCRIPTION_MouseMove()
{
    setTextToolTip(txtDESCRIPTION, txtDESCRIPTION->text());
}

void frmMain::txtSOURCE_MouseMove()
{
    setTextToolTip(txtSOURCE, txtSOURCE->text());
}

void frmMain::txtENTRY_MouseMove()
{
    showTOOLtipEntries();
}

void frmMain::txtHREF_GotFocus()
{
    setSelected();
}

void frmMain::txtDESCRIPTION_GotFocus()
{
    setSelected();
}

void frmMain::txtSOURCE_GotFocus()
{
    setSelected();
}

} // namespace anchorly
