// The single-instance check: a lock that only a live process can hold.

#include "platform/QtPlatform.h"
#include "platform/RuntimeError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace anchorly {

QString QtPlatform::defaultLockFilePath()
{
    const QString runtimeFolder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (!runtimeFolder.isEmpty())
        return runtimeFolder + QStringLiteral("/anchorly.lock");
    // The temporary folder is shared by all users: the user id keeps the lock per user.
    return QDir::tempPath() + QStringLiteral("/anchorly-%1.lock").arg(::getuid());
}

// The lock is the kernel's lock on the file, not the file itself: the kernel
// drops it when its holder ends in any way, so whatever a crash or a power
// loss left behind (an empty file, half a file, another program's number) is
// simply locked again by the next start.
bool QtPlatform::prevInstance()
{
    if (m_lockFd >= 0)
        return false;
    QString path = m_lockFilePath;
    if (path.isEmpty()) {
        path = defaultLockFilePath();
        QDir().mkpath(QFileInfo(path).absolutePath());
    }
    const auto cannotCheck = [&path](const QString& reason) {
        return RuntimeError(errnum::PathFileAccess,
                            QStringLiteral("Path/File access error: cannot use the lock file \"%1\" that tells whether "
                                           "Anchorly is already running: %2. Its folder must exist and be yours to "
                                           "write.")
                                .arg(QDir::toNativeSeparators(path), reason));
    };

    // Read access is all a lock needs, so a leftover file the user may not write is taken over as well.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        throw cannotCheck(QString::fromLocal8Bit(std::strerror(errno)));
    struct stat status {};
    if (::fstat(fd, &status) != 0 || status.st_uid != ::geteuid()) {
        // Only the same user's copy may refuse a start; a file of another user in a shared folder proves nothing.
        ::close(fd);
        throw cannotCheck(QStringLiteral("It belongs to another user"));
    }
    int locked;
    do {
        locked = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (locked != 0 && errno == EINTR);
    if (locked == 0) {
        m_lockFd = fd;
        return false;
    }
    const int error = errno;
    ::close(fd);
    if (error == EWOULDBLOCK)
        return true;
    throw cannotCheck(QString::fromLocal8Bit(std::strerror(error)));
}

} // namespace anchorly
