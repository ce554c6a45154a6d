#pragma once

namespace anchorly {

// Runs Anchorly: sets up the desktop services and the settings store, starts
// the main window and returns the program's exit code when it ends.
int runAnchorly(int argc, char** argv);

} // namespace anchorly
