// The hive file reader, through the registry as the program uses it: the
// input is a hive file's content, sound or damaged. Every read gives a text
// ("Error" among them), and a write over the file keeps every value that was
// readable. Escaping any text and back gives it again.

#undef NDEBUG // a failed assert is a crash that libFuzzer keeps
#include <cassert>

#include "settings/HiveFormat.h"
#include "settings/HiveRegistryApi.h"
#include "settings/Registry.h"
#include "settings/SettingNames.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <unistd.h>

using namespace anchorly;
namespace fs = std::filesystem;

// In memory where possible: every write flushes the file to disk.
static const fs::path g_folder =
    fs::path(fs::is_directory("/dev/shm") ? "/dev/shm" : "/tmp") / ("anchorly-fuzz-hive-" + std::to_string(::getpid()));

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using registry::HiveRegistryApi;
    const std::string content(reinterpret_cast<const char*>(data), size);
    std::string back;
    assert(registry::hive::unescape(registry::hive::escape(content), back) && back == content);

    fs::remove_all(g_folder);
    fs::create_directories(g_folder);
    HiveRegistryApi api(g_folder.string());
    registry::Registry registry(api, nullptr);
    std::ofstream(api.hiveFile(registry::kHKEY_CURRENT_USER), std::ios::binary) << content;
    std::map<std::string, std::optional<std::string>> expected;
    for (const char* name : settings::kValueNames)
        expected[name] = registry.GetStringValue(settings::kKeyPath, name);
    expected[settings::name::Browser] = "\"quoted\" \\ back\r\nline\x01\x7F\xFF";
    registry.CreateKey(settings::kKeyPath);
    registry.SetStringValue(settings::kKeyPath, settings::name::Browser, *expected[settings::name::Browser]);
    for (const auto& [name, text] : expected)
        assert(text.has_value() && registry.GetStringValue(settings::kKeyPath, name) == text);
    fs::remove_all(g_folder);
    return 0;
}
