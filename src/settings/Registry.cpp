#include "settings/Registry.h"

#include "platform/AppInfo.h"

#include <utility>
#include <vector>

namespace anchorly::registry {

namespace {

// The size of the first read attempt: a settings text is normally short, so
// one query usually suffices.
constexpr std::uint32_t kFirstBufferSize = 255;

// A value may grow between two queries when another program writes it; give
// up after a few rounds rather than chase it for ever.
constexpr int kMaxQueryRounds = 8;

std::string trimBlanks(const std::string& text)
{
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return std::string();
    const auto last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

} // namespace

Registry::Registry(RegistryApi& api, MessageBox msgBox) : m_api(api), m_msgBox(std::move(msgBox)) {}

std::int32_t Registry::GetRootKey(const std::string& rootName)
{
    static const std::pair<const char*, std::int32_t> kRoots[] = {
        {"HKEY_CLASSES_ROOT", kHKEY_CLASSES_ROOT},
        {"HKEY_CURRENT_USER", kHKEY_CURRENT_USER},
        {"HKEY_LOCAL_MACHINE", kHKEY_LOCAL_MACHINE},
        {"HKEY_USERS", kHKEY_USERS},
        {"HKEY_PERFORMANCE_DATA", kHKEY_PERFORMANCE_DATA},
        {"HKEY_CURRENT_CONFIG", kHKEY_CURRENT_CONFIG},
        {"HKEY_DYN_DATA", kHKEY_DYN_DATA},
    };
    for (const auto& [name, key] : kRoots) {
        if (rootName == name)
            return key;
    }
    return 0;
}

std::int32_t Registry::SplitKeyPath(const std::string& keyPath, std::string& subPath)
{
    subPath.clear();
    const auto separator = keyPath.find('\\');
    if (keyPath.compare(0, 5, "HKEY_") != 0 || (!keyPath.empty() && keyPath.back() == '\\')) {
        if (m_msgBox)
            m_msgBox("Incorrect Format:\n\n" + keyPath, 0, app::kTitle);
        hRootKey = 0;
        return hRootKey;
    }
    if (separator == std::string::npos) {
        hRootKey = GetRootKey(keyPath);
    } else {
        hRootKey = GetRootKey(keyPath.substr(0, separator));
        subPath = keyPath.substr(separator + 1);
    }
    return hRootKey;
}

void Registry::CreateKey(const std::string& sKeyPath)
{
    std::string subPath;
    if (SplitKeyPath(sKeyPath, subPath) == 0)
        return;
    if (m_api.RegCreateKeyA(hRootKey, subPath, hCurrentKey) == kERROR_SUCCESS)
        m_api.RegCloseKey(hCurrentKey);
    hCurrentKey = 0;
}

std::optional<std::string> Registry::GetStringValue(const std::string& sKeyPath, const std::string& sValueName)
{
    std::string subPath;
    if (SplitKeyPath(sKeyPath, subPath) == 0)
        return std::nullopt;
    if (m_api.RegOpenKeyExA(hRootKey, subPath, 0, kKEY_READ, hCurrentKey) != kERROR_SUCCESS)
        return std::string("Error");

    // The buffer starts as blanks: the query leaves those behind the text and
    // its NUL, and the trim below takes them off again. A text that does not
    // fit is read again with the size the query asked for, so a long stored
    // path comes back whole instead of as "Error".
    std::vector<char> buffer(kFirstBufferSize, ' ');
    std::uint32_t bufferSize = kFirstBufferSize;
    std::uint32_t type = kREG_SZ;
    long result = m_api.RegQueryValueExA(hCurrentKey, sValueName, type, buffer.data(), bufferSize);
    for (int round = 1; result == kERROR_MORE_DATA && round < kMaxQueryRounds; ++round) {
        if (bufferSize <= buffer.size())
            break; // a size that does not grow would repeat the same failure
        buffer.assign(bufferSize + 1, ' ');
        bufferSize = static_cast<std::uint32_t>(buffer.size());
        type = kREG_SZ;
        result = m_api.RegQueryValueExA(hCurrentKey, sValueName, type, buffer.data(), bufferSize);
    }
    m_api.RegCloseKey(hCurrentKey);
    hCurrentKey = 0;
    if (result != kERROR_SUCCESS)
        return std::string("Error");

    // Trimming the whole buffer loses a stored text's leading blanks and keeps
    // its trailing ones (they sit before the NUL); the last character left is
    // the NUL itself. A query that left no NUL gives the text unshortened.
    std::string text = trimBlanks(std::string(buffer.data(), buffer.size()));
    if (!text.empty() && text.back() == '\0')
        text.pop_back();
    return text;
}

void Registry::SetStringValue(const std::string& sKeyPath, const std::string& sValueName, const std::string& sValue)
{
    std::string subPath;
    if (SplitKeyPath(sKeyPath, subPath) == 0)
        return;
    if (m_api.RegOpenKeyExA(hRootKey, subPath, 0, kKEY_WRITE, hCurrentKey) != kERROR_SUCCESS)
        return;
    m_api.RegSetValueExA(hCurrentKey, sValueName, kREG_SZ, sValue.data(), static_cast<std::uint32_t>(sValue.size()));
    m_api.RegCloseKey(hCurrentKey);
    hCurrentKey = 0;
}

} // namespace anchorly::registry
