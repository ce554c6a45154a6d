// The window among the desktop's others: a later start of the program brings
// it forward, and the session manager's request at logout stores its state.

#include "mainwindow/frmMain.h"

#include <QApplication>
#include <QTimer>

namespace anchorly {

void frmMain::comeForward()
{
    if (!isVisible())
        return;
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
    // An open preferences or about window stays above the window it belongs to.
    QWidget* modal = QApplication::activeModalWidget();
    if (modal != nullptr && modal != this) {
        modal->raise();
        modal->activateWindow();
    }
    // A desktop that guards against windows taking the focus may refuse: the
    // window then asks for attention (the task bar entry lights up) instead.
    QTimer::singleShot(500, this, [this] {
        if (QApplication::activeWindow() == nullptr)
            QApplication::alert(this);
    });
}

void frmMain::commitSession()
{
    if (isVisible() && !m_unloading)
        Form_QueryUnload();
}

} // namespace anchorly
