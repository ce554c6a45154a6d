// Starting other programs: the command line split into program and argument,
// and a start that neither waits for the program nor keeps it tied to us.

#include "platform/CommandLine.h"
#include "platform/QtPlatform.h"
#include "platform/RuntimeError.h"

#include <QFile>

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

} // namespace

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

} // namespace anchorly
