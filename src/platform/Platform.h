#pragma once

#include <QString>
#include <QtGlobal>
#include <functional>

class QWidget;

namespace anchorly {

// Style numbers of a message box: OK only, plus at most one icon.
namespace MsgStyle {
inline constexpr int OkOnly = 0;
inline constexpr int Exclamation = 48;
inline constexpr int Information = 64;
} // namespace MsgStyle

// Window style for started programs: a normal window that takes the focus.
inline constexpr int kNormalFocus = 1;

// The state of a file-open dialog, kept by its owner from one use to the next.
struct FileOpenDialog {
    QString filter; // pairs "description|pattern", separated by "|"
    int flags = 0;
    QString initDir;
    QString title;
    QString fileName; // the chosen full path; a cancel leaves it as it was
};

// The state of a colour dialog, kept by its owner from one use to the next.
struct ColorDialog {
    bool cancelError = false;
    int flags = 0;
    quint32 color = 0; // blue * 65536 + green * 256 + red; black until a colour is chosen
};

// Every service of the desktop that the tool uses. The windows and
// subsystems reach the desktop only through this interface; tests pass a
// fake that records each call and never blocks.
class Platform {
public:
    virtual ~Platform() = default;

    // A modal message box with an OK button; returns once the user has closed it.
    // style: MsgStyle::OkOnly, Exclamation or Information.
    virtual void msgBox(const QString& prompt, int style, const QString& title, const QString& helpFile = QString(),
                        int helpContext = 0) = 0;

    // Starts a program from an unquoted command line and returns at once,
    // without waiting. Throws RuntimeError: 5 when the line has no program
    // part (it is empty or starts with a blank), 53 when no program of that
    // name exists, another number when it exists but cannot be started.
    virtual void shell(const QString& commandLine, int windowStyle) = 0;

    // Starts a program as shell() does, with the same errors, then waits up to
    // waitMs for it to end: the windows keep painting, the user's input waits.
    // Returns its exit status when it ended in that time (128 plus the signal's
    // number when a signal ended it), or -1 when it still runs or the program
    // is ending.
    virtual int shellAndWait(const QString& commandLine, int windowStyle, int waitMs) = 0;

    // Asks the desktop to open a web address with the user's default
    // program for it. The result is not reported.
    virtual void shellExecute(QWidget* parent, const QString& address, const QString& workingDirectory,
                              int showCommand) = 0;

    // Empties the clipboard; puts plain text on it.
    virtual void clipboardClear() = 0;
    virtual void clipboardSetText(const QString& text) = 0;

    // The folder of the executable, without a trailing separator.
    virtual QString appPath() const = 0;

    // The folder that holds the user's configuration (the settings hive lives below it).
    virtual QString userConfigFolder() const = 0;

    // Where the sources list goes when the program's folder is not the user's:
    // the folder for the user's own data files ($XDG_DATA_HOME, else
    // ~/.local/share), and whether this user may create and replace files in a
    // folder (false for a folder that is missing or on a read-only file system).
    virtual QString userDataFolder() const = 0;
    virtual bool canWriteFolder(const QString& folder) const = 0;

    // True when another copy of the program already runs for this user.
    // May throw RuntimeError when the check itself fails.
    virtual bool prevInstance() = 0;

    // The two ends of a channel between this user's copies. The copy that
    // runs (prevInstance() answered false) hears of each later start through
    // `called`, run on the event loop; the later copy asks it to come forward
    // with callPrevInstance(). Nobody else can use the channel. Best effort:
    // neither end reports a failure.
    virtual void onCalledByNextInstance(std::function<void()> called) = 0;
    virtual void callPrevInstance() = 0;

    // The screen's size in twips, and how many twips make one pixel.
    virtual int screenWidthTwips() const = 0;
    virtual int screenHeightTwips() const = 0;
    virtual int twipsPerPixel() const = 0;

    // True when a window of this outer geometry (pixels) would be at least
    // partly visible on some screen.
    virtual bool isOnSomeScreen(int left, int top, int width, int height) const = 0;

    // False where the desktop neither tells a window where it is nor lets it
    // place itself (a Wayland compositor): a window's position then means nothing.
    virtual bool windowPositionKnown() const { return true; }

    // The widget that has the keyboard focus, or nullptr.
    virtual QWidget* activeControl() const = 0;

    // The current year by the system clock.
    virtual int currentYear() const = 0;

    // Ends the program at once: no further handler of any window runs. The
    // call itself returns; the caller must then do nothing further and return.
    virtual void end() = 0;

    // Shows a modal file-open dialog set up from the state; a pick stores the
    // full path in dialog.fileName, a cancel leaves it as it was. Throws
    // RuntimeError when the dialog cannot be shown.
    virtual void showOpen(FileOpenDialog& dialog) = 0;

    // Shows a modal colour dialog opening on dialog.color; OK stores the
    // choice in dialog.color. A cancel with cancelError set throws
    // RuntimeError 32755; without it, it returns leaving the colour as it was.
    virtual void showColor(ColorDialog& dialog) = 0;
};

} // namespace anchorly
