#pragma once

// Starting the user's browser and editor on their HTML file. Works on the
// three stored locations as plain strings and reaches the desktop only
// through the platform; it never opens a window of its own.

#include <QString>

namespace anchorly {
class Platform;
}

namespace anchorly::launch {

enum class Outcome {
    Started,       // every program asked for was started
    NeedsLocation, // the program is missing: the user was told to locate it in the preferences
    Failed,        // a start failed and the user was told; nothing more to do
};

// Starts the browser with nothing on its command line. When it is missing
// (error 5 or 53) tells the user "Locate your browser please..." and answers
// NeedsLocation: the caller then highlights the browser's locate button and
// shows the preferences. Any other failure is reported as unexpected: Failed.
Outcome startBrowser(Platform& platform, const QString& browserPath);

// As startBrowser, for the editor ("Locate your editor please...").
Outcome startEditor(Platform& platform, const QString& editorPath);

// Starts the browser, then the editor, each with the HTML file as its
// argument (program, one blank, file; unquoted). A failed browser start
// means the editor is not started. A missing program or file tells the user
// to check the preferences and answers Failed, never NeedsLocation: this
// command does not lead to the preferences window.
Outcome startBoth(Platform& platform, const QString& browserPath, const QString& editorPath, const QString& htmlFile);

} // namespace anchorly::launch
