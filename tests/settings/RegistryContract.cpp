// What the Registry module promises its callers, and what it relies on from
// the registry operations: on the hive here, and on the Windows registry in
// the build for Windows, run under Wine in a prefix of its own. At the end,
// the hive's own file, as the program writes it and as users leave it.

#define DOCTEST_CONFIG_IMPLEMENT_WITH_MAIN
#include "settings/Registry.h"

#include <doctest/doctest.h>

#include <memory>
#include <vector>

using namespace anchorly::registry;

#ifdef _WIN32
#include "settings/WinRegistryApi.h"
const auto makeApi = [] { return std::unique_ptr<RegistryApi>(new WinRegistryApi); };
#else
#include "settings/HiveRegistryApi.h"

#include <filesystem>
#include <fstream>
#include <sys/stat.h>

namespace fs = std::filesystem;
// In the folder the test runs in, new for every run.
const fs::path g_hive = (fs::remove_all("registry-contract"), fs::absolute("registry-contract"));
const auto makeApi = [] { return std::unique_ptr<RegistryApi>(new HiveRegistryApi(g_hive.string())); };
#endif

struct Fixture {
    std::unique_ptr<RegistryApi> api = makeApi();
    std::vector<std::string> shown; // prompt, style and title of each message box
    Registry registry{*api, [this](const std::string& prompt, int style, const std::string& title) {
                          shown.push_back(prompt + "|" + std::to_string(style) + "|" + title);
                      }};
    // A key of its own for each test case.
    std::string key = "HKEY_CURRENT_USER\\Software\\AnchorlyContract\\" +
                      std::string(doctest::getContextOptions()->currentTest->m_name);
};

TEST_CASE_FIXTURE(Fixture, "texts come back with leading blanks lost and trailing blanks kept")
{
    registry.CreateKey(key);
    const std::string fits(254, 'a'), oneMore = fits + "b", long4000(4000, 'c');
    const std::string stored[] = {"", "  two  ", "    ", fits, oneMore, "  " + long4000, "a\r\nb\xE4\xFF"};
    const std::string read[] = {"", "two  ", "", fits, oneMore, long4000, "a\r\nb\xE4\xFF"};
    for (std::size_t i = 0; i < std::size(stored); ++i) {
        registry.SetStringValue(key, "Value", stored[i]);
        CHECK(registry.GetStringValue(key, "Value") == read[i]);
    }
}

TEST_CASE_FIXTURE(Fixture, "a missing key or value reads as Error, and writes need the key")
{
    // Windows answers "file not found" (2) for a missing key and for a missing value.
    RegistryApi::Handle handle = 0;
    CHECK(api->RegOpenKeyExA(kHKEY_CURRENT_USER, key.substr(18), 0, kKEY_READ, handle) == kERROR_FILE_NOT_FOUND);
    registry.SetStringValue(key, "Value", "lost");
    registry.CreateKey(key + "\\Child"); // and its parent
    REQUIRE(api->RegOpenKeyExA(kHKEY_CURRENT_USER, key.substr(18), 0, kKEY_READ, handle) == kERROR_SUCCESS);
    char buffer[8];
    std::uint32_t type = kREG_SZ, size = sizeof buffer;
    CHECK(api->RegQueryValueExA(handle, "Value", type, buffer, size) == kERROR_FILE_NOT_FOUND);
    api->RegCloseKey(handle);
    CHECK(registry.GetStringValue(key, "Value") == "Error");
    CHECK(registry.GetStringValue(key + "\\Elsewhere", "Value") == "Error");
}

TEST_CASE_FIXTURE(Fixture, "malformed paths show the format message, unknown roots nothing; neither is used")
{
    registry.CreateKey(key);
    const std::string sub = key.substr(17);
    const std::string paths[] = {key + "\\", "hkey_current_user" + sub, "HKEYCURRENT_USER" + sub,
                                 "HKEY_Current_User" + sub};
    for (const std::string& path : paths) {
        const bool message = &path != &paths[3]; // a root name in another case is merely unknown
        shown.clear();
        registry.CreateKey(path);
        registry.SetStringValue(path, "Value", "written");
        CHECK(registry.GetStringValue(path, "Value") == std::nullopt);
        CHECK(shown == std::vector<std::string>(message ? 3 : 0, "Incorrect Format:\n\n" + path + "|0|Anchorly"));
    }
    CHECK(registry.GetStringValue(key, "Value") == "Error");

    // Without any backslash, a path names the root key itself.
    registry.SetStringValue("HKEY_CURRENT_USER", "AnchorlyContract", "at the root");
    CHECK(registry.GetStringValue("HKEY_CURRENT_USER", "AnchorlyContract") == "at the root");
    CHECK(shown.empty());
}

#ifndef _WIN32

TEST_CASE_FIXTURE(Fixture, "a hive file as found is read as far as it goes; a damaged one is kept before a write")
{
    // The body runs once for each row, each time in an emptied folder.
    const fs::path file = (fs::remove_all(g_hive), fs::create_directory(g_hive), g_hive / "HKEY_CURRENT_USER.reg");
    const std::string anchorly = "HKEY_CURRENT_USER\\Software\\Quillbay\\Anchorly";
    const auto read = [](const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    const std::string sound = "REGEDIT4\n\n[" + anchorly + "]\n\"Browser\"=\"firefox\"\n";
    const std::string text = "C:\\a \"b\"\r\n\x1F\x7F\xFF"; // every kind of escape
    const std::string edited = "\xEF\xBB\xBFREGEDIT4\r\n\r\n[hkey_current_user\\software\\quillbay\\anchorly]\r\n"
                               "\"browser\"=\"fire\\x66\\x6f\\x78\"\r\n\"q\\\"\"=\"\"\r\n";
    // What stands in the file's place (nothing: a pipe; ">": a link to
    // itself), what "Browser" reads after a write, and whether the file is damaged.
    const std::tuple<const char*, std::string, const char*, bool> rows[] = {
        {"CR LF line ends, a byte-order mark, another letter case and escapes, as an editor may leave them", edited,
         "firefox", false},
        {"a link that cannot be followed", ">", "Error", true},
        {"an unknown escape", sound + "\"Editor\"=\"\\q\"\n", "firefox", true},
        {"garbage", "not a hive\n[nor this\n\"x\"=y\n", "Error", true},
        {"more after a value", sound + "\"Editor\"=\"ed\" and more\n", "firefox", true},
        {"a pipe in place of the file", "", "Error", true}};
    for (const auto& [name, content, browser, damaged] : rows) {
        SUBCASE(name)
        {
            const bool special = content.empty() || content[0] == '>';
            if (content.empty()) {
                REQUIRE(::mkfifo(file.c_str(), 0600) == 0);
            } else if (special) {
                fs::create_symlink(file, file);
            } else {
                std::ofstream(file, std::ios::binary) << content;
            }
            registry.CreateKey(anchorly);
            registry.SetStringValue(anchorly, "Editor", "vi");
            registry.SetStringValue(anchorly, "Editor", text); // a second write keeps no second copy
            CHECK(registry.GetStringValue(anchorly, "Browser") == browser);
            CHECK(registry.GetStringValue(anchorly, "Editor") == text);
            std::vector<std::string> kept; // the damaged file's name and bytes; a pipe is kept as it is
            for (const auto& entry : fs::directory_iterator(g_hive))
                if (entry.path() != file)
                    kept.push_back(entry.path().filename().string().substr(0, 30) +
                                   (special ? "" : read(entry.path())));
            CHECK(kept ==
                  std::vector<std::string>(damaged, "HKEY_CURRENT_USER.reg.damaged-" + (special ? "" : content)));
            if (!damaged) // written as the program writes: LF line ends, every key a section, names as found
                CHECK(read(file) == "REGEDIT4\n\n[HKEY_CURRENT_USER]\n\n[HKEY_CURRENT_USER\\software]\n\n"
                                    "[HKEY_CURRENT_USER\\software\\quillbay]\n\n"
                                    "[HKEY_CURRENT_USER\\software\\quillbay\\anchorly]\n\"browser\"=\"firefox\"\n"
                                    "\"q\\\"\"=\"\"\n"
                                    "\"Editor\"=\"C:\\\\a \\\"b\\\"\\r\\n\\x1F\\x7F\xFF\"\n");
        }
    }
}

#endif
