// The single-instance check: a lock that only a live process can hold.

#include "platform/QtPlatform.h"
#include "platform/RuntimeError.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
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
        openChannel();
        return false;
    }
    const int error = errno;
    ::close(fd);
    if (error == EWOULDBLOCK)
        return true;
    throw cannotCheck(QString::fromLocal8Bit(std::strerror(error)));
}

namespace {

// The socket's address, or false when the path does not fit in one.
bool channelAddress(const QString& path, sockaddr_un& address)
{
    const QByteArray name = QFile::encodeName(path);
    address = {};
    address.sun_family = AF_UNIX;
    if (name.size() >= qsizetype(sizeof address.sun_path))
        return false;
    std::memcpy(address.sun_path, name.constData(), size_t(name.size()));
    return true;
}

} // namespace

QString QtPlatform::channelPath() const
{
    QString path = m_lockFilePath.isEmpty() ? defaultLockFilePath() : m_lockFilePath;
    if (path.endsWith(QStringLiteral(".lock")))
        path.chop(5);
    return path + QStringLiteral(".socket");
}

// Called with the lock held: a socket left at the path by a copy of this
// user's that died is this copy's to replace. Anything else there (another
// user's file in a shared temporary folder) stays, and there is no channel.
void QtPlatform::openChannel()
{
    sockaddr_un address;
    const QString path = channelPath();
    if (QCoreApplication::instance() == nullptr || !channelAddress(path, address))
        return;
    struct stat status {};
    if (::lstat(address.sun_path, &status) == 0 && S_ISSOCK(status.st_mode) && status.st_uid == ::geteuid())
        ::unlink(address.sun_path);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return;
    // The mode is set before anyone is let in; the runtime folder is the user's own besides.
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::chmod(address.sun_path, 0600) != 0 || ::listen(fd, 8) != 0) {
        ::close(fd);
        return;
    }
    m_channelFd = fd;
    auto* notifier = new QSocketNotifier(fd, QSocketNotifier::Read);
    m_channelNotifier.reset(notifier);
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [this] {
        for (int peer; (peer = ::accept4(m_channelFd, nullptr, nullptr, SOCK_CLOEXEC)) >= 0;) {
            ucred credentials{};
            socklen_t size = sizeof credentials;
            const bool sameUser =
                ::getsockopt(peer, SOL_SOCKET, SO_PEERCRED, &credentials, &size) == 0 && credentials.uid == ::geteuid();
            ::close(peer);
            if (sameUser && m_called && !m_ended)
                m_called();
        }
    });
}

void QtPlatform::onCalledByNextInstance(std::function<void()> called)
{
    m_called = std::move(called);
}

void QtPlatform::callPrevInstance()
{
    sockaddr_un address;
    if (!channelAddress(channelPath(), address))
        return;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return;
    // Connecting is the message; a copy that cannot be reached is simply not called.
    (void)::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    ::close(fd);
}

} // namespace anchorly
