#include "platform/DesktopSession.h"

#include <QSocketNotifier>
#include <QtGlobal>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace anchorly {

DisplayEnvironment DisplayEnvironment::current()
{
    return {qgetenv("QT_QPA_PLATFORM"), qgetenv("WAYLAND_DISPLAY"), qgetenv("DISPLAY"), qgetenv("XDG_SESSION_TYPE")};
}

QByteArray displayPlatformFor(const DisplayEnvironment& environment)
{
    if (!environment.chosenPlatform.isEmpty())
        return {};
    const bool wayland = !environment.waylandDisplay.isEmpty() || environment.sessionType == "wayland";
    if (!wayland)
        return {};
    return environment.x11Display.isEmpty() ? QByteArrayLiteral("wayland") : QByteArrayLiteral("xcb");
}

bool displayMissing(const DisplayEnvironment& environment)
{
    if (!environment.x11Display.isEmpty() || !environment.waylandDisplay.isEmpty() ||
        environment.sessionType == "wayland")
        return false;
    // QT_QPA_PLATFORM may list platforms to try in turn, each with options after a colon.
    for (const QByteArray& entry : environment.chosenPlatform.split(';')) {
        const QByteArray name = entry.split(':').first().trimmed();
        if (!name.isEmpty() && !name.startsWith("xcb") && !name.startsWith("wayland"))
            return false;
    }
    return true;
}

namespace {

constexpr int kSessionEndSignals[] = {SIGTERM, SIGHUP, SIGINT};

// [0] is read on the event loop, [1] written by the signal handler.
int signalSocket[2] = {-1, -1};

void onSessionEndSignal(int signalNumber)
{
    const int savedErrno = errno;
    const char byte = char(signalNumber);
    // Non-blocking: with the socket full, the signals already queued say enough.
    [[maybe_unused]] const ssize_t written = ::write(signalSocket[1], &byte, 1);
    errno = savedErrno;
}

} // namespace

SessionEndWatcher::SessionEndWatcher(QObject* parent) : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalSocket) != 0) {
        qWarning("Anchorly: cannot watch for the end of the session: %s", std::strerror(errno));
        return;
    }
    for (const int fd : signalSocket)
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    auto* notifier = new QSocketNotifier(signalSocket[0], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &SessionEndWatcher::readSignals);

    struct sigaction action = {};
    action.sa_handler = onSessionEndSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    for (const int signalNumber : kSessionEndSignals) {
        struct sigaction previous = {};
        // A signal ignored when the program started (nohup) stays ignored.
        if (::sigaction(signalNumber, nullptr, &previous) == 0 && previous.sa_handler != SIG_IGN)
            ::sigaction(signalNumber, &action, nullptr);
    }
}

SessionEndWatcher::~SessionEndWatcher()
{
    if (signalSocket[0] < 0)
        return;
    for (const int signalNumber : kSessionEndSignals) {
        struct sigaction current = {};
        if (::sigaction(signalNumber, nullptr, &current) == 0 && current.sa_handler == onSessionEndSignal)
            ::signal(signalNumber, SIG_DFL);
    }
    for (int& fd : signalSocket) {
        ::close(fd);
        fd = -1;
    }
}

void SessionEndWatcher::readSignals()
{
    // One request to close is enough for any number of signals.
    char bytes[16];
    int first = 0;
    for (ssize_t count; (count = ::read(signalSocket[0], bytes, sizeof bytes)) > 0;)
        first = first ? first : int(bytes[0]);
    if (first)
        emit sessionEnding(first);
}

} // namespace anchorly
