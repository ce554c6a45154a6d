#pragma once

#include "settings/RegistryApi.h"

#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace anchorly::test {

// The five registry operations over maps in memory: keys by root and exact
// sub-path (no parents created), values as text. Opening a missing key or
// querying a missing value fails; a text that does not fit the buffer fails
// with ERROR_MORE_DATA and the size it needs.
class MemoryRegistryApi : public registry::RegistryApi {
public:
    std::map<std::pair<std::int32_t, std::string>, std::map<std::string, std::string>> keys;

    long RegCreateKeyA(std::int32_t root, const std::string& path, Handle& key) override
    {
        keys[{root, path}];
        return RegOpenKeyExA(root, path, 0, 0, key);
    }
    long RegOpenKeyExA(std::int32_t root, const std::string& path, std::uint32_t, std::uint32_t, Handle& key) override
    {
        m_opened.push_back({root, path});
        key = m_opened.size(); // a handle is a place in m_opened, from 1
        return keys.count(m_opened.back()) ? registry::kERROR_SUCCESS : registry::kERROR_FILE_NOT_FOUND;
    }
    long RegQueryValueExA(Handle key, const std::string& name, std::uint32_t& type, char* to,
                          std::uint32_t& size) override
    {
        const auto& values = keys[m_opened.at(key - 1)];
        const auto value = values.find(name);
        if (value == values.end())
            return registry::kERROR_FILE_NOT_FOUND;
        const bool fits = size > value->second.size();
        std::memcpy(to, value->second.c_str(), fits ? value->second.size() + 1 : 0);
        size = static_cast<std::uint32_t>(value->second.size() + 1);
        type = registry::kREG_SZ;
        return fits ? registry::kERROR_SUCCESS : registry::kERROR_MORE_DATA;
    }
    long RegSetValueExA(Handle key, const std::string& name, std::uint32_t, const char* data,
                        std::uint32_t size) override
    {
        keys[m_opened.at(key - 1)][name] = std::string(data, ::strnlen(data, size));
        return registry::kERROR_SUCCESS;
    }
    long RegCloseKey(Handle) override { return registry::kERROR_SUCCESS; }

private:
    std::vector<std::pair<std::int32_t, std::string>> m_opened;
};

} // namespace anchorly::test
