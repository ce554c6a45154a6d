#include "platform/FileReplace.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>

namespace anchorly::files {

namespace {

bool sameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

std::string reasonOf(int error)
{
    return std::strerror(error);
}

// The file a path names at the end of its symbolic links, which need not
// exist yet; false for a loop or an unreadable link.
bool followLinks(std::string& path)
{
    for (int hop = 0; hop < 40; ++hop) {
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return true;
        std::string target(std::size_t(info.st_size > 0 ? info.st_size : 255) + 1, '\0');
        const ssize_t length = ::readlink(path.c_str(), target.data(), target.size());
        if (length < 0 || std::size_t(length) >= target.size())
            return false;
        target.resize(std::size_t(length));
        path = target.front() == '/' ? target : (std::filesystem::path(path).parent_path() / target).string();
    }
    errno = ELOOP;
    return false;
}

// Removes the temporary files of saves that were cut off (the program was
// killed or the machine stopped between creating and renaming them), so
// they do not pile up. A save under way holds a lock on its temporary file,
// so another program's save in progress is left alone.
void removeAbandonedTemps(const std::string& file)
{
    const std::filesystem::path path(file);
    const std::string prefix = path.filename().string() + ".tmp-";
    std::error_code error;
    std::filesystem::directory_iterator entry(path.parent_path(), error);
    for (; !error && entry != std::filesystem::directory_iterator(); entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        if (name.size() != prefix.size() + 6 || name.compare(0, prefix.size(), prefix) != 0)
            continue;
        const int fd = ::open(entry->path().c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat opened {};
        struct stat named {};
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) &&
            ::lstat(entry->path().c_str(), &named) == 0 && sameFile(opened, named))
            ::unlink(entry->path().c_str());
        ::close(fd);
    }
}

// Creates the temporary file for a save of file, locked for as long as it is
// open; -1 when it cannot be created.
int createLockedTemp(const std::string& file, std::string& temp)
{
    for (int attempt = 0; attempt < 3; ++attempt) {
        temp = file + ".tmp-XXXXXX";
        const int fd = ::mkstemp(temp.data());
        if (fd < 0)
            return -1;
        // Without locks on this file system nobody can take the file for
        // abandoned either. Another save may have taken it for abandoned and
        // removed it just before it was locked: then make a new one.
        struct stat opened {};
        struct stat named {};
        if (::flock(fd, LOCK_EX) != 0 ||
            (::fstat(fd, &opened) == 0 && ::lstat(temp.c_str(), &named) == 0 && sameFile(opened, named)))
            return fd;
        ::close(fd);
    }
    errno = EAGAIN;
    return -1;
}

bool writeAll(int fd, const std::string& data)
{
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t wrote = systemCalls().write(fd, data.data() + done, data.size() - done);
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote == 0)
            errno = ENOSPC;
        if (wrote <= 0)
            return false;
        done += std::size_t(wrote);
    }
    return true;
}

} // namespace

SystemCalls& systemCalls()
{
    static SystemCalls calls;
    return calls;
}

std::string replaceFile(const std::string& path, const std::string& data, mode_t newFileMode)
{
    std::string file = path;
    if (!followLinks(file))
        return reasonOf(errno);
    struct stat old {};
    const bool exists = ::stat(file.c_str(), &old) == 0;
    if (exists && !S_ISREG(old.st_mode))
        return "Not a regular file";
    if (!exists) {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        old.st_mode = newFileMode & ~mask;
    }

    removeAbandonedTemps(file);
    std::string temp;
    const int fd = createLockedTemp(file, temp);
    if (fd < 0)
        return reasonOf(errno);
    // The first failure is the one to tell; the later steps still run so
    // that nothing is left open, but the rename only follows a whole write.
    int error = 0;
    (void)::fchmod(fd, old.st_mode & 07777); // a file system without permission bits takes the file as it is
    if (!writeAll(fd, data) || systemCalls().fsync(fd) != 0)
        error = errno;
    if (systemCalls().close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0 && systemCalls().rename(temp.c_str(), file.c_str()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(temp.c_str());
        return reasonOf(error);
    }
    // The rename itself reaches the disk with the folder; the new content is
    // in place either way, so a failure here is no failure of the replace.
    const int folder = ::open(std::filesystem::path(file).parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    return std::string();
}

} // namespace anchorly::files
