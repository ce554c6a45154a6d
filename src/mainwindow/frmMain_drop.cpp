// A link or a page address dragged from a browser onto the window.

#include "mainwindow/frmMain.h"

#include <QDragEnterEvent>
#include <QDropEvent>

namespace anchorly {

void frmMain::dragEnterEvent(QDragEnterEvent* event)
{
    QMainWindow::dragEnterEvent(event);
}

void frmMain::dropEvent(QDropEvent* event)
{
    QMainWindow::dropEvent(event);
}

} // namespace anchorly
