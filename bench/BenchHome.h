#pragma once

// A home of its own for a benchmarked start of Anchorly, and a copy of the
// program beside the largest list it allows.

#include "settings/HiveRegistryApi.h"
#include "settings/Registry.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace bench {

namespace fs = std::filesystem;

// A home of its own with a full settings hive, so that the program restores
// every stored value as at a normal start.
inline void prepareHome(const fs::path& home)
{
    const fs::path config = home / ".config";
    // The runtime folder (the single-instance lock) is in memory on a
    // desktop (/run/user/<uid>); /dev/shm stands in for it here.
    const fs::path runtime = fs::is_directory("/dev/shm") ? fs::path("/dev/shm") / home.filename() : home / "runtime";
    fs::create_directories(runtime);
    fs::permissions(runtime, fs::perms::owner_all);
    ::setenv("HOME", home.c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::setenv("LC_ALL", "C.UTF-8", 1);

    anchorly::registry::HiveRegistryApi api((config / "anchorly" / "registry").string());
    anchorly::registry::Registry registry(api, nullptr);
    const std::string key = "HKEY_CURRENT_USER\\Software\\Quillbay\\Anchorly";
    registry.CreateKey(key);
    const std::pair<const char*, const char*> values[] = {{"Startup", "True"},
                                                          {"Top", "1500"},
                                                          {"Left", "1200"},
                                                          {"BorderColor", "65280"},
                                                          {"ComboIndex", "3"},
                                                          {"ComboSource", "61"},
                                                          {"Source Option Text", "False"},
                                                          {"Source Option Combo", "True"},
                                                          {"Browser", "/usr/bin/firefox"},
                                                          {"Editor", "/usr/bin/gedit"},
                                                          {"HTMLfile", "/home/ann/links.html"}};
    for (const auto& [name, value] : values)
        registry.SetStringValue(key, name, value);
}

// A copy of the program in a folder of its own with the largest list the
// program allows beside it: 32,767 names of one to three words, saved as the
// program saves them (sorted case-blind, CR LF after each).
inline std::string copyWithLargeList(const std::string& program, const fs::path& folder)
{
    fs::create_directories(folder);
    const fs::path copy = folder / fs::path(program).filename();
    fs::copy_file(program, copy, fs::copy_options::overwrite_existing);
    std::mt19937 random(20261207);
    std::vector<std::string> names;
    for (int i = 0; i < 32767; ++i) {
        std::string name;
        for (int w = 0, words = 1 + int(random() % 3); w < words; ++w) {
            if (w > 0)
                name += ' ';
            for (int l = 0, letters = 3 + int(random() % 8); l < letters; ++l)
                name += char((random() % 4 == 0 ? 'A' : 'a') + random() % 26);
        }
        names.push_back(name);
    }
    std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
            return std::tolower(static_cast<unsigned char>(x)) < std::tolower(static_cast<unsigned char>(y));
        });
    });
    std::ofstream file(folder / "sources.txt", std::ios::binary);
    for (const std::string& name : names)
        file << name << "\r\n";
    if (!file.flush())
        std::exit(1);
    return copy.string();
}

} // namespace bench
