#include "platform/QtPlatform.h"

#include "platform/Colors.h"
#include "platform/CommandLine.h"
#include "platform/RuntimeError.h"

#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QDate>
#include <QDesktopServices>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLockFile>
#include <QMessageBox>
#include <QRect>
#include <QScreen>
#include <QStandardPaths>
#include <QUrl>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace anchorly {

namespace {

QString quoted(const QString& text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

// Starts the program in a session of its own, from a child that exits at once,
// so that the program is adopted by init, never becomes a zombie of ours and
// outlives us. A close-on-exec pipe carries the errno of a failed exec back: EOF
// without data means the exec succeeded. Returns 0 or that errno.
int startDetached(const QByteArray& program, const QByteArray& argumentZero, const std::optional<QByteArray>& argument)
{
    // Everything the children need is prepared here: after fork only
    // async-signal-safe calls may be made.
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(argumentZero.constData()));
    if (argument)
        argv.push_back(const_cast<char*>(argument->constData()));
    argv.push_back(nullptr);

    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0)
        return errno;
    // The grandchild puts /dev/null on descriptor 0; keep the pipe clear of 0..2
    // even when this program was started with a standard descriptor closed.
    for (int& fd : pipeFds) {
        if (fd <= 2) {
            const int moved = ::fcntl(fd, F_DUPFD_CLOEXEC, 3);
            if (moved < 0) {
                const int error = errno;
                ::close(pipeFds[0]);
                ::close(pipeFds[1]);
                return error;
            }
            ::close(fd);
            fd = moved;
        }
    }
    const int readFd = pipeFds[0];
    const int writeFd = pipeFds[1];

    const pid_t child = ::fork();
    if (child < 0) {
        const int error = errno;
        ::close(readFd);
        ::close(writeFd);
        return error;
    }
    if (child == 0) {
        ::close(readFd);
        ::setsid();
        const pid_t grandchild = ::fork();
        if (grandchild != 0) {
            if (grandchild < 0) {
                const int error = errno;
                (void)!::write(writeFd, &error, sizeof error);
            }
            ::_exit(0);
        }
        const int nullFd = ::open("/dev/null", O_RDONLY);
        if (nullFd >= 0 && nullFd != 0) {
            ::dup2(nullFd, 0);
            ::close(nullFd);
        }
        // Descriptors this program opened without close-on-exec stay ours.
        if (writeFd > 3)
            ::close_range(3, unsigned(writeFd - 1), 0);
        ::close_range(unsigned(writeFd + 1), ~0u, 0);
        // Signal handlers are reset by exec; the mask and ignored signals are not.
        for (int signal = 1; signal < NSIG; ++signal)
            ::signal(signal, SIG_DFL);
        sigset_t noSignals;
        sigemptyset(&noSignals);
        ::sigprocmask(SIG_SETMASK, &noSignals, nullptr);
        ::execv(program.constData(), argv.data());
        const int error = errno;
        (void)!::write(writeFd, &error, sizeof error);
        ::_exit(127);
    }

    ::close(writeFd);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    int error = 0;
    ssize_t got;
    do {
        got = ::read(readFd, &error, sizeof error);
    } while (got < 0 && errno == EINTR);
    ::close(readFd);
    return got == ssize_t(sizeof error) ? error : 0;
}

RuntimeError startError(int error, const QString& name)
{
    const QString reason = QString::fromLocal8Bit(std::strerror(error));
    switch (error) {
    case EACCES:
    case EPERM:
        return RuntimeError(errnum::PermissionDenied,
                            QStringLiteral("Permission denied: %1 may not be executed (%2)").arg(quoted(name), reason));
    case ENOENT:
    case ENOTDIR:
        // The file went away, or the interpreter a script names is missing.
        return RuntimeError(errnum::FileNotFound, QStringLiteral("File not found"));
    case ENOMEM:
    case EAGAIN:
        return RuntimeError(errnum::OutOfMemory, QStringLiteral("Out of memory"));
    case ENOEXEC:
        return RuntimeError(
            errnum::PathFileAccess,
            QStringLiteral("Path/File access error: %1 is not a program this system can run").arg(quoted(name)));
    default:
        return RuntimeError(
            errnum::PathFileAccess,
            QStringLiteral("Path/File access error: %1 cannot be started (%2)").arg(quoted(name), reason));
    }
}

// Installed on the application once the program has ended: no window gets a
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

// Windows' "*.*" means every file; "*.exe" means programs, which carry no ending here.
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

QtPlatform::~QtPlatform() = default;

void QtPlatform::msgBox(const QString& prompt, int style, const QString& title, const QString& /*helpFile*/,
                        int /*helpContext*/)
{
    requireApplication("message box");
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    switch (style & 0x70) {
    case 16:
        icon = QMessageBox::Critical;
        break;
    case 32:
        icon = QMessageBox::Question;
        break;
    case MsgStyle::Exclamation:
        icon = QMessageBox::Warning;
        break;
    case MsgStyle::Information:
        icon = QMessageBox::Information;
        break;
    default:
        break;
    }
    QMessageBox box(icon, title, messageBoxText(prompt), QMessageBox::Ok, dialogParent());
    // Prompts quote addresses and markup the user typed: never read them as rich text.
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void QtPlatform::shell(const QString& commandLine, int /*windowStyle*/)
{
    const CommandLineSplit split = splitCommandLine(commandLine);
    switch (split.outcome) {
    case CommandLineSplit::Blank:
        throw RuntimeError(errnum::InvalidArgument, QStringLiteral("Invalid procedure call or argument"));
    case CommandLineSplit::NotFound:
        throw RuntimeError(errnum::FileNotFound, QStringLiteral("File not found"));
    case CommandLineSplit::NotExecutable:
        throw RuntimeError(errnum::PermissionDenied,
                           QStringLiteral("Permission denied: %1 is not marked as a program that may be executed")
                               .arg(quoted(split.name)));
    case CommandLineSplit::Folder:
        throw RuntimeError(
            errnum::PathFileAccess,
            QStringLiteral("Path/File access error: %1 is a folder, not a program").arg(quoted(split.name)));
    case CommandLineSplit::Found:
        break;
    }
    std::optional<QByteArray> argument;
    if (split.argument)
        argument = QFile::encodeName(*split.argument);
    const int error = startDetached(QFile::encodeName(split.program), QFile::encodeName(split.name), argument);
    if (error != 0)
        throw startError(error, split.name);
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

QString QtPlatform::defaultLockFilePath()
{
    const QString runtimeFolder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (!runtimeFolder.isEmpty())
        return runtimeFolder + QStringLiteral("/anchorly.lock");
    // The temporary folder is shared by all users: the user id keeps the lock per user.
    return QDir::tempPath() + QStringLiteral("/anchorly-%1.lock").arg(::getuid());
}

bool QtPlatform::prevInstance()
{
    if (m_lockHeld)
        return false;
    if (!m_lock) {
        QString path = m_lockFilePath;
        if (path.isEmpty()) {
            path = defaultLockFilePath();
            QDir().mkpath(QFileInfo(path).absolutePath());
        }
        m_lock = std::make_unique<QLockFile>(path);
        // Only a dead owner makes a lock stale; a live copy holds it however long it runs.
        m_lock->setStaleLockTime(0);
    }
    if (m_lock->tryLock(0)) {
        m_lockHeld = true;
        return false;
    }
    if (m_lock->error() == QLockFile::LockFailedError)
        return true;
    throw RuntimeError(errnum::PathFileAccess,
                       QStringLiteral("Path/File access error: cannot use the lock file %1 that tells whether "
                                      "Anchorly is already running (check that its folder exists and can be written)")
                           .arg(quoted(QDir::toNativeSeparators(m_lock->fileName()))));
}

int QtPlatform::twipsPerPixel() const
{
    const QScreen* screen = primaryScreen();
    const qreal dpi = screen ? screen->logicalDotsPerInch() : 96.0;
    if (dpi <= 0)
        return 15;
    return qMax(1, qRound(1440.0 / dpi));
}

// Without a screen (no desktop) the usual 1024 x 768 stands in, so that window placement still has numbers to use.
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
