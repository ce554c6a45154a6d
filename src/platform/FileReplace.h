#pragma once

// The one way the program replaces a file it keeps (the settings hive, the
// sources list). Plain C++ and POSIX without Qt, so that the settings
// store's Qt-free part uses it too.

#include <string>
#include <sys/types.h>
#include <unistd.h>

namespace anchorly::files {

// Replaces the file at path with data: a temporary file in the same folder,
// written, synced to disk and renamed over the old one, so that the file
// holds either all it held before or all of data, never less. Every write,
// sync, close and the rename are checked; on any failure the old file is left
// exactly as it was, the temporary file is removed and the reason is given
// back (empty on success). A symbolic link stays a link: the file it leads
// to is replaced, or created when missing. Anything but a regular file in
// that place is left alone. A replaced file keeps its permission bits; a new
// one gets newFileMode less the umask. Temporary files of earlier saves that
// were cut off are removed first.
std::string replaceFile(const std::string& path, const std::string& data, mode_t newFileMode);

// The calls through which replaceFile writes and renames; tests put ones in
// their place that fail as a full or broken disk does.
struct SystemCalls {
    ssize_t (*write)(int, const void*, size_t) = ::write;
    int (*fsync)(int) = ::fsync;
    int (*close)(int) = ::close;
    int (*rename)(const char*, const char*) = ::rename;
};
SystemCalls& systemCalls();

} // namespace anchorly::files
