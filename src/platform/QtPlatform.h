#pragma once

#include "platform/Platform.h"

#include <QString>
#include <QStringList>
#include <memory>

class QObject;

namespace anchorly {

// The platform services on a Qt desktop (Linux and other Unix systems). Needs a
// QApplication for everything but the command-line start and appPath.
class QtPlatform : public Platform {
public:
    // lockFilePath: the single-instance lock; empty for defaultLockFilePath().
    explicit QtPlatform(const QString& lockFilePath = QString());
    ~QtPlatform() override;

    QtPlatform(const QtPlatform&) = delete;
    QtPlatform& operator=(const QtPlatform&) = delete;

    void msgBox(const QString& prompt, int style, const QString& title, const QString& helpFile = QString(),
                int helpContext = 0) override;

    // Splits the line as splitCommandLine() describes and starts the program
    // detached: in a session of its own, stdin from /dev/null, not waited for,
    // outliving this program. windowStyle has no counterpart here (the started
    // program places its own window). Errors: 5 no program part (the line is
    // empty or starts with a blank); 53 no such program; 70 a file or program
    // the user may not execute; 75 a folder, or a file this system cannot run;
    // 7 out of memory.
    void shell(const QString& commandLine, int windowStyle) override;
    // The program runs as shell() starts it, watched by a small process of
    // its own session that reports its end and gives up soon after waitMs.
    int shellAndWait(const QString& commandLine, int windowStyle, int waitMs) override;

    // Opens the address with the desktop's default program; the working folder
    // plays no part.
    void shellExecute(QWidget* parent, const QString& address, const QString& workingDirectory,
                      int showCommand) override;

    void clipboardClear() override;
    void clipboardSetText(const QString& text) override;

    QString appPath() const override;
    QString userConfigFolder() const override;
    QString userDataFolder() const override;
    bool canWriteFolder(const QString& folder) const override;

    // The first call locks a per-user lock file, held until this object is
    // destroyed; it answers true while another live process holds the lock.
    // Whatever file a copy that died left behind, whatever its content, is
    // taken over. Later calls answer false once this object holds the lock,
    // and try again otherwise. Throws RuntimeError 75 when the lock cannot be
    // checked (a folder in the file's place, a folder that cannot be written,
    // a file of another user).
    bool prevInstance() override;

    // The channel is a local socket beside the lock file (anchorly.socket),
    // opened by the copy that holds the lock, readable and writable by its
    // user alone; a connection from a process of another user is dropped
    // unheard. A connection is the whole message.
    void onCalledByNextInstance(std::function<void()> called) override;
    void callPrevInstance() override;
    QString channelPath() const;

    int screenWidthTwips() const override;
    int screenHeightTwips() const override;
    int twipsPerPixel() const override;
    bool isOnSomeScreen(int left, int top, int width, int height) const override;

    bool windowPositionKnown() const override;

    QWidget* activeControl() const override;
    int currentYear() const override;

    // Ends the program: asks every running event loop (modal ones included) to
    // return, closes nothing, and from now on swallows close requests and user
    // input to every object, so no window's closing or input handler runs again.
    // end() itself returns: the caller and the code it returns into must do
    // nothing further (check hasEnded() after any call that may have ended the
    // program). Code that starts the event loop checks hasEnded() first, since
    // an end during start-up, before the loop runs, cannot stop a loop.
    void end() override;
    bool hasEnded() const { return m_ended; }

    void showOpen(FileOpenDialog& dialog) override;
    void showColor(ColorDialog& dialog) override;

    // The per-user lock file: anchorly.lock in the user's runtime folder, or
    // anchorly-<user id>.lock in the temporary folder when there is none.
    static QString defaultLockFilePath();

private:
    QString m_lockFilePath;
    int m_lockFd = -1;    // the locked file while this copy holds the lock
    int m_channelFd = -1; // the listening socket while this copy holds the lock
    std::unique_ptr<QObject> m_channelNotifier;
    std::function<void()> m_called;
    void openChannel();
    bool m_ended = false;
    std::unique_ptr<QObject> m_endedFilter;
};

// The text of a message box prompt as shown: each "\r\n", and any lone "\r",
// becomes one line break.
QString messageBoxText(const QString& prompt);

// The QMessageBox::Icon a message box style asks for: 16 critical, 32 a
// question, 48 an exclamation, 64 information, none without those bits.
int messageBoxIcon(int style);

// Qt name filters ("description (patterns)") from a "description|pattern|..."
// filter; a trailing "|" and empty pairs are ignored. Patterns separated by ";"
// are kept together. "*.*" and "*.exe" become "*": here every file name counts,
// with or without a dot, and programs carry no ".exe" ending. A description
// that ends in its own pattern in parentheses shows the converted one instead.
QStringList fileDialogNameFilters(const QString& filter);

} // namespace anchorly
