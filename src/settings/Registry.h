#pragma once

// The tool's only way to its per-user settings: create a key, read a text
// value and write a text value, each key named by one full path such as
// "HKEY_CURRENT_USER\Software\Quillbay\Anchorly". Plain C++ without Qt, so
// that it builds for Windows as well; texts are 8-bit strings in the
// system's encoding.

#include "settings/RegistryApi.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace anchorly::registry {

// Shows a message box: prompt, style number, title.
using MessageBox = std::function<void(const std::string& prompt, int style, const std::string& title)>;

class Registry {
public:
    // api: the five registry operations; msgBox: shows the format message.
    Registry(RegistryApi& api, MessageBox msgBox);

    // The predefined key for a root name ("HKEY_CURRENT_USER", ...), or 0.
    static std::int32_t GetRootKey(const std::string& rootName);

    // Checks and splits a full key path into its root key (0 when there is
    // none) and sub-path; shows the format message for a malformed path.
    std::int32_t SplitKeyPath(const std::string& keyPath, std::string& subPath);

    // Creates the key and any missing keys along its path; an existing key
    // keeps its values. Failures are not reported.
    void CreateKey(const std::string& sKeyPath);

    // The value's text; "Error" when the key or value cannot be read; no
    // text at all (nullopt) when the path names no root key.
    std::optional<std::string> GetStringValue(const std::string& sKeyPath, const std::string& sValueName);

    // Stores a text value in an existing key; does nothing when the key is
    // missing or cannot be opened.
    void SetStringValue(const std::string& sKeyPath, const std::string& sValueName, const std::string& sValue);

private:
    RegistryApi& m_api;
    MessageBox m_msgBox;
    RegistryApi::Handle hCurrentKey = 0;
    std::int32_t hRootKey = 0;
};

} // namespace anchorly::registry
