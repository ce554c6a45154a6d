// A link or a page address dragged from a browser onto the window, outside
// the input boxes (which keep their own text drop), fills the address and,
// when the drag carries one, the description, as if they had been typed.

#include "composer/DroppedLink.h"
#include "mainwindow/frmMain.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>

namespace anchorly {

namespace {

// As typing does it: the box's text replaced in one step the user can undo.
void typeInto(QLineEdit* box, const QString& text)
{
    box->selectAll();
    box->insert(text);
}

} // namespace

void frmMain::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData() != nullptr && composer::droppedLink(*event->mimeData()))
        event->acceptProposedAction();
}

void frmMain::dropEvent(QDropEvent* event)
{
    const std::optional<composer::DroppedLink> link =
        event->mimeData() != nullptr ? composer::droppedLink(*event->mimeData()) : std::nullopt;
    if (!link)
        return;
    event->acceptProposedAction();
    activateWindow();
    typeInto(txtHREF, link->address);
    if (!link->text.isEmpty())
        typeInto(txtDESCRIPTION, link->text);
    // The next box to fill: the typed source counts only in the typed-source mode.
    for (QLineEdit* box : {txtHREF, txtDESCRIPTION, txtSOURCE}) {
        if (box->text().isEmpty() && (box != txtSOURCE || optSource[0]->isChecked())) {
            box->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
    cmdADD->setFocus(Qt::OtherFocusReason);
}

} // namespace anchorly
