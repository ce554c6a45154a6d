// The template row without a mouse: Alt+T opens the target list at the
// target piece, the menu key and Shift+F10 pop up the colour menu at the
// frame; screen readers get both as actions, and hear what a command did.

#include "mainwindow/BorderShape.h"
#include "mainwindow/frmMain.h"
#include "ui_frmMain.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <functional>

namespace anchorly {

namespace {

// A piece of the template row that a click (or a right-click) opens a list
// on: a screen reader sees its text, what its key does, and the same as an
// action.
class TemplatePieceAccessible : public QAccessibleWidget {
public:
    TemplatePieceAccessible(QWidget* piece, QAccessible::Role role, QString key, std::function<void()> open)
        : QAccessibleWidget(piece, role), m_key(std::move(key)), m_open(std::move(open))
    {
    }

    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Name && widget()->accessibleName().isEmpty())
            if (auto* label = qobject_cast<QLabel*>(widget()))
                return label->text();
        return QAccessibleWidget::text(kind);
    }
    QStringList actionNames() const override { return {showMenuAction()}; }
    QStringList keyBindingsForAction(const QString& action) const override
    {
        return action == showMenuAction() ? QStringList(m_key) : QStringList();
    }
    void doAction(const QString& action) override
    {
        if (action == showMenuAction())
            m_open();
    }

private:
    QString m_key;
    std::function<void()> m_open;
};

QAccessibleInterface* templatePieceAccessible(const QString& /*className*/, QObject* object)
{
    auto* piece = qobject_cast<QWidget*>(object);
    auto* window = piece != nullptr ? qobject_cast<frmMain*>(piece->window()) : nullptr;
    if (window == nullptr)
        return nullptr;
    if (piece->objectName() == QLatin1String("lblTARGET"))
        return new TemplatePieceAccessible(piece, QAccessible::StaticText, QStringLiteral("Alt+T"),
                                           [window] { window->openTargetList(); });
    if (piece->objectName() == QLatin1String("Shape1"))
        return new TemplatePieceAccessible(piece, QAccessible::Border, QStringLiteral("Shift+F10"),
                                           [window] { window->popUpColorMenu(); });
    return nullptr;
}

// Tells when the target list's drop-down closes.
class HideWatcher : public QObject {
public:
    HideWatcher(QObject* parent, std::function<void()> hidden) : QObject(parent), m_hidden(std::move(hidden)) {}

protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override
    {
        if (event->type() == QEvent::Hide)
            m_hidden();
        return false;
    }

private:
    std::function<void()> m_hidden;
};

} // namespace

void frmMain::installAccessibleFactory()
{
    static const bool installed = (QAccessible::installFactory(templatePieceAccessible), true);
    Q_UNUSED(installed)
}

void frmMain::watchTemplateRow()
{
    QWidget* dropDown = Combo1->view()->window();
    dropDown->installEventFilter(new HideWatcher(this, [this] { targetListClosed(); }));
}

bool frmMain::routeTemplateRowKey(const QKeyEvent* event)
{
    const QKeyCombination chord = event->keyCombination();
    if (chord == (Qt::ALT | Qt::Key_T)) {
        openTargetList();
        return true;
    }
    if (chord == QKeyCombination(Qt::Key_Menu) || chord == (Qt::SHIFT | Qt::Key_F10)) {
        popUpColorMenu();
        return true;
    }
    return false;
}

// Opened from the keyboard the list drops down at once, and goes away again
// when its drop-down closes, picked or not, as a drop-down list does; the
// focus stays where it was.
void frmMain::openTargetList()
{
    m_targetListByKey = true;
    Combo1->setVisible(true);
    Combo1->showPopup();
}

void frmMain::targetListClosed()
{
    if (m_targetListByKey) {
        m_targetListByKey = false;
        Combo1->setVisible(false);
    }
}

// Below the frame's left end, so the row stays readable, with its first
// item marked for the arrow keys and Enter.
void frmMain::popUpColorMenu()
{
    ui->menuColorMenu->popup(Shape1->mapToGlobal(QPoint(0, Shape1->height())));
    ui->menuColorMenu->setActiveAction(ui->menuChangeBorderColor);
}

// What a command did, told to a screen reader from the info line without
// changing what it shows. Qt 6.8 has an announcement for it; before it a
// change of the line's description is what a reader can follow.
void frmMain::announce(const QString& message)
{
    lblInfo->setAccessibleDescription(QString()); // the same message twice is heard twice
    lblInfo->setAccessibleDescription(message);
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    QAccessibleAnnouncementEvent announcement(lblInfo, message);
    QAccessible::updateAccessibility(&announcement);
#endif
}

} // namespace anchorly
