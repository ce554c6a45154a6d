// The hive file parser, through the registry as the program uses it: the
// input is the content of a (possibly damaged) hive file. Reading it must
// never fail in any other way than with "Error"; writing a value over it must
// keep every value that was readable, read back exactly, and leave a file
// that is no longer taken for damaged.

#include "FuzzTarget.h"

#include "settings/HiveRegistryApi.h"
#include "settings/Registry.h"
#include "settings/SettingNames.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

using namespace anchorly::registry;
namespace fs = std::filesystem;

namespace {

const std::string kKey = anchorly::settings::kKeyPath;
// The catalogue's names and the unnamed value.
const std::array<const char*, 12> kNames = [] {
    std::array<const char*, 12> names{};
    std::copy(anchorly::settings::kValueNames.begin(), anchorly::settings::kValueNames.end(), names.begin());
    names.back() = "";
    return names;
}();

fs::path g_folder;

void removeFolder()
{
    std::error_code ignored;
    fs::remove_all(g_folder, ignored);
}

std::size_t damagedCopies()
{
    std::size_t count = 0;
    for (const auto& entry : fs::directory_iterator(g_folder))
        count += entry.path().filename().string().find(".damaged-") != std::string::npos;
    return count;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // Memory-backed when possible: every write flushes the file to disk.
    const fs::path base = fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
    g_folder = base / ("anchorly-fuzz-hive-" + std::to_string(::getpid()));
    fs::create_directories(g_folder);
    std::atexit(removeFolder);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string content(reinterpret_cast<const char*>(data), size);

    // The escaping alone: any text comes back as it was.
    std::string back;
    FUZZ_CHECK(HiveRegistryApi::unescape(HiveRegistryApi::escape(content), back) && back == content);
    if (HiveRegistryApi::unescape(content, back)) {
        std::string again;
        FUZZ_CHECK(HiveRegistryApi::unescape(HiveRegistryApi::escape(back), again) && again == back);
    }

    for (const auto& entry : fs::directory_iterator(g_folder))
        fs::remove_all(entry.path());
    HiveRegistryApi api(g_folder.string());
    Registry registry(api, nullptr);
    std::ofstream(api.hiveFile(kHKEY_CURRENT_USER), std::ios::binary) << content;

    std::string before[std::size(kNames)];
    for (std::size_t i = 0; i < std::size(kNames); ++i) {
        const auto value = registry.GetStringValue(kKey, kNames[i]);
        FUZZ_CHECK(value.has_value());
        before[i] = *value;
    }

    // Creating the key writes the file when the key is missing; a key that
    // exists keeps its values.
    registry.CreateKey(kKey);
    const std::string written = "\"quoted\" \\ back\r\nline\x01\x7F\xFF";
    registry.SetStringValue(kKey, "Browser", written);
    FUZZ_CHECK(registry.GetStringValue(kKey, "Browser") == written);
    for (std::size_t i = 0; i < std::size(kNames); ++i) {
        if (std::string(kNames[i]) != "Browser")
            FUZZ_CHECK(registry.GetStringValue(kKey, kNames[i]) == before[i]);
    }

    // What the program wrote it reads as sound: a second write keeps no copy.
    const std::size_t copies = damagedCopies();
    registry.SetStringValue(kKey, "Editor", "vi");
    FUZZ_CHECK(damagedCopies() == copies);
    FUZZ_CHECK(registry.GetStringValue(kKey, "Editor") == std::string("vi"));
    return 0;
}
