#pragma once

#include <QString>
#include <functional>
#include <optional>

namespace anchorly {

// What a name on a command line turns out to be.
struct ProgramProbe {
    enum Kind {
        Missing,       // nothing of that name (or a bare name not on the search path)
        Runnable,      // a regular file the user may execute
        NotExecutable, // a regular file without execute permission
        Folder,        // a directory
    };
    Kind kind = Missing;
    QString path; // the file the name resolves to (a bare name resolved on the search path)
};

// Tells what a name (a path, or a bare name without "/") designates.
using ProgramLookup = std::function<ProgramProbe(const QString& name)>;

// The lookup on the real file system: names with a "/" are taken as paths,
// bare names are searched on PATH.
ProgramProbe lookUpProgram(const QString& name);

// An unquoted command line split into the program and its one argument.
struct CommandLineSplit {
    enum Outcome {
        Blank,         // no program part: empty, or a blank first
        Found,         // program is runnable
        NotExecutable, // the program is a regular file without execute permission
        Folder,        // the whole line names a directory
        NotFound,      // nothing on the line names a program
    };
    Outcome outcome = Blank;
    QString name;                    // the program as written on the line
    QString program;                 // the resolved file to start
    std::optional<QString> argument; // passed whole; absent when nothing follows the program
};

// Splits an unquoted command line, "program path" or "program path, one blank,
// argument", where both parts may contain blanks themselves.
//
// A line that is empty or starts with a blank names no program (Blank): the
// program part of "<location> <file>" with an empty location is empty, and
// the file must never stand in for it.
//
// The program is the shortest prefix that ends just before a blank (or at the
// end of the line) and names a runnable file; the text after that one blank
// is the single argument, blanks and all. A remainder
// that is empty or holds only blanks gives no argument: "browser " (a location
// followed by an empty document location) starts the browser without a document.
// When no prefix is runnable, the shortest prefix naming an existing regular
// file is the program the line meant, one that cannot be started
// (NotExecutable): the user picked a file that is not marked as a program. A
// runnable longer prefix still wins over it, as in "/home/me/a b/prog" beside a
// plain file "/home/me/a". Folders never end the search, since "/opt/my tools/x"
// passes the folder "/opt/my"; only a whole line (trailing blanks aside) naming
// a folder reports Folder.
CommandLineSplit splitCommandLine(const QString& commandLine, const ProgramLookup& lookup = lookUpProgram);

} // namespace anchorly
