#pragma once

#include "settings/RegistryApi.h"

#include <cstring>
#include <map>
#include <string>
#include <utility>

namespace anchorly::test {

// The five registry operations over maps in memory: keys by root and exact
// sub-path (no parents created), values as text. Opening a missing key or
// querying a missing value fails; a text that does not fit the buffer fails
// with ERROR_MORE_DATA and the size it needs.
class MemoryRegistryApi : public registry::RegistryApi {
public:
    using Key = std::pair<std::int32_t, std::string>;
    std::map<Key, std::map<std::string, std::string>> keys;

    long RegCreateKeyA(std::int32_t root, const std::string& subKey, Handle& result) override
    {
        keys[{root, subKey}];
        return open({root, subKey}, result);
    }
    long RegOpenKeyExA(std::int32_t root, const std::string& subKey, std::uint32_t, std::uint32_t,
                       Handle& result) override
    {
        return keys.count({root, subKey}) ? open({root, subKey}, result) : kNotFound;
    }
    long RegQueryValueExA(Handle key, const std::string& name, std::uint32_t& type, char* buffer,
                          std::uint32_t& size) override
    {
        if (!m_open.count(key) || !keys[m_open[key]].count(name))
            return kNotFound;
        const std::string& text = keys[m_open[key]][name];
        const auto needed = static_cast<std::uint32_t>(text.size() + 1);
        const bool fits = size >= needed;
        if (fits)
            std::memcpy(buffer, text.c_str(), needed);
        size = needed;
        type = registry::kREG_SZ;
        return fits ? 0 : kMoreData;
    }
    long RegSetValueExA(Handle key, const std::string& name, std::uint32_t, const char* data,
                        std::uint32_t size) override
    {
        if (!m_open.count(key))
            return kNotFound;
        const std::string text(data, size);
        keys[m_open[key]][name] = text.substr(0, text.find('\0'));
        return 0;
    }
    long RegCloseKey(Handle key) override { return m_open.erase(key) ? 0 : kNotFound; }

private:
    static constexpr long kNotFound = 2;   // ERROR_FILE_NOT_FOUND
    static constexpr long kMoreData = 234; // ERROR_MORE_DATA

    long open(const Key& key, Handle& result)
    {
        result = m_next++;
        m_open[result] = key;
        return 0;
    }

    std::map<Handle, Key> m_open;
    Handle m_next = 1;
};

} // namespace anchorly::test
