#pragma once

// The five registry operations the Registry module calls, as the ANSI
// entry points of the Windows registry take them. Windows implements them
// with the real calls; elsewhere a per-user hive of text files stands in.

#include <cstdint>
#include <string>

namespace anchorly::registry {

// Predefined root keys, with the numbers Windows gives them.
inline constexpr std::int32_t kHKEY_CLASSES_ROOT = static_cast<std::int32_t>(0x80000000u);
inline constexpr std::int32_t kHKEY_CURRENT_USER = static_cast<std::int32_t>(0x80000001u);
inline constexpr std::int32_t kHKEY_LOCAL_MACHINE = static_cast<std::int32_t>(0x80000002u);
inline constexpr std::int32_t kHKEY_USERS = static_cast<std::int32_t>(0x80000003u);
inline constexpr std::int32_t kHKEY_PERFORMANCE_DATA = static_cast<std::int32_t>(0x80000004u);
inline constexpr std::int32_t kHKEY_CURRENT_CONFIG = static_cast<std::int32_t>(0x80000005u);
inline constexpr std::int32_t kHKEY_DYN_DATA = static_cast<std::int32_t>(0x80000006u);

inline constexpr std::uint32_t kKEY_READ = 0x20019;
inline constexpr std::uint32_t kKEY_WRITE = 0x20006;
inline constexpr std::uint32_t kREG_SZ = 1;

// Result codes, as Windows numbers them.
inline constexpr long kERROR_SUCCESS = 0;
inline constexpr long kERROR_FILE_NOT_FOUND = 2;
inline constexpr long kERROR_ACCESS_DENIED = 5;
inline constexpr long kERROR_INVALID_HANDLE = 6;
inline constexpr long kERROR_INVALID_PARAMETER = 87;
inline constexpr long kERROR_MORE_DATA = 234;
inline constexpr long kERROR_CANTWRITE = 1013;

class RegistryApi {
public:
    using Handle = std::uintptr_t;
    virtual ~RegistryApi() = default;

    // Each returns 0 on success and a non-zero result code otherwise.
    virtual long RegCreateKeyA(std::int32_t rootKey, const std::string& subKey, Handle& result) = 0;
    virtual long RegOpenKeyExA(std::int32_t rootKey, const std::string& subKey, std::uint32_t options,
                               std::uint32_t access, Handle& result) = 0;
    // buffer holds size bytes; on success the text and a NUL are written and
    // size becomes the bytes written, NUL included. When they do not fit, the
    // call returns kERROR_MORE_DATA and size becomes the bytes needed.
    virtual long RegQueryValueExA(Handle key, const std::string& valueName, std::uint32_t& type, char* buffer,
                                  std::uint32_t& size) = 0;
    virtual long RegSetValueExA(Handle key, const std::string& valueName, std::uint32_t type, const char* data,
                                std::uint32_t size) = 0;
    virtual long RegCloseKey(Handle key) = 0;
};

} // namespace anchorly::registry
