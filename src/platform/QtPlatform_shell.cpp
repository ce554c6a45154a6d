// Starting other programs: the command line split into program and argument,
// and a start that neither waits for the program nor keeps it tied to us.

#include "platform/CommandLine.h"
#include "platform/QtPlatform.h"
#include "platform/RuntimeError.h"

#include <QCursor>
#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace anchorly {

namespace {

QString quoted(const QString& text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

// What the pipe from the children carries: the errno of a failed start, or
// the exit status of a watched program.
struct Report {
    int kind; // 0 errno, 1 wait status
    int value;
};

// Starts the program in a session of its own, from a child that exits at once,
// so that the program is adopted by init, never becomes a zombie of ours and
// outlives us. A close-on-exec pipe carries the errno of a failed exec back: EOF
// without data means the exec succeeded. When watchSeconds is above 0, a small
// watcher in the program's session waits for it instead and reports its exit
// status, giving up after that many seconds (the program then runs on without
// it). Returns the pipe's read end (-1 when nothing was started, with errno set)
// for the caller to read and close.
int startDetached(const QByteArray& program, const QByteArray& argumentZero, const std::optional<QByteArray>& argument,
                  unsigned watchSeconds)
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
        return -1;
    // The grandchild puts /dev/null on descriptor 0; keep the pipe clear of 0..2
    // even when this program was started with a standard descriptor closed.
    for (int& fd : pipeFds) {
        if (fd <= 2) {
            const int moved = ::fcntl(fd, F_DUPFD_CLOEXEC, 3);
            if (moved < 0) {
                const int error = errno;
                ::close(pipeFds[0]);
                ::close(pipeFds[1]);
                errno = error;
                return -1;
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
        errno = error;
        return -1;
    }
    if (child == 0) {
        ::close(readFd);
        ::setsid();
        // Descriptors this program opened without close-on-exec stay ours; the
        // watcher must not hold the single-instance lock or the display either.
        if (writeFd > 3)
            ::close_range(3, unsigned(writeFd - 1), 0);
        ::close_range(unsigned(writeFd + 1), ~0u, 0);
        // Signal handlers are reset by exec; the mask and ignored signals are not.
        for (int signal = 1; signal < NSIG; ++signal)
            ::signal(signal, SIG_DFL);
        sigset_t noSignals;
        sigemptyset(&noSignals);
        ::sigprocmask(SIG_SETMASK, &noSignals, nullptr);
        pid_t grandchild = ::fork();
        if (grandchild == 0 && watchSeconds > 0) {
            grandchild = ::fork();
            if (grandchild > 0) {
                ::alarm(watchSeconds);
                int status = 0;
                while (::waitpid(grandchild, &status, 0) < 0 && errno == EINTR) {
                }
                const Report report{1, status};
                (void)!::write(writeFd, &report, sizeof report);
                ::_exit(0);
            }
        }
        if (grandchild != 0) {
            if (grandchild < 0) {
                const Report report{0, errno};
                (void)!::write(writeFd, &report, sizeof report);
            }
            ::_exit(0);
        }
        const int nullFd = ::open("/dev/null", O_RDONLY);
        if (nullFd >= 0 && nullFd != 0) {
            ::dup2(nullFd, 0);
            ::close(nullFd);
        }
        ::execv(program.constData(), argv.data());
        const Report report{0, errno};
        (void)!::write(writeFd, &report, sizeof report);
        ::_exit(127);
    }

    ::close(writeFd);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return readFd;
}

// Reads one report, waiting as long as the pipe stays open.
std::optional<Report> readReport(int fd)
{
    Report report{};
    ssize_t got;
    do {
        got = ::read(fd, &report, sizeof report);
    } while (got < 0 && errno == EINTR);
    return got == ssize_t(sizeof report) ? std::optional<Report>(report) : std::nullopt;
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

} // namespace

namespace {

// Starts the line's program; returns the pipe of its reports (see startDetached).
int startLine(const QString& commandLine, unsigned watchSeconds)
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
    const int fd =
        startDetached(QFile::encodeName(split.program), QFile::encodeName(split.name), argument, watchSeconds);
    if (fd < 0)
        throw startError(errno, split.name);
    // A failed exec reports at once; a watched program's status comes later.
    if (watchSeconds == 0) {
        const std::optional<Report> report = readReport(fd);
        ::close(fd);
        if (report)
            throw startError(report->value, split.name);
    }
    return fd;
}

} // namespace

void QtPlatform::shell(const QString& commandLine, int /*windowStyle*/)
{
    startLine(commandLine, 0);
}

int QtPlatform::shellAndWait(const QString& commandLine, int /*windowStyle*/, int waitMs)
{
    // The watcher gives up a little after this side, so it never outlives the wait by much.
    const int fd = startLine(commandLine, unsigned(waitMs / 1000 + 2));
    const QString name = splitCommandLine(commandLine).name;
    // The windows keep painting while the user's input waits for the answer.
    {
        QEventLoop loop;
        QSocketNotifier answered(fd, QSocketNotifier::Read);
        QObject::connect(&answered, &QSocketNotifier::activated, &loop, &QEventLoop::quit);
        QTimer::singleShot(waitMs, &loop, &QEventLoop::quit);
        const bool gui = qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
        if (gui)
            QGuiApplication::setOverrideCursor(QCursor(Qt::BusyCursor));
        loop.exec(QEventLoop::ExcludeUserInputEvents);
        if (gui)
            QGuiApplication::restoreOverrideCursor();
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    const std::optional<Report> report = readReport(fd);
    ::close(fd);
    if (!report)
        return -1;
    if (report->kind == 0)
        throw startError(report->value, name);
    return WIFSIGNALED(report->value) ? 128 + WTERMSIG(report->value) : WEXITSTATUS(report->value);
}

} // namespace anchorly
