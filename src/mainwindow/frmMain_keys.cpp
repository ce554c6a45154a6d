// The keyboard: the window's default and cancel buttons, the menu shortcuts
// wherever the focus is, and what counts as typing in a box.

#include "mainwindow/frmMain.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <functional>

namespace anchorly {

namespace {

// Watches every key press of the application, and every check whether a
// shortcut may act, and hands those meant for the main window to it before
// the control with the focus sees them.
class WindowKeyFilter : public QObject {
public:
    WindowKeyFilter(QWidget* window, std::function<bool(QKeyEvent*)> route)
        : QObject(window), m_window(window), m_route(std::move(route))
    {
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!watched->isWidgetType())
            return false;
        // The menu key's own press pops up the colour menu; the context menu
        // the toolkit makes of it as well would be a second one.
        if (event->type() == QEvent::ContextMenu)
            return static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Keyboard &&
                   static_cast<QWidget*>(watched)->window() == m_window;
        if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride)
            return false;
        return static_cast<QWidget*>(watched)->window() == m_window && m_route(static_cast<QKeyEvent*>(event));
    }

private:
    QWidget* m_window;
    std::function<bool(QKeyEvent*)> m_route;
};

} // namespace

void frmMain::watchKeys()
{
    qApp->installEventFilter(new WindowKeyFilter(this, [this](QKeyEvent* key) { return routeWindowKey(key); }));
}

// Tab and Shift+Tab move the focus, Enter and Esc press the default and
// cancel buttons; a modifier pressed on its own is only the start of a chord.
bool frmMain::isWindowKey(const QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
        return true;
    default:
        return false;
    }
}

// No typed character gets into a slot. Tab carries a character too, but it
// moves the focus on.
bool frmMain::filterSlotKey(int index, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    const QString text = key->text();
    if (text.isEmpty() || key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)
        return false;
    int keyAscii = text.at(0).unicode();
    txtENTRY_KeyPress(index, keyAscii);
    return keyAscii == 0;
}

// The menu shortcuts act wherever the focus is. Only inside a box the user
// types in do the editing keys among them (Ctrl+A, Ctrl+X) keep their editing
// meaning; the toolkit's own bindings of other keys there (Ctrl+E as the end
// of the line) give way. In a slot Ctrl+X stays refused, as all typing is.
bool frmMain::routeShortcut(QKeyEvent* event)
{
    const QKeySequence pressed(event->keyCombination());
    bool menuShortcut = false;
    for (QAction* menu : menuBar()->actions()) {
        for (QAction* item : menu->menu()->actions())
            menuShortcut = menuShortcut || (item->isEnabled() && item->shortcut() == pressed);
    }
    if (!menuShortcut)
        return false;
    QWidget* focus = focusWidget();
    const bool inSlot = std::find(txtENTRY.begin(), txtENTRY.end(), focus) != txtENTRY.end();
    const auto* line = qobject_cast<QLineEdit*>(focus);
    const auto* text = qobject_cast<QPlainTextEdit*>(focus);
    const bool editable = (line && !line->isReadOnly()) || (text && !text->isReadOnly());
    const bool editingKey = event->matches(QKeySequence::Cut) || event->matches(QKeySequence::Copy) ||
                            event->matches(QKeySequence::Paste) || event->matches(QKeySequence::SelectAll) ||
                            event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo);
    if (inSlot) {
        event->setAccepted(event->matches(QKeySequence::Cut));
        return true;
    }
    if (editable && editingKey)
        return false;
    event->ignore();
    return true;
}

// The window's default and cancel buttons: Enter clicks the focused button,
// or Add when no button has the focus; Esc clicks Exit.
bool frmMain::routeWindowKey(QKeyEvent* event)
{
    if (event->type() == QEvent::ShortcutOverride)
        return routeShortcut(event);
    if (event->type() == QEvent::KeyPress && routeTemplateRowKey(event))
        return true;
    if (event->type() != QEvent::KeyPress || (event->modifiers() & ~(Qt::KeypadModifier)))
        return false;
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (auto* button = qobject_cast<QPushButton*>(focusWidget()))
            button->click();
        else if (cmdADD->isEnabled())
            cmdADD->click();
        return true;
    case Qt::Key_Escape:
        cmdExit->click();
        return true;
    default:
        return false;
    }
}

} // namespace anchorly
