#pragma once

// What may stand where the program keeps a file (the settings hive, the
// sources list) instead of one it can read, for both suites' tables. Plain
// C++ and POSIX, for the registry contract too.

#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace anchorly::test {

// Each is read as far as it goes and left exactly as it is: a folder, a pipe, a link to /dev/zero, a file too
// large, one the user may not read, and a readable file on a full disk.
inline constexpr const char* kOddFiles[] = {"|folder", "|fifo", "|zero", "|large", "|unreadable", "|full"};

// Puts at path a kind of kOddFiles' (a file among them holding plain, the pipe plain from a writer gone),
// "|link" (to "<path>.real" holding plain), or else the kind as the file's bytes. Root reads any file: as root, an
// unprivileged user who owns the folder puts it there and runs the case until endCase().
inline bool placeFile(const std::string& folder, const std::string& path, const std::string& kind,
                      const std::string& plain)
{
    const std::string real = kind == "|link" ? path + ".real" : path;
    if (::geteuid() == 0 && (::chown(folder.c_str(), 65534, 65534) != 0 || ::seteuid(65534) != 0))
        return false;
    if (kind == "|fifo") { // the reader opened here keeps the bytes in the pipe for the next one
        const int reader = ::mkfifo(path.c_str(), 0600) == 0 ? ::open(path.c_str(), O_RDONLY | O_NONBLOCK) : -1;
        const int writer = reader >= 0 ? ::open(path.c_str(), O_WRONLY | O_NONBLOCK) : -1;
        return writer >= 0 && ::write(writer, plain.data(), plain.size()) == ssize_t(plain.size()) &&
               ::close(writer) == 0;
    }
    if (kind == "|zero" || kind == "|folder")
        return (kind == "|zero" ? ::symlink("/dev/zero", path.c_str()) : ::mkdir(path.c_str(), 0700)) == 0;
    rlimit size{}; // on the full disk, writes beyond a few bytes fail from now on
    return bool(std::ofstream(real, std::ios::binary) << (kind[0] == '|' ? plain : kind) << std::flush) &&
           (kind != "|link" || ::symlink(real.substr(real.rfind('/') + 1).c_str(), path.c_str()) == 0) &&
           (kind != "|large" || ::truncate(path.c_str(), 65 << 20) == 0) &&
           (kind != "|unreadable" || ::chmod(path.c_str(), 0) == 0) &&
           (kind != "|full" ||
            (std::signal(SIGXFSZ, SIG_IGN),
             ::getrlimit(RLIMIT_FSIZE, &size) == 0 && (size.rlim_cur = 4, ::setrlimit(RLIMIT_FSIZE, &size) == 0)));
}

// What stands at path, as its inode, kind, size and times tell: a file replaced shows even where it cannot be read.
inline std::string stamp(const std::string& path)
{
    struct stat info {};
    ::lstat(path.c_str(), &info);
    return std::to_string(info.st_ino) + ' ' + std::to_string(info.st_mode) + ' ' + std::to_string(info.st_size) + ' ' +
           std::to_string(info.st_mtim.tv_nsec) + ' ' + std::to_string(info.st_ctim.tv_nsec);
}

// Back to root when the test runs as root, and no file size limit.
inline bool endCase()
{
    rlimit size{};
    return (::getuid() != 0 || ::seteuid(0) == 0) && ::getrlimit(RLIMIT_FSIZE, &size) == 0 &&
           (size.rlim_cur = size.rlim_max, ::setrlimit(RLIMIT_FSIZE, &size) == 0);
}

} // namespace anchorly::test
