#pragma once

// Where the sources list lives for the user who runs the program.

#include <QString>

namespace anchorly {
class Platform;
}

namespace anchorly::sources {

struct SourcesLocation {
    QString readPath; // what start-up and refresh load
    QString savePath; // what a save replaces and "Edit" opens
};

// A program folder the user can write holds the one "sources.txt" that is
// read and saved, as in a per-user or portable install. When the user cannot
// write it (a system install), each user keeps a list of their own in
// <data folder>/anchorly/sources.txt: saves go there, and it is read once it
// exists; until then the program folder's "sources.txt" (a list an
// administrator or packager provides) is read, or the built-in list.
SourcesLocation sourcesLocation(const Platform& platform);

// Creates the folder of the save path when it is missing, so that the first
// save of a per-user list can create its file. When the folder cannot be
// made the user is told which folder and why, and the result is false: the
// command then leaves the list as it is.
bool makeSaveFolder(const SourcesLocation& location, Platform& platform);

} // namespace anchorly::sources
