// The sources list's drop-down opened by a click, measured from outside on an
// X server, as a user meets it: from a synthetic button press (XTest) on the
// list to the map of its popup window. Anchorly with a sources.txt of 32,767
// names beside it against the same program with the 63 built-in names, the
// two started in turn, each with the full settings hive of bench_startup. The
// click comes once the window is shown and has had a moment to settle, as a
// user's would.
//
//   bench_dropdown <anchorly program> [counted runs of each]
//   (DISPLAY: an X server without a window manager)

#include "BenchHome.h"
#include "BenchTable.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <csignal>
#include <ctime>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int kWarmUp = 2;
// Where the sources list lies in the window's client area (the form's
// 607 x 420 below the menu bar; the list at 297, 94, 225 x 21).
constexpr int kFormHeight = 420;
constexpr int kListCentreX = 297 + 112;
constexpr int kListCentreY = 94 + 10;
constexpr double kSettleSeconds = 1.0;
constexpr double kDeadlineSeconds = 30.0;

double now()
{
    timespec t{};
    ::clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

[[noreturn]] void fail(const char* what)
{
    std::fprintf(stderr, "bench_dropdown: %s\n", what);
    std::exit(1);
}

// The next window mapped on the root window, a popup (override-redirect) or
// an ordinary one, until the deadline.
Window waitForMap(Display* display, bool popup, double deadline)
{
    while (now() < deadline) {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == MapNotify && bool(event.xmap.override_redirect) == popup)
                return event.xmap.window;
        }
        ::usleep(200);
    }
    fail(popup ? "no drop-down was shown" : "no window was shown");
}

void drain(Display* display, double until)
{
    while (now() < until) {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
        }
        ::usleep(1000);
    }
}

double openOnce(Display* display, const std::string& program)
{
    drain(display, now());
    const pid_t child = ::fork();
    if (child == 0) {
        ::execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    const Window window = waitForMap(display, false, now() + kDeadlineSeconds);
    drain(display, now() + kSettleSeconds);
    XWindowAttributes place{};
    XGetWindowAttributes(display, window, &place);
    XTestFakeMotionEvent(display, -1, place.x + kListCentreX, place.y + place.height - kFormHeight + kListCentreY,
                         CurrentTime);
    XSync(display, False);
    const double pressed = now();
    XTestFakeButtonEvent(display, 1, True, CurrentTime);
    XFlush(display);
    waitForMap(display, true, pressed + kDeadlineSeconds);
    const double shown = now();
    XTestFakeButtonEvent(display, 1, False, CurrentTime);
    XFlush(display);
    ::kill(child, SIGTERM);
    int status = 0;
    ::waitpid(child, &status, 0);
    return (shown - pressed) * 1000;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_dropdown <anchorly program> [counted runs of each]\n");
        return 2;
    }
    const std::string anchorly = argv[1];
    const int runs = argc > 2 ? std::atoi(argv[2]) : 20;
    Display* const display = XOpenDisplay(nullptr);
    int ignored = 0;
    if (!display || !XTestQueryExtension(display, &ignored, &ignored, &ignored, &ignored))
        fail("needs an X server with the XTest extension (DISPLAY)");
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);

    std::string base = (bench::fs::temp_directory_path() / "anchorly-bench-XXXXXX").string();
    if (!::mkdtemp(base.data()))
        return 1;
    bench::prepareHome(base);
    ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    const std::string large = bench::copyWithLargeList(anchorly, bench::fs::path(base) / "large");

    bench::Pairs milliseconds(kWarmUp);
    for (int i = 0; i < kWarmUp + runs; ++i) {
        double small = 0, big = 0;
        if (i % 2) {
            small = openOnce(display, anchorly);
            big = openOnce(display, large);
        } else {
            big = openOnce(display, large);
            small = openOnce(display, anchorly);
        }
        milliseconds.add(big, small);
    }
    std::error_code kept;
    bench::fs::remove_all(base, kept);
    bench::fs::remove_all(std::getenv("XDG_RUNTIME_DIR"), kept);
    XCloseDisplay(display);

    milliseconds.row("Sources: drop-down shown after a click, 32,767 names (X server)",
                     "the same with the 63 built-in", "ms", 3.0, 50);
    return 0;
}
