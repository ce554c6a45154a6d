// The hive's file on disk: its format, damaged files and failed writes.

#define DOCTEST_CONFIG_IMPLEMENT_WITH_MAIN
#include "settings/HiveRegistryApi.h"
#include "settings/Registry.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace anchorly::registry;
namespace fs = std::filesystem;

namespace {

const std::string kKey = "HKEY_CURRENT_USER\\Software\\Quillbay\\Anchorly";

std::string readFile(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeFile(const fs::path& file, const std::string& content)
{
    std::ofstream(file, std::ios::binary) << content;
}

std::vector<std::string> entries(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

struct Fixture {
    fs::path base = [] {
        std::string path = (fs::temp_directory_path() / "anchorly-hive-XXXXXX").string();
        REQUIRE(::mkdtemp(path.data()));
        return fs::path(path);
    }();
    fs::path folder = base / "registry";
    fs::path file = folder / "HKEY_CURRENT_USER.reg";
    HiveRegistryApi api{folder.string()};
    Registry registry{api, nullptr};

    ~Fixture()
    {
        std::error_code ignored;
        fs::remove_all(base, ignored);
    }
};

} // namespace

TEST_CASE_FIXTURE(Fixture, "the file holds a section per key and escaped values, and is replaced as a whole")
{
    registry.CreateKey(kKey);
    struct stat before {};
    REQUIRE(::stat(file.c_str(), &before) == 0);
    registry.SetStringValue(kKey, "Browser", "C:\\a \"b\"\r\n");
    struct stat after {};
    REQUIRE(::stat(file.c_str(), &after) == 0);
    CHECK(before.st_ino != after.st_ino); // a new file renamed into place, not the old one rewritten
    CHECK(entries(folder) == std::vector<std::string>{"HKEY_CURRENT_USER.reg"});
    CHECK(readFile(file) == "REGEDIT4\n\n"
                            "[HKEY_CURRENT_USER]\n\n"
                            "[HKEY_CURRENT_USER\\Software]\n\n"
                            "[HKEY_CURRENT_USER\\Software\\Quillbay]\n\n"
                            "[HKEY_CURRENT_USER\\Software\\Quillbay\\Anchorly]\n"
                            "\"Browser\"=\"C:\\\\a \\\"b\\\"\\r\\n\"\n");

    // Names keep the case they were created with.
    registry.CreateKey(kKey + "\\MixedCase");
    registry.SetStringValue(kKey + "\\MIXEDCASE", "Value", "x");
    CHECK(readFile(file).find("Anchorly\\MixedCase]\n\"Value\"=\"x\"\n") != std::string::npos);
}

TEST_CASE_FIXTURE(Fixture, "every byte but NUL comes back in names and texts")
{
    std::string every;
    for (int c = 1; c < 256; ++c)
        every += static_cast<char>(c);
    registry.CreateKey(kKey);
    registry.SetStringValue(kKey, every, every);
    HiveRegistryApi otherApi(folder.string());
    CHECK(Registry(otherApi, nullptr).GetStringValue(kKey, every) == every);
    const std::string content = readFile(file);
    CHECK(std::count_if(content.begin(), content.end(), [](unsigned char c) {
              return (c < 0x20 && c != '\n') || c == 0x7F;
          }) == 0); // one line per value, nothing raw that an editor would mangle
}

TEST_CASE_FIXTURE(Fixture, "a damaged file is read as far as it goes and kept before it is written over")
{
    const std::string good = "REGEDIT4\n\n[" + kKey + "]\n\"Browser\"=\"firefox\"\n";
    std::string binary;
    for (int i = 0; i < 4096; ++i)
        binary += static_cast<char>((i * 7919 + 13) % 256);
    std::string deep = good + "[" + kKey;
    for (int level = 0; level < 500000; ++level)
        deep += "\\a";
    deep += "]\n";
    // What stands where the file should be: the bytes of a file, a folder or a pipe. (An unreadable file
    // cannot be made for root, who runs these tests.)
    enum Kind { Bytes, Folder, Pipe };
    enum Kept { NoCopy, FileCopy, Moved };
    struct Row {
        const char* name;
        Kind kind;
        std::string content; // also what a kept copy must hold
        const char* browser; // what "Browser" reads before the first write
        Kept kept;
    };
    const Row rows[] = {
        {"sound", Bytes, good, "firefox", NoCopy},
        {"garbage", Bytes, "not a hive\n[nor this\n\"x\"=y\n", "Error", FileCopy},
        {"binary bytes", Bytes, binary, "Error", FileCopy},
        {"a megabyte line", Bytes, good + std::string(1 << 20, 'x') + "\n", "firefox", FileCopy},
        {"wrong header", Bytes, "REGEDIT5" + good.substr(8), "firefox", FileCopy},
        {"a key half a million levels deep", Bytes, deep, "firefox", FileCopy},
        {"a folder in place of the file", Folder, "", "Error", Moved},
        {"a pipe in place of the file", Pipe, "", "Error", Moved},
    };
    for (const Row& row : rows) {
        SUBCASE(row.name)
        {
            fs::create_directories(folder);
            if (row.kind == Folder)
                fs::create_directory(file);
            else if (row.kind == Pipe)
                ::mkfifo(file.c_str(), 0600);
            else
                writeFile(file, row.content);

            CHECK(registry.GetStringValue(kKey, "Browser") == row.browser);
            registry.CreateKey(kKey);
            registry.SetStringValue(kKey, "Editor", "vi");
            registry.SetStringValue(kKey, "Editor", "vim"); // a second write keeps no second copy
            CHECK(registry.GetStringValue(kKey, "Browser") == row.browser);
            CHECK(registry.GetStringValue(kKey, "Editor") == "vim");

            const auto names = entries(folder);
            REQUIRE(names.size() == (row.kept == NoCopy ? 1u : 2u));
            CHECK(names[0] == "HKEY_CURRENT_USER.reg");
            if (row.kept != NoCopy) {
                CHECK(names[1].rfind("HKEY_CURRENT_USER.reg.damaged-", 0) == 0);
                CHECK(fs::is_regular_file(folder / names[1]) == (row.kept == FileCopy));
                if (row.kept == FileCopy)
                    CHECK(readFile(folder / names[1]) == row.content);
            }
        }
    }
}

TEST_CASE("reads create nothing and an unwritable folder takes no writes")
{
    Fixture fixture;
    CHECK(fixture.registry.GetStringValue(kKey, "Browser") == "Error");
    CHECK_FALSE(fs::exists(fixture.folder));

    // A file where a parent folder should be stops even root from writing.
    writeFile(fixture.base / "blocker", "mine");
    HiveRegistryApi blocked((fixture.base / "blocker" / "registry").string());
    Registry registry(blocked, nullptr);
    registry.CreateKey(kKey);
    registry.SetStringValue(kKey, "Browser", "lost");
    CHECK(registry.GetStringValue(kKey, "Browser") == "Error");
    CHECK(readFile(fixture.base / "blocker") == "mine");
}
