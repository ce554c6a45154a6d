#pragma once

#include <QByteArray>
#include <QObject>

namespace anchorly {

// What the environment says about the desktop session the program starts in.
struct DisplayEnvironment {
    QByteArray chosenPlatform; // QT_QPA_PLATFORM: the user's own choice
    QByteArray waylandDisplay; // WAYLAND_DISPLAY
    QByteArray x11Display;     // DISPLAY
    QByteArray sessionType;    // XDG_SESSION_TYPE

    static DisplayEnvironment current();
};

// The toolkit platform to start on, or empty to leave the choice to the
// toolkit. A Wayland compositor neither tells a window where it is nor lets
// it place itself, so on a Wayland session that also offers an X server the
// program runs on X, where its remembered position can be restored; on a
// Wayland-only session it runs natively. A platform the user chose wins.
QByteArray displayPlatformFor(const DisplayEnvironment& environment);

// True when the toolkit would find no display to open, so that the program
// can say so in one line instead of the toolkit's abort: neither DISPLAY nor
// WAYLAND_DISPLAY is set, the session is no Wayland session (whose
// compositor listens on its default socket), and the platform the user chose,
// if any, is one that needs a display (xcb, wayland; not offscreen or vnc).
bool displayMissing(const DisplayEnvironment& environment);

// The one line said when there is no display, as scripts/run.sh says it.
inline constexpr char kNoDisplayMessage[] =
    "Anchorly needs a graphical desktop: no display is available (DISPLAY and WAYLAND_DISPLAY are unset).";

// Turns the signals that end a program with its desktop session (SIGTERM at
// logout or shutdown, SIGHUP when its terminal closes, SIGINT for Ctrl+C)
// into sessionEnding() on the event loop, so that the program can close as
// the user would. The signal handler only writes a byte to a socket. Once a
// signal has been caught, the same signal again ends the program at once, in
// case it can no longer close by itself. One watcher per process.
class SessionEndWatcher : public QObject {
    Q_OBJECT

public:
    explicit SessionEndWatcher(QObject* parent = nullptr);
    ~SessionEndWatcher() override;

signals:
    void sessionEnding(int signalNumber);

private:
    void readSignals();
};

} // namespace anchorly
