#include "platform/QtPlatform.h"

#include "platform/Colors.h"
#include "platform/RuntimeError.h"

#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QDate>
#include <QDesktopServices>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QRect>
#include <QScreen>
#include <QStandardPaths>
#include <QUrl>

#include <unistd.h>

namespace anchorly {

namespace {

// close request or user input any more, so none of their handlers runs.
class EndedFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::Close:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::Enter:
        case QEvent::Leave:
        case QEvent::HoverEnter:
        case QEvent::HoverMove:
        case QEvent::HoverLeave:
        case QEvent::FocusIn:
        case QEvent::FocusOut:
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
            return true;
        default:
            return false;
        }
    }
};

QWidget* dialogParent()
{
    return QApplication::activeWindow();
}

void requireApplication(const char* what)
{
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        throw RuntimeError(errnum::ComponentFailure,
                           QStringLiteral("The %1 cannot be shown: the desktop is not ready").arg(QLatin1String(what)));
}

QScreen* primaryScreen()
{
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ? QGuiApplication::primaryScreen() : nullptr;
}

// Windows' "*.*" means every file; "*.exe" means programs, which carry no
// ending here.
QString convertPattern(const QString& pattern)
{
    QStringList converted;
    for (const QString& part : pattern.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        QString one = part.trimmed();
        if (one == QLatin1String("*.*") || one.compare(QLatin1String("*.exe"), Qt::CaseInsensitive) == 0)
            one = QStringLiteral("*");
        if (!one.isEmpty() && !converted.contains(one))
            converted << one;
    }
    if (converted.contains(QLatin1String("*")))
        return QStringLiteral("*");
    return converted.join(QLatin1Char(' '));
}

} // namespace

QString messageBoxText(const QString& prompt)
{
    QString text = prompt;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

int messageBoxIcon(int style)
{
    switch (style & 0x70) {
    case 16:
        return QMessageBox::Critical;
    case 32:
        return QMessageBox::Question;
    case MsgStyle::Exclamation:
        return QMessageBox::Warning;
    case MsgStyle::Information:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

QStringList fileDialogNameFilters(const QString& filter)
{
    QStringList filters;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts.at(i).trimmed();
        const QString rawPattern = parts.at(i + 1).trimmed();
        const QString pattern = convertPattern(rawPattern);
        if (pattern.isEmpty())
            continue;
        const QString ownPattern = QStringLiteral("(%1)").arg(rawPattern);
        if (description.endsWith(ownPattern))
            description = description.chopped(ownPattern.size()).trimmed();
        if (description.isEmpty())
            filters << QStringLiteral("(%1)").arg(pattern);
        else
            filters << QStringLiteral("%1 (%2)").arg(description, pattern);
    }
    return filters;
}

QtPlatform::QtPlatform(const QString& lockFilePath) : m_lockFilePath(lockFilePath) {}

QtPlatform::~QtPlatform()
{
    // The channel goes first, while this copy still holds the lock that makes it its own.
    m_channelNotifier.reset();
    if (m_channelFd >= 0) {
        ::unlink(QFile::encodeName(channelPath()).constData());
        ::close(m_channelFd);
    }
    // Closing the descriptor gives up the single-instance lock.
    if (m_lockFd >= 0)
        ::close(m_lockFd);
}

void QtPlatform::msgBox(const QString& prompt, int style, const QString& title, const QString& /*helpFile*/,
                        int /*helpContext*/)
{
    requireApplication("message box");
    QMessageBox box(QMessageBox::Icon(messageBoxIcon(style)), title, messageBoxText(prompt), QMessageBox::Ok,
                    dialogParent());
    // Prompts quote addresses and markup the user typed: never read them as rich
    // text.
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void QtPlatform::shellExecute(QWidget* /*parent*/, const QString& address, const QString& /*workingDirectory*/,
                              int /*showCommand*/)
{
    QDesktopServices::openUrl(QUrl::fromUserInput(address));
}

void QtPlatform::clipboardClear()
{
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        clipboard->clear(QClipboard::Clipboard);
}

void QtPlatform::clipboardSetText(const QString& text)
{
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        clipboard->setText(text, QClipboard::Clipboard);
}

QString QtPlatform::appPath() const
{
    return QCoreApplication::applicationDirPath();
}

QString QtPlatform::userConfigFolder() const
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
}

int QtPlatform::twipsPerPixel() const
{
    const QScreen* screen = primaryScreen();
    const qreal dpi = screen ? screen->logicalDotsPerInch() : 96.0;
    if (dpi <= 0)
        return 15;
    return qMax(1, qRound(1440.0 / dpi));
}

// Without a screen (no desktop) the usual 1024 x 768 stands in, so that window
// placement still has numbers to use.
int QtPlatform::screenWidthTwips() const
{
    const QScreen* screen = primaryScreen();
    return (screen ? screen->size().width() : 1024) * twipsPerPixel();
}

int QtPlatform::screenHeightTwips() const
{
    const QScreen* screen = primaryScreen();
    return (screen ? screen->size().height() : 768) * twipsPerPixel();
}

bool QtPlatform::isOnSomeScreen(int left, int top, int width, int height) const
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return false;
    const QRect window(left, top, width, height);
    const QList<QScreen*> screens = QGuiApplication::screens();
    for (const QScreen* screen : screens) {
        if (window.intersects(screen->availableGeometry()))
            return true;
    }
    return false;
}

bool QtPlatform::windowPositionKnown() const
{
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

QWidget* QtPlatform::activeControl() const
{
    return QApplication::focusWidget();
}

int QtPlatform::currentYear() const
{
    return QDate::currentDate().year();
}

void QtPlatform::end()
{
    if (m_ended)
        return;
    m_ended = true;
    if (QCoreApplication* app = QCoreApplication::instance()) {
        m_endedFilter = std::make_unique<EndedFilter>();
        app->installEventFilter(m_endedFilter.get());
    }
    QCoreApplication::exit(0);
}

void QtPlatform::showOpen(FileOpenDialog& dialog)
{
    requireApplication("file dialog");
    // flags: 4 hides a read-only check box, which this dialog does not have.
    QFileDialog fileDialog(dialogParent(), dialog.title, dialog.initDir);
    fileDialog.setOption(QFileDialog::DontUseNativeDialog);
    fileDialog.setAcceptMode(QFileDialog::AcceptOpen);
    fileDialog.setFileMode(QFileDialog::ExistingFile);
    const QStringList filters = fileDialogNameFilters(dialog.filter);
    if (!filters.isEmpty())
        fileDialog.setNameFilters(filters);
    if (fileDialog.exec() != QDialog::Accepted)
        return;
    const QStringList chosen = fileDialog.selectedFiles();
    if (!chosen.isEmpty() && !chosen.first().isEmpty())
        dialog.fileName = QFileInfo(chosen.first()).absoluteFilePath();
}

void QtPlatform::showColor(ColorDialog& dialog)
{
    requireApplication("colour dialog");
    const QColor chosen =
        QColorDialog::getColor(toQColor(dialog.color), dialogParent(), QString(), QColorDialog::DontUseNativeDialog);
    if (chosen.isValid()) {
        dialog.color = toColorNumber(chosen);
        return;
    }
    if (dialog.cancelError)
        throw RuntimeError(errnum::CancelSelected, QStringLiteral("Cancel was selected."));
}

} // namespace anchorly
