#pragma once

// The registry operations of Windows itself (advapi32, ANSI entry points).

#include "settings/RegistryApi.h"

namespace anchorly::registry {

class WinRegistryApi : public RegistryApi {
public:
    long RegCreateKeyA(std::int32_t rootKey, const std::string& subKey, Handle& result) override;
    long RegOpenKeyExA(std::int32_t rootKey, const std::string& subKey, std::uint32_t options, std::uint32_t access,
                       Handle& result) override;
    long RegQueryValueExA(Handle key, const std::string& valueName, std::uint32_t& type, char* buffer,
                          std::uint32_t& size) override;
    long RegSetValueExA(Handle key, const std::string& valueName, std::uint32_t type, const char* data,
                        std::uint32_t size) override;
    long RegCloseKey(Handle key) override;
};

} // namespace anchorly::registry
