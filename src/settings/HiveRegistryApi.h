#pragma once

// The registry operations on a system without a registry: a per-user hive
// of text files, one per root key, in a folder the caller names. It behaves
// as the Windows registry does where the Registry module relies on it (see
// HiveFormat.cpp for the file format):
// - key and value names match regardless of the case of ASCII letters and
//   keep the case they were created with;
// - creating a key creates its missing parents, and succeeds on an existing
//   key without touching its values; opening a missing key fails;
// - a query whose text does not fit the buffer fails with kERROR_MORE_DATA
//   and reports the size needed;
// - every read reads the file again, so another writer's value is seen;
// - every write replaces the whole file atomically; a damaged file is kept
//   beside it ("<file>.damaged-<time>") before it is first written over.
// A folder that cannot be written, and a file that cannot be read, make
// writes fail and change nothing.

#include "settings/RegistryApi.h"

#include <map>
#include <memory>
#include <string>

namespace anchorly::registry {

class HiveRegistryApi : public RegistryApi {
public:
    // folder: where the hive files live; created with its parents on the
    // first write.
    explicit HiveRegistryApi(std::string folder);
    ~HiveRegistryApi() override;

    long RegCreateKeyA(std::int32_t rootKey, const std::string& subKey, Handle& result) override;
    long RegOpenKeyExA(std::int32_t rootKey, const std::string& subKey, std::uint32_t options, std::uint32_t access,
                       Handle& result) override;
    long RegQueryValueExA(Handle key, const std::string& valueName, std::uint32_t& type, char* buffer,
                          std::uint32_t& size) override;
    long RegSetValueExA(Handle key, const std::string& valueName, std::uint32_t type, const char* data,
                        std::uint32_t size) override;
    long RegCloseKey(Handle key) override;

    // The file that holds a root key, e.g. "<folder>/HKEY_CURRENT_USER.reg";
    // empty for an unknown root key.
    std::string hiveFile(std::int32_t rootKey) const;

private:
    struct LoadedHive;
    LoadedHive& load(std::int32_t rootKey);
    long save(std::int32_t rootKey, LoadedHive& loaded);

    struct OpenKey {
        std::int32_t rootKey;
        std::string path;
    };

    std::string m_folder;
    std::map<Handle, OpenKey> m_openKeys;
    Handle m_nextHandle = 1;
    std::map<std::int32_t, std::unique_ptr<LoadedHive>> m_loaded;
};

} // namespace anchorly::registry
