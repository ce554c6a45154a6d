// What the Registry module promises its callers, and what it relies on from
// the registry operations, on whichever store the runner provides.

#include "RegistryContract.h"
#include "settings/Registry.h"

#include <doctest/doctest.h>

#include <vector>

using namespace anchorly::registry;

namespace {

struct Shown {
    std::string prompt;
    int style;
    std::string title;
};

struct Fixture {
    std::unique_ptr<RegistryApi> api = contract::makeApi();
    std::vector<Shown> shown;
    Registry registry{*api, [this](const std::string& p, int s, const std::string& t) { shown.push_back({p, s, t}); }};
    // A key of its own for each test case.
    std::string key = contract::runKeyPath() + "\\" + doctest::getContextOptions()->currentTest->m_name;
};

} // namespace

TEST_CASE_FIXTURE(Fixture, "texts come back with leading blanks lost and trailing blanks kept")
{
    registry.CreateKey(key);
    struct Row {
        const char* name;
        std::string stored;
        std::string read;
    };
    const std::string long254(254, 'a'), long255 = std::string(254, 'b') + "c", long4000(4000, 'd');
    const Row rows[] = {
        {"empty", "", ""},
        {"blanks at both ends", "  two  ", "two  "},
        {"only blanks", "    ", ""},
        {"Error as a value", "Error", "Error"},
        {"254 characters", long254, long254},
        {"255 characters", long255, long255},
        {"4,000 characters", "  " + long4000, long4000},
        {"line breaks and 8-bit bytes", "a\r\nb\xE4\xFF", "a\r\nb\xE4\xFF"},
    };
    for (const Row& row : rows) {
        SUBCASE(row.name)
        {
            registry.SetStringValue(key, "Value", row.stored);
            CHECK(registry.GetStringValue(key, "Value") == row.read);
        }
    }
    CHECK(shown.empty());
}

TEST_CASE_FIXTURE(Fixture, "a missing key reads as Error and takes no writes; creating it keeps its values")
{
    CHECK(registry.GetStringValue(key, "Value") == "Error");
    registry.SetStringValue(key, "Value", "lost");
    RegistryApi::Handle handle = 0;
    CHECK(api->RegOpenKeyExA(kHKEY_CURRENT_USER, key.substr(18), 0, kKEY_READ, handle) != 0);

    registry.CreateKey(key + "\\Child\\Grandchild");         // and its parents
    CHECK(registry.GetStringValue(key, "Value") == "Error"); // a missing value in a key that exists
    registry.SetStringValue(key, "Kept", "still here");
    registry.CreateKey(key);
    CHECK(registry.GetStringValue(key, "Kept") == "still here");
}

TEST_CASE_FIXTURE(Fixture, "key and value names match in any letter case")
{
    registry.CreateKey(key + "\\MixedCase");
    registry.SetStringValue(key + "\\MixedCase", "ValueName", "first");
    CHECK(registry.GetStringValue(key + "\\MIXEDCASE", "valuename") == "first");
    registry.SetStringValue(key + "\\mixedcase", "VALUENAME", "second");
    CHECK(registry.GetStringValue(key + "\\MixedCase", "ValueName") == "second");
}

TEST_CASE_FIXTURE(Fixture, "a path without any backslash names the root key itself")
{
    const std::string run = contract::runKeyPath();
    const std::string name = run.substr(run.rfind('\\') + 1);
    registry.CreateKey("HKEY_CURRENT_USER");
    registry.SetStringValue("HKEY_CURRENT_USER", name, "at the root");
    CHECK(registry.GetStringValue("HKEY_CURRENT_USER", name) == "at the root");
    CHECK(shown.empty());
}

TEST_CASE_FIXTURE(Fixture, "malformed paths show the format message, unknown roots nothing; neither is used")
{
    registry.CreateKey(key);
    const std::string sub = key.substr(17);
    struct Row {
        std::string path;
        bool message;
    };
    for (const Row& row : {Row{key + "\\", true}, Row{"hkey_current_user" + sub, true}, Row{"Software\\Quillbay", true},
                           Row{"HKEY_Current_User" + sub, false}, Row{"HKEY_NOWHERE" + sub, false}}) {
        CAPTURE(row.path);
        shown.clear();
        registry.CreateKey(row.path);
        registry.SetStringValue(row.path, "Value", "written");
        CHECK(registry.GetStringValue(row.path, "Value") == std::nullopt);
        CHECK(shown.size() == (row.message ? 3u : 0u));
        for (const Shown& box : shown) {
            CHECK(box.prompt == "Incorrect Format:\n\n" + row.path);
            CHECK(box.style == 0);
            CHECK(box.title == "Anchorly");
        }
    }
    CHECK(registry.GetStringValue(key, "Value") == "Error");
}

TEST_CASE_FIXTURE(Fixture, "a second writer's value is seen by the next read")
{
    auto otherApi = contract::makeApi();
    Registry other(*otherApi, nullptr);
    registry.CreateKey(key);
    registry.SetStringValue(key, "Shared", "one");
    CHECK(other.GetStringValue(key, "Shared") == "one");
    other.SetStringValue(key, "Shared", "two");
    CHECK(registry.GetStringValue(key, "Shared") == "two");
}
