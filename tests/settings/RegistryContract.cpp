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
#include "fakes/OddFiles.h"
#include "platform/FileReplace.h"
#include "settings/HiveRegistryApi.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sys/resource.h>
#include <unistd.h>

namespace fs = std::filesystem;
namespace test = anchorly::test;
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

namespace {

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The folder's entries: name, and the bytes of a regular file or where a link leads.
std::vector<std::string> entries(const fs::path& folder)
{
    std::vector<std::string> found;
    for (const auto& entry : fs::directory_iterator(folder))
        found.push_back(entry.path().filename().string().substr(0, 30) + "=" +
                        (entry.is_symlink()        ? "->" + fs::read_symlink(entry).string()
                         : entry.is_regular_file() ? readFile(entry.path())
                                                   : "(special)"));
    std::sort(found.begin(), found.end());
    return found;
}

// Writes that fail after some bytes, as on a broken disk.
std::size_t g_writeBudget;
ssize_t writeUpToBudget(int fd, const void* data, std::size_t size)
{
    if (g_writeBudget == 0)
        return errno = ENOSPC, -1;
    g_writeBudget -= (size = std::min(size, g_writeBudget));
    return ::write(fd, data, size);
}

} // namespace

TEST_CASE_FIXTURE(Fixture,
                  "a hive file as found: read as far as it goes, kept when damaged, left alone when unreadable")
{
    // The body runs once for each row, each time in an emptied folder.
    const fs::path file = (fs::remove_all(g_hive), fs::create_directory(g_hive), g_hive / "HKEY_CURRENT_USER.reg");
    const std::string anchorly = "HKEY_CURRENT_USER\\Software\\Quillbay\\Anchorly";
    const std::string sound = "REGEDIT4\n\n[" + anchorly + "]\n\"Browser\"=\"firefox\"\n";
    const std::string text = "C:\\a \"b\"\r\n\x1F\x7F\xFF"; // every kind of escape
    std::string deep = sound + "[HKEY_CURRENT_USER";
    for (int level = 0; level < 500000; ++level)
        deep += "\\a";
    enum Outcome { Sound, Damaged, LeftAlone };
    // What stands in the file's place (a kind of test::placeFile's, or a sound
    // file on a disk that fails), what "Browser" reads before and after two writes, and
    // what becomes of the file.
    std::vector<std::tuple<std::string, std::string, const char*, Outcome>> rows = {
        {"CR LF line ends, a byte-order mark, comments and another letter case, as an editor may leave them",
         "\xEF\xBB\xBFREGEDIT4\r\n; made by hand\r\n\r\n[hkey_current_user\\software\\quillbay\\anchorly]\r\n;\r\n"
         "\"browser\"=\"fire\\x66\\x6f\\x78\"\r\n\"q\\\"\"=\"\"\r\n",
         "firefox", Sound},
        {"a link to the hive elsewhere", "|link", "firefox", Sound},
        {"garbage", "not a hive\n[nor this\n\"x\"=y\n", "Error", Damaged},
        {"an unknown escape", sound + "\"Editor\"=\"\\q\"\n", "firefox", Damaged},
        {"a wrong first line", "REGEDIT5" + sound.substr(8), "firefox", Damaged},
        {"more after a value", sound + "\"Editor\"=\"ed\" and more\n", "firefox", Damaged},
        {"a key half a million levels deep", deep + "]\n", "firefox", Damaged},
        {"too many open files", "|no fds", "Error", LeftAlone},
        {"a write that fails after 100 bytes", "|write", "firefox", LeftAlone},
        {"a sync that fails", "|sync", "firefox", LeftAlone},
        {"a close that fails", "|close", "firefox", LeftAlone}};
    for (const char* kind : test::kOddFiles)
        rows.emplace_back(kind, kind, kind == std::string("|full") ? "firefox" : "Error", LeftAlone);
    for (const auto& [name, content, browser, outcome] : rows) {
        SUBCASE(name.c_str())
        {
            REQUIRE(test::placeFile(g_hive, file, content, sound));
            const std::vector<std::string> before = entries(g_hive);
            const std::string stampBefore = test::stamp(file);
            anchorly::files::SystemCalls& calls = anchorly::files::systemCalls();
            g_writeBudget = 100;
            if (content == "|write")
                calls.write = writeUpToBudget;
            if (content == "|sync")
                calls.fsync = [](int) { return errno = EIO, -1; };
            if (content == "|close")
                calls.close = [](int fd) { return ::close(fd), errno = EIO, -1; };
            rlimit files{};
            REQUIRE(::getrlimit(RLIMIT_NOFILE, &files) == 0);
            const int next = ::dup(0);
            ::close(next);
            rlimit noFiles{rlim_t(next), files.rlim_max};
            REQUIRE(::setrlimit(RLIMIT_NOFILE, content == "|no fds" ? &noFiles : &files) == 0);
            const auto firstBrowser = registry.GetStringValue(anchorly, "Browser");
            registry.CreateKey(anchorly);
            registry.SetStringValue(anchorly, "Editor", "vi");
            registry.SetStringValue(anchorly, "Editor", text); // a second write keeps no second copy
            const auto readBrowser = registry.GetStringValue(anchorly, "Browser");
            const auto readEditor = registry.GetStringValue(anchorly, "Editor");
            REQUIRE(::setrlimit(RLIMIT_NOFILE, &files) == 0);
            calls = anchorly::files::SystemCalls();
            CHECK((firstBrowser == browser && readBrowser == browser));
            CHECK(readEditor == (outcome == LeftAlone ? "Error" : text));
            const std::vector<std::string> after = entries(g_hive);
            if (outcome == LeftAlone) // exactly as it was, and nothing beside it
                CHECK((after == before && test::stamp(file) == stampBefore));
            else if (outcome == Damaged)
                CHECK(after == std::vector<std::string>{"HKEY_CURRENT_USER.reg.damaged-=" + content,
                                                        "HKEY_CURRENT_USER.reg=" + readFile(file)});
            else if (content == "|link") // the link stays, the file it leads to is replaced
                CHECK(after ==
                      std::vector<std::string>{"HKEY_CURRENT_USER.reg.real=" + readFile(file.string() + ".real"),
                                               "HKEY_CURRENT_USER.reg=->HKEY_CURRENT_USER.reg.real"});
            else // written as the program writes: LF line ends, every key a section, names as found
                CHECK(after ==
                      std::vector<std::string>{
                          "HKEY_CURRENT_USER.reg=REGEDIT4\n\n[HKEY_CURRENT_USER]\n\n[HKEY_CURRENT_USER\\software]\n\n"
                          "[HKEY_CURRENT_USER\\software\\quillbay]\n\n"
                          "[HKEY_CURRENT_USER\\software\\quillbay\\anchorly]\n\"browser\"=\"firefox\"\n\"q\\\"\"=\"\"\n"
                          "\"Editor\"=\"C:\\\\a \\\"b\\\"\\r\\n\\x1F\\x7F\xFF\"\n"});
            CHECK(test::endCase());
        }
    }
}

#endif
