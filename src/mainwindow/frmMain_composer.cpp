// Adding an anchor, clearing slots and inputs, copying the HTML source, and
// the choice of the link target.

#include "composer/Composer.h"
#include "mainwindow/ControlColors.h"
#include "mainwindow/frmMain.h"
#include "platform/RuntimeError.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextDocument>

namespace anchorly {

namespace {

composer::Slots slotTexts(const std::array<QLineEdit*, 5>& entries)
{
    composer::Slots texts;
    for (int i = 0; i < composer::kSlotCount; ++i)
        texts[i] = entries[i]->text();
    return texts;
}

} // namespace

void frmMain::cmdADD_Click()
{
    const QString title = QString::fromLatin1(composer::kCheckTitle);
    try {
        // Only the first failing check is reported; the box it names is
        // highlighted and gets the focus once the message is closed.
        const auto refuse = [&](QLineEdit* input, const QString& prompt) {
            setBackColor(input, kHighlightColor);
            m_platform.msgBox(prompt, MsgStyle::Exclamation, title);
            input->setFocus();
        };
        if (txtHREF->text().isEmpty())
            return refuse(txtHREF, composer::urlPrompt());
        if (txtDESCRIPTION->text().isEmpty())
            return refuse(txtDESCRIPTION, composer::descriptionPrompt());
        if (optSource[0]->isChecked()) {
            if (txtSOURCE->text().isEmpty())
                return refuse(txtSOURCE, composer::sourcePrompt());
        } else {
            txtSOURCE->setText(composer::trimBlanks(Combo2->currentText()));
        }

        const int slot = composer::firstFreeSlot(slotTexts(txtENTRY));
        if (slot > 0) {
            QLineEdit* entry = txtENTRY[slot - 1];
            entry->setText(composer::composeAnchor(lblHREF->text(), txtHREF->text(), lblTARGET->text(),
                                                   txtDESCRIPTION->text(), lblSOURCE->text(), txtSOURCE->text(),
                                                   lblENDTAG->text()));
            // A long anchor would otherwise show its tail; the user looks for its address.
            entry->setCursorPosition(0);
            announce(QStringLiteral("Entry %1: %2").arg(slot).arg(entry->text()));
        }
        if (composer::filledCount(slotTexts(txtENTRY)) == composer::kSlotCount) {
            lblInfo->setText(composer::allFilledMessage());
            lblInfo->setAutoFillBackground(true);
            cmdADD->setEnabled(false);
        }
        updateHTMLsource();
    } catch (...) {
        reportUnexpectedError(m_platform, RuntimeError::fromCurrentException());
    }
}

void frmMain::updateHTMLsource()
{
    // The text widget keeps its lines apart by itself: it holds the lines
    // without their CR LF, which the copy puts back.
    const QString text = composer::assembleHtmlSource(slotTexts(txtENTRY));
    txtHTMLsource->setPlainText(QString(text).replace(QString::fromLatin1(composer::kLineBreak), QStringLiteral("\n")));
}

void frmMain::lblTARGET_Click()
{
    Combo1->setVisible(!Combo1->isVisible());
}

void frmMain::Combo1_Click()
{
    lblTARGET->setText(composer::targetPiece(Combo1->currentText()));
    lblTARGET->adjustSize();
    Combo1->setVisible(false);
}

void frmMain::clearEntry(int slot)
{
    txtENTRY[slot - 1]->setText(composer::placeholder(slot));
    afterSlotsCleared();
    announce(QStringLiteral("Entry %1 cleared").arg(slot));
}

void frmMain::cmdClear_Click()
{
    for (int slot = 1; slot <= composer::kSlotCount; ++slot)
        txtENTRY[slot - 1]->setText(composer::placeholder(slot));
    afterSlotsCleared();
    announce(QStringLiteral("All entries cleared"));
}

// Every clear undoes what the add that filled the last slot did.
void frmMain::afterSlotsCleared()
{
    cmdADD->setEnabled(true);
    lblInfo->setText(QString());
    lblInfo->setAutoFillBackground(false);
    updateHTMLsource();
    txtHREF->setFocus();
}

void frmMain::cmdEmptyURL_Click()
{
    txtHREF->clear();
    txtHREF->setFocus();
    announce(QStringLiteral("Address cleared"));
}

void frmMain::cmdEmptyDESCRIPTION_Click()
{
    txtDESCRIPTION->clear();
    txtDESCRIPTION->setFocus();
    announce(QStringLiteral("Description cleared"));
}

void frmMain::cmdEmptySOURCE_Click()
{
    txtSOURCE->clear();
    txtSOURCE->setFocus();
    announce(QStringLiteral("Source cleared"));
}

void frmMain::cmdEmptyALL_Click()
{
    txtHREF->clear();
    txtDESCRIPTION->clear();
    txtSOURCE->clear();
    txtHREF->setFocus();
    announce(QStringLiteral("All input cleared"));
}

void frmMain::cmdCopyToClipboard_Click()
{
    m_platform.clipboardClear();
    m_platform.clipboardSetText(composer::copiedHtmlSource(txtHTMLsource->document()->toRawText(),
                                                           composer::assembleHtmlSource(slotTexts(txtENTRY))));
    txtHREF->setFocus();
    announce(QStringLiteral("HTML source copied to the clipboard"));
}

void frmMain::txtENTRY_KeyPress(int, int& keyAscii)
{
    // No typed character gets into a slot.
    keyAscii = 0;
}

} // namespace anchorly
