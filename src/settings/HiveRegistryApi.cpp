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

// The whole file into content: false when it cannot be opened or read in
// full, with missing telling a file that is not there from one that is.
bool readHiveFile(const std::string& file, std::string& content, bool& missing)
{
    // Non-blocking, so that a pipe in place of the file cannot hang a read.
    const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    missing = fd < 0 && errno == ENOENT;
    if (fd < 0)
        return false;
    struct stat info {};
    bool whole = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size <= kMaxHiveBytes;
    if (whole)
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
        content.append(chunk, std::size_t(got));
        whole = content.size() <= std::size_t(kMaxHiveBytes); // it may grow while being read
    }
    ::close(fd);
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
    const bool whole = readHiveFile(hiveFile(rootKey), content, missing);
    if (whole && loaded->state == LoadedHive::Read && content == loaded->bytes)
        return *loaded;
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
    std::string bytes = hive::serialize(loaded.hive, rootName(rootKey));
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
    found->set(valueName, size > 0 ? std::string(data, size) : std::string());
    return save(open->second.rootKey, loaded);
}

long HiveRegistryApi::RegCloseKey(Handle key)
{
    return m_openKeys.erase(key) ? kERROR_SUCCESS : kERROR_INVALID_HANDLE;
}

} // namespace anchorly::registry
