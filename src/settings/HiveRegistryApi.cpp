// The hive's files on disk: reading one as far as it can be read, keeping a
// damaged one, and replacing it with every write. The text format itself is
// HiveFormat.cpp's.
//
// A file whose content cannot be parsed is damaged: what can be parsed is
// used, and before the first write over it the original is kept as
// "<file>.damaged-<UTC time>". A file that cannot be opened or read (no read
// permission, an I/O error, too many open files, no regular file, larger than
// kMaxHiveBytes) says nothing about its content: it is left alone, reads find
// nothing in it and writes fail, until it can be read again.

#include "settings/HiveRegistryApi.h"

#include "platform/FileReplace.h"
#include "settings/HiveFormat.h"

#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace anchorly::registry {

namespace {

// No settings hive comes near this; a larger file is not read into memory.
constexpr off_t kMaxHiveBytes = 64 * 1024 * 1024;

// The key was removed by another writer after it was opened.
constexpr long kERROR_KEY_DELETED = 1018;

const char* rootName(std::int32_t rootKey)
{
    switch (rootKey) {
    case kHKEY_CLASSES_ROOT:
        return "HKEY_CLASSES_ROOT";
    case kHKEY_CURRENT_USER:
        return "HKEY_CURRENT_USER";
    case kHKEY_LOCAL_MACHINE:
        return "HKEY_LOCAL_MACHINE";
    case kHKEY_USERS:
        return "HKEY_USERS";
    case kHKEY_PERFORMANCE_DATA:
        return "HKEY_PERFORMANCE_DATA";
    case kHKEY_CURRENT_CONFIG:
        return "HKEY_CURRENT_CONFIG";
    case kHKEY_DYN_DATA:
        return "HKEY_DYN_DATA";
    default:
        return nullptr;
    }
}

// What tells a file unchanged without reading it. Its times only tell when
// they lie far enough in the past (settled) that a later change, even within
// the file system's clock tick, gives it other times.
struct Stamp {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = -1;
    timespec modified{}, changed{};
    bool settled = false;

    bool same(const Stamp& other) const
    {
        const auto sameTime = [](const timespec& a, const timespec& b) {
            return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
        };
        return device == other.device && inode == other.inode && size == other.size &&
               sameTime(modified, other.modified) && sameTime(changed, other.changed);
    }
};

Stamp stampOf(const struct stat& info)
{
    const std::time_t now = std::time(nullptr);
    return {info.st_dev,  info.st_ino,  info.st_size,
            info.st_mtim, info.st_ctim, info.st_mtim.tv_sec < now - 2 && info.st_ctim.tv_sec < now - 2};
}

// Reads the whole file unless its stamp tells it unchanged: true when it is read in full, and then either it
// holds the bytes known (known stays as it is, content stays empty) or its
// bytes are in content. false when it cannot be opened or read in full,
// with missing telling a file that is not there from one that is. Bytes
// that match are compared as they come, so an unchanged large hive costs a
// read and no copy.
bool readHiveFile(const std::string& file, const std::string& known, Stamp& stamp, std::string& content, bool& missing)
{
    // Non-blocking, so that a pipe in place of the file cannot hang a read.
    const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    missing = fd < 0 && errno == ENOENT;
    if (fd < 0)
        return false;
    struct stat info {};
    bool whole = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size <= kMaxHiveBytes;
    const Stamp now = stampOf(info);
    if (whole && !known.empty() && stamp.settled && now.same(stamp)) {
        ::close(fd);
        return true;
    }
    stamp = now;
    std::size_t matched = known.size() == std::size_t(info.st_size) ? 0 : std::string::npos;
    if (whole && matched != 0)
        content.reserve(std::size_t(info.st_size));
    char chunk[65536];
    while (whole) {
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            whole = got == 0;
            break;
        }
        const std::size_t size = std::size_t(got);
        if (matched != std::string::npos && matched + size <= known.size() &&
            known.compare(matched, size, chunk, size) == 0) {
            matched += size;
            continue;
        }
        if (matched != std::string::npos) { // the file differs from here on
            content.assign(known, 0, matched);
            matched = std::string::npos;
        }
        content.append(chunk, size);
        whole = content.size() <= std::size_t(kMaxHiveBytes); // it may grow while being read
    }
    ::close(fd);
    if (whole && matched != std::string::npos && matched != known.size())
        content.assign(known, 0, matched); // shorter than it was
    return whole;
}

// Keeps a damaged file under a name of its own: as a second link when
// possible, so the file stays in place until the new one replaces it, else by
// moving it aside.
bool keepDamaged(const std::string& file)
{
    char stamp[32];
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    ::gmtime_r(&now, &utc);
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &utc);
    for (int attempt = 1; attempt < 1000; ++attempt) {
        std::string kept = file + ".damaged-" + stamp;
        if (attempt > 1)
            kept += "-" + std::to_string(attempt);
        struct stat info {};
        if (::lstat(kept.c_str(), &info) == 0)
            continue;
        if (::link(file.c_str(), kept.c_str()) == 0)
            return true;
        if (errno == EEXIST)
            continue;
        return ::rename(file.c_str(), kept.c_str()) == 0;
    }
    return false;
}

} // namespace

// A root key's file as last read or written. Every operation reads the file
// again, so another writer's value is seen; only while the bytes are those
// parsed last is the parse reused, which keeps a large hive cheap.
struct HiveRegistryApi::LoadedHive {
    enum State { Missing, Read, Unreadable } state = Missing;
    std::string bytes;
    Stamp stamp; // of the file the bytes were read from
    hive::Hive hive;
};

HiveRegistryApi::HiveRegistryApi(std::string folder) : m_folder(std::move(folder)) {}

HiveRegistryApi::~HiveRegistryApi() = default;

std::string HiveRegistryApi::hiveFile(std::int32_t rootKey) const
{
    const char* root = rootName(rootKey);
    return root ? m_folder + "/" + root + ".reg" : std::string();
}

HiveRegistryApi::LoadedHive& HiveRegistryApi::load(std::int32_t rootKey)
{
    std::unique_ptr<LoadedHive>& loaded = m_loaded[rootKey];
    if (!loaded)
        loaded = std::make_unique<LoadedHive>();
    std::string content;
    bool missing = false;
    const bool read = loaded->state == LoadedHive::Read;
    if (!read)
        loaded->bytes.clear(); // nothing known to compare with
    const bool whole = readHiveFile(hiveFile(rootKey), loaded->bytes, loaded->stamp, content, missing);
    if (whole && read && content.empty() && !loaded->bytes.empty())
        return *loaded; // the bytes parsed last
    loaded->state = whole ? LoadedHive::Read : missing ? LoadedHive::Missing : LoadedHive::Unreadable;
    loaded->hive = hive::Hive();
    loaded->bytes = std::move(content);
    if (whole)
        hive::parse(loaded->bytes, rootName(rootKey), loaded->hive);
    return *loaded;
}

long HiveRegistryApi::save(std::int32_t rootKey, LoadedHive& loaded)
{
    std::error_code error;
    std::filesystem::create_directories(m_folder, error);
    const std::string file = hiveFile(rootKey);
    std::string bytes = hive::serialize(loaded.hive, rootName(rootKey), loaded.bytes.size() + 256);
    // A damaged file is kept before it is written over. A link stays a link:
    // the file it leads to is kept and replaced.
    std::error_code linkError;
    const std::string target = std::filesystem::canonical(file, linkError).string();
    if (error || (loaded.hive.damaged && loaded.state == LoadedHive::Read && !keepDamaged(linkError ? file : target)) ||
        !files::replaceFile(file, bytes, 0600).empty()) {
        loaded.state = LoadedHive::Missing; // the hive in memory is not the file's: parse it again
        return kERROR_CANTWRITE;
    }
    loaded.hive.damaged = false;
    loaded.bytes = std::move(bytes);
    // The file just written is a new one (a new inode) holding these bytes:
    // another program that replaces it gives another inode, one that writes
    // into it other times or another size, so its stamp tells at once.
    struct stat info {};
    loaded.stamp = Stamp();
    if (::stat(file.c_str(), &info) == 0) {
        loaded.stamp = stampOf(info);
        loaded.stamp.settled = true;
    }
    return kERROR_SUCCESS;
}

long HiveRegistryApi::RegCreateKeyA(std::int32_t rootKey, const std::string& subKey, Handle& result)
{
    if (!rootName(rootKey))
        return kERROR_INVALID_HANDLE;
    if (!hive::isValidKeyPath(subKey))
        return kERROR_INVALID_PARAMETER;
    LoadedHive& loaded = load(rootKey);
    if (loaded.state == LoadedHive::Unreadable)
        return kERROR_ACCESS_DENIED;
    std::string path;
    if (const hive::Key* existing = loaded.hive.find(subKey)) {
        path = existing->path;
    } else {
        path = loaded.hive.add(subKey).path;
        const long written = save(rootKey, loaded);
        if (written != kERROR_SUCCESS)
            return written;
    }
    result = m_nextHandle++;
    m_openKeys[result] = OpenKey{rootKey, path};
    return kERROR_SUCCESS;
}

long HiveRegistryApi::RegOpenKeyExA(std::int32_t rootKey, const std::string& subKey, std::uint32_t, std::uint32_t,
                                    Handle& result)
{
    if (!rootName(rootKey))
        return kERROR_INVALID_HANDLE;
    if (!hive::isValidKeyPath(subKey))
        return kERROR_FILE_NOT_FOUND;
    LoadedHive& loaded = load(rootKey);
    if (loaded.state == LoadedHive::Unreadable)
        return kERROR_ACCESS_DENIED;
    const hive::Key* key = loaded.hive.find(subKey);
    if (!key)
        return kERROR_FILE_NOT_FOUND;
    result = m_nextHandle++;
    m_openKeys[result] = OpenKey{rootKey, key->path};
    return kERROR_SUCCESS;
}

long HiveRegistryApi::RegQueryValueExA(Handle key, const std::string& valueName, std::uint32_t& type, char* buffer,
                                       std::uint32_t& size)
{
    const auto open = m_openKeys.find(key);
    if (open == m_openKeys.end())
        return kERROR_INVALID_HANDLE;
    LoadedHive& loaded = load(open->second.rootKey);
    if (loaded.state == LoadedHive::Unreadable)
        return kERROR_ACCESS_DENIED;
    hive::Key* found = loaded.hive.find(open->second.path);
    if (!found)
        return kERROR_KEY_DELETED;
    const hive::Value* value = found->find(valueName);
    if (!value)
        return kERROR_FILE_NOT_FOUND;
    type = kREG_SZ;
    const std::size_t needed = value->text.size() + 1;
    if (!buffer) {
        size = static_cast<std::uint32_t>(needed);
        return kERROR_SUCCESS;
    }
    if (size < needed) {
        size = static_cast<std::uint32_t>(needed);
        return kERROR_MORE_DATA;
    }
    value->text.copy(buffer, value->text.size());
    buffer[value->text.size()] = '\0';
    size = static_cast<std::uint32_t>(needed);
    return kERROR_SUCCESS;
}

long HiveRegistryApi::RegSetValueExA(Handle key, const std::string& valueName, std::uint32_t type, const char* data,
                                     std::uint32_t size)
{
    const auto open = m_openKeys.find(key);
    if (open == m_openKeys.end())
        return kERROR_INVALID_HANDLE;
    if (type != kREG_SZ || (!data && size > 0))
        return kERROR_INVALID_PARAMETER; // the hive holds texts only
    LoadedHive& loaded = load(open->second.rootKey);
    if (loaded.state == LoadedHive::Unreadable)
        return kERROR_ACCESS_DENIED;
    hive::Key* found = loaded.hive.find(open->second.path);
    if (!found)
        return kERROR_KEY_DELETED;
    std::string text = size > 0 ? std::string(data, size) : std::string();
    // A value written as it stands changes nothing: the file, perhaps large,
    // is not written again (a close writes back mostly what it read).
    if (const hive::Value* same = found->find(valueName); same && same->text == text)
        return kERROR_SUCCESS;
    found->set(valueName, std::move(text));
    return save(open->second.rootKey, loaded);
}

long HiveRegistryApi::RegCloseKey(Handle key)
{
    return m_openKeys.erase(key) ? kERROR_SUCCESS : kERROR_INVALID_HANDLE;
}

} // namespace anchorly::registry
