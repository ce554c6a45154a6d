#include "settings/WinRegistryApi.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace anchorly::registry {

namespace {

// Predefined keys are 32-bit numbers that Windows sign-extends to a handle.
HKEY rootHandle(std::int32_t rootKey)
{
    return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG_PTR>(rootKey)));
}

HKEY keyHandle(RegistryApi::Handle key)
{
    return reinterpret_cast<HKEY>(key);
}

} // namespace

long WinRegistryApi::RegCreateKeyA(std::int32_t rootKey, const std::string& subKey, Handle& result)
{
    HKEY opened = nullptr;
    const LONG status = ::RegCreateKeyA(rootHandle(rootKey), subKey.c_str(), &opened);
    if (status == ERROR_SUCCESS)
        result = reinterpret_cast<Handle>(opened);
    return status;
}

long WinRegistryApi::RegOpenKeyExA(std::int32_t rootKey, const std::string& subKey, std::uint32_t options,
                                   std::uint32_t access, Handle& result)
{
    HKEY opened = nullptr;
    const LONG status = ::RegOpenKeyExA(rootHandle(rootKey), subKey.c_str(), options, access, &opened);
    if (status == ERROR_SUCCESS)
        result = reinterpret_cast<Handle>(opened);
    return status;
}

long WinRegistryApi::RegQueryValueExA(Handle key, const std::string& valueName, std::uint32_t& type, char* buffer,
                                      std::uint32_t& size)
{
    DWORD queriedType = type;
    DWORD queriedSize = size;
    const LONG status = ::RegQueryValueExA(keyHandle(key), valueName.c_str(), nullptr, &queriedType,
                                           reinterpret_cast<LPBYTE>(buffer), &queriedSize);
    type = queriedType;
    size = queriedSize;
    return status;
}

long WinRegistryApi::RegSetValueExA(Handle key, const std::string& valueName, std::uint32_t type, const char* data,
                                    std::uint32_t size)
{
    return ::RegSetValueExA(keyHandle(key), valueName.c_str(), 0, type, reinterpret_cast<const BYTE*>(data), size);
}

long WinRegistryApi::RegCloseKey(Handle key)
{
    return ::RegCloseKey(keyHandle(key));
}

} // namespace anchorly::registry
