// The hive: one text file per root key, "<folder>/<root name>.reg", e.g.
// "HKEY_CURRENT_USER.reg":
//
//     REGEDIT4
//
//     [HKEY_CURRENT_USER]
//
//     [HKEY_CURRENT_USER\Software]
//
//     [HKEY_CURRENT_USER\Software\Quillbay\Anchorly]
//     "Browser"="/usr/bin/firefox"
//     @="the key's unnamed value"
//
// - The first line is "REGEDIT4". Every key has a section line, empty keys
//   included; a section names the root and the key path joined by "\". A key
//   whose section is missing but which has a child with a section exists as
//   well. Key names hold no "\" and no control bytes.
// - A value is one line "name"="text"; the unnamed value is written @="text".
//   Value names and texts are escaped alike: "\\" for a backslash, "\"" for a
//   double quote, "\r" for carriage return, "\n" for line feed, "\xHH" (two
//   hex digits) for every other byte below 0x20 and for 0x7F. Every other
//   byte, 0x80 to 0xFF included, stands as itself, so any 8-bit text comes
//   back exactly as it was stored.
// - Blank lines and lines starting with ";" are ignored; a line may end in
//   CR LF. Lines are written with LF alone.
//
// A file that does not follow this (a wrong first line, a line that is no
// section or value, a value outside any section, a file that cannot be read
// or is no regular file, a file larger than kMaxHiveBytes) is damaged: what
// can be parsed is used, and before the first write over it the original is
// kept as "<file>.damaged-<UTC time>".

#include "settings/HiveRegistryApi.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>
#include <vector>

namespace anchorly::registry {

namespace {

constexpr char kHeader[] = "REGEDIT4";

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

std::string foldCase(std::string text)
{
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

bool isControl(unsigned char c)
{
    return c < 0x20 || c == 0x7F;
}

// A key path below the root: "" for the root itself, else names joined by
// "\", none of them empty or holding a control byte. The limits are those of
// the Windows registry (names of at most 255 characters, 512 levels); they
// also bound the work a damaged file can cause.
bool isValidKeyPath(const std::string& path)
{
    constexpr std::size_t kMaxNameLength = 255;
    constexpr std::size_t kMaxDepth = 512;
    if (path.empty())
        return true;
    std::size_t depth = 1;
    std::size_t nameLength = 0;
    for (unsigned char c : path) {
        if (c == '\\') {
            if (nameLength == 0 || ++depth > kMaxDepth)
                return false;
            nameLength = 0;
        } else if (isControl(c) || ++nameLength > kMaxNameLength) {
            return false;
        }
    }
    return nameLength > 0;
}

struct Value {
    std::string name;
    std::string text;
};

struct Key {
    std::string path; // as created; "" is the root key
    std::vector<Value> values;
    std::unordered_map<std::string, std::size_t> index; // folded name -> position in values

    Value* find(const std::string& name)
    {
        const auto it = index.find(foldCase(name));
        return it == index.end() ? nullptr : &values[it->second];
    }

    // Stores a value, replacing one of the same name and keeping that name's case.
    void set(std::string name, std::string text)
    {
        if (Value* existing = find(name)) {
            existing->text = std::move(text);
            return;
        }
        index.emplace(foldCase(name), values.size());
        values.push_back(Value{std::move(name), std::move(text)});
    }
};

// One root key's file as read: its keys in file order, the root key first.
struct Hive {
    std::vector<Key> keys{1};
    std::unordered_map<std::string, std::size_t> index{{std::string(), 0}};
    bool damaged = false;

    Key* find(const std::string& path)
    {
        const auto it = index.find(foldCase(path));
        return it == index.end() ? nullptr : &keys[it->second];
    }

    // Adds the key and its missing parents; gives the key.
    Key& add(const std::string& path)
    {
        if (Key* existing = find(path))
            return *existing;
        const auto separator = path.rfind('\\');
        if (separator != std::string::npos)
            add(path.substr(0, separator));
        keys.push_back(Key{path, {}, {}});
        index.emplace(foldCase(path), keys.size() - 1);
        return keys.back();
    }
};

// Finds the end of a quoted, escaped text starting at text[start] == '"':
// the position of its closing quote, or npos.
std::size_t closingQuote(const std::string& line, std::size_t start)
{
    for (std::size_t i = start + 1; i < line.size(); ++i) {
        if (line[i] == '\\')
            ++i;
        else if (line[i] == '"')
            return i;
    }
    return std::string::npos;
}

bool parseValueLine(const std::string& line, Value& value)
{
    std::size_t pos = 0;
    value.name.clear();
    if (line.compare(0, 2, "@=") == 0) {
        pos = 2;
    } else if (!line.empty() && line[0] == '"') {
        const auto end = closingQuote(line, 0);
        if (end == std::string::npos || !HiveRegistryApi::unescape(line.substr(1, end - 1), value.name))
            return false;
        if (end + 1 >= line.size() || line[end + 1] != '=')
            return false;
        pos = end + 2;
    } else {
        return false;
    }
    if (pos >= line.size() || line[pos] != '"')
        return false;
    const auto end = closingQuote(line, pos);
    if (end != line.size() - 1)
        return false;
    return HiveRegistryApi::unescape(line.substr(pos + 1, end - pos - 1), value.text);
}

// The key path of a section line, or false when the line names another root
// or an invalid path.
bool parseSection(const std::string& line, const std::string& root, std::string& path)
{
    if (line.size() < 2 || line.front() != '[' || line.back() != ']')
        return false;
    const std::string inner = line.substr(1, line.size() - 2);
    if (foldCase(inner.substr(0, root.size())) != foldCase(root))
        return false;
    if (inner.size() == root.size()) {
        path.clear();
        return true;
    }
    if (inner[root.size()] != '\\')
        return false;
    path = inner.substr(root.size() + 1);
    return !path.empty() && isValidKeyPath(path);
}

void parseHive(const std::string& content, const std::string& root, Hive& hive)
{
    // Index of the key the value lines belong to; none before the first
    // section and after a section that cannot be used.
    constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    std::size_t current = kNone;
    bool first = true;
    std::size_t start = 0;
    while (start < content.size()) {
        auto end = content.find('\n', start);
        if (end == std::string::npos)
            end = content.size();
        std::string line = content.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (first) {
            first = false;
            if (line.compare(0, 3, "\xEF\xBB\xBF") == 0) // a byte-order mark left by an editor
                line.erase(0, 3);
            if (line == kHeader)
                continue;
            hive.damaged = true;
        }
        if (line.empty() || line[0] == ';')
            continue;
        std::string path;
        Value value;
        if (line[0] == '[') {
            if (parseSection(line, root, path)) {
                current = static_cast<std::size_t>(&hive.add(path) - hive.keys.data());
            } else {
                current = kNone;
                hive.damaged = true;
            }
        } else if (current != kNone && parseValueLine(line, value)) {
            hive.keys[current].set(std::move(value.name), std::move(value.text));
        } else {
            hive.damaged = true;
        }
    }
}

Hive loadHive(const std::string& file, const std::string& root)
{
    Hive hive;
    // Non-blocking, so that a pipe in place of the file cannot hang a read.
    const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        hive.damaged = errno != ENOENT;
        return hive;
    }
    struct stat info {};
    std::string content;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size > kMaxHiveBytes) {
        hive.damaged = true;
    } else {
        char chunk[65536];
        for (;;) {
            const ssize_t got = ::read(fd, chunk, sizeof chunk);
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0) {
                hive.damaged = true;
                break;
            }
            if (got == 0)
                break;
            content.append(chunk, static_cast<std::size_t>(got));
            if (content.size() > static_cast<std::size_t>(kMaxHiveBytes)) {
                hive.damaged = true; // grew while being read
                content.clear();
                break;
            }
        }
    }
    ::close(fd);
    if (!content.empty())
        parseHive(content, root, hive);
    return hive;
}

std::string serialize(const Hive& hive, const std::string& root)
{
    std::string out = kHeader;
    out += '\n';
    for (const Key& key : hive.keys) {
        out += "\n[" + root + (key.path.empty() ? "" : "\\" + key.path) + "]\n";
        for (const Value& value : key.values) {
            out += value.name.empty() ? "@=" : "\"" + HiveRegistryApi::escape(value.name) + "\"=";
            out += "\"" + HiveRegistryApi::escape(value.text) + "\"\n";
        }
    }
    return out;
}

bool writeAll(int fd, const std::string& data)
{
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t wrote = ::write(fd, data.data() + done, data.size() - done);
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0)
            return false;
        done += static_cast<std::size_t>(wrote);
    }
    return true;
}

void syncFolder(const std::string& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Keeps a damaged file (or whatever stands in its place) under a name of its
// own: as a second link when possible, so the file stays in place until the
// new one replaces it, else by moving it aside.
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

bool sameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
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
    return -1;
}

// Replaces the hive file with the hive's contents: a temporary file in the
// same folder, flushed to disk and renamed over the old one, so that a crash
// leaves either the old or the new file. A damaged old file is kept first.
long saveHive(const std::string& folder, std::string file, const std::string& root, const Hive& hive)
{
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error)
        return kERROR_ACCESS_DENIED;
    // A hive file that is a link to a file elsewhere stays a link: the file it
    // points to is replaced.
    struct stat info {};
    if (::lstat(file.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
        if (char* target = ::realpath(file.c_str(), nullptr)) {
            file = target;
            std::free(target);
        }
    }
    if (hive.damaged && ::lstat(file.c_str(), &info) == 0 && !keepDamaged(file))
        return kERROR_ACCESS_DENIED;

    const std::string targetFolder = std::filesystem::path(file).parent_path().string();
    removeAbandonedTemps(file);
    std::string temp;
    const int fd = createLockedTemp(file, temp);
    if (fd < 0)
        return kERROR_ACCESS_DENIED;
    const bool written = writeAll(fd, serialize(hive, root)) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || ::rename(temp.c_str(), file.c_str()) != 0) {
        ::unlink(temp.c_str());
        return kERROR_CANTWRITE;
    }
    syncFolder(targetFolder);
    return kERROR_SUCCESS;
}

} // namespace

HiveRegistryApi::HiveRegistryApi(std::string folder) : m_folder(std::move(folder)) {}

std::string HiveRegistryApi::hiveFile(std::int32_t rootKey) const
{
    const char* root = rootName(rootKey);
    return root ? m_folder + "/" + root + ".reg" : std::string();
}

std::string HiveRegistryApi::escape(const std::string& text)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (unsigned char c : text) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '"':
            out += "\\\"";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\n':
            out += "\\n";
            break;
        default:
            if (isControl(c)) {
                out += "\\x";
                out += kHex[c >> 4];
                out += kHex[c & 0xF];
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    return out;
}

bool HiveRegistryApi::unescape(const std::string& escaped, std::string& text)
{
    auto hexDigit = [](char c) -> int {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        return -1;
    };
    text.clear();
    text.reserve(escaped.size());
    for (std::size_t i = 0; i < escaped.size(); ++i) {
        const char c = escaped[i];
        if (c == '"')
            return false;
        if (c != '\\') {
            text += c;
            continue;
        }
        if (++i >= escaped.size())
            return false;
        switch (escaped[i]) {
        case '\\':
        case '"':
            text += escaped[i];
            break;
        case 'r':
            text += '\r';
            break;
        case 'n':
            text += '\n';
            break;
        case 'x': {
            if (i + 2 >= escaped.size())
                return false;
            const int high = hexDigit(escaped[i + 1]);
            const int low = hexDigit(escaped[i + 2]);
            if (high < 0 || low < 0)
                return false;
            text += static_cast<char>(high * 16 + low);
            i += 2;
            break;
        }
        default:
            return false;
        }
    }
    return true;
}

long HiveRegistryApi::RegCreateKeyA(std::int32_t rootKey, const std::string& subKey, Handle& result)
{
    const char* root = rootName(rootKey);
    if (!root)
        return kERROR_INVALID_HANDLE;
    if (!isValidKeyPath(subKey))
        return kERROR_INVALID_PARAMETER;
    Hive hive = loadHive(hiveFile(rootKey), root);
    std::string path;
    if (const Key* existing = hive.find(subKey)) {
        path = existing->path;
    } else {
        path = hive.add(subKey).path;
        const long written = saveHive(m_folder, hiveFile(rootKey), root, hive);
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
    const char* root = rootName(rootKey);
    if (!root)
        return kERROR_INVALID_HANDLE;
    if (!isValidKeyPath(subKey))
        return kERROR_FILE_NOT_FOUND;
    Hive hive = loadHive(hiveFile(rootKey), root);
    const Key* key = hive.find(subKey);
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
    Hive hive = loadHive(hiveFile(open->second.rootKey), rootName(open->second.rootKey));
    Key* found = hive.find(open->second.path);
    if (!found)
        return kERROR_KEY_DELETED;
    const Value* value = found->find(valueName);
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
    const char* root = rootName(open->second.rootKey);
    Hive hive = loadHive(hiveFile(open->second.rootKey), root);
    Key* found = hive.find(open->second.path);
    if (!found)
        return kERROR_KEY_DELETED;
    found->set(valueName, size > 0 ? std::string(data, size) : std::string());
    return saveHive(m_folder, hiveFile(open->second.rootKey), root, hive);
}

long HiveRegistryApi::RegCloseKey(Handle key)
{
    return m_openKeys.erase(key) ? kERROR_SUCCESS : kERROR_INVALID_HANDLE;
}

} // namespace anchorly::registry
