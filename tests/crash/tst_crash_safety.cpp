// Kills a writer with SIGKILL at random moments while it saves the settings
// hive and the sources file, and checks after every kill that the file is
// one complete content the writer meant to leave (never empty, short or a
// mix of two saves), and that killed saves leave no growing heap of
// temporary files behind.

#define DOCTEST_CONFIG_IMPLEMENT_WITH_MAIN
#include "CrashContents.h"
#include "fakes/FakePlatform.h"
#include "settings/HiveRegistryApi.h"
#include "settings/Registry.h"
#include "sources/SourcesFile.h"

#include <doctest/doctest.h>

#include <chrono>
#include <cmath>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <random>
#include <set>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace anchorly;
namespace fs = std::filesystem;

namespace {

constexpr int kKills = 200;
constexpr auto kTimeLimit = std::chrono::seconds(60);
// The hive: a kill between creating a temporary file and renaming it may
// leave that one file; older ones must be cleared by the next save.
constexpr std::size_t kHiveMaxStrays = 1;
// The sources file is written unnamed and only gets a temporary name for the
// instant between linking and renaming it, so few kills can leave one; they
// are not cleared, but must stay far below one per killed save.
constexpr std::size_t kSourcesMaxStrays = kKills / 40;

std::string readFile(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> strayFiles(const fs::path& folder, const std::string& keep)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().filename() != keep)
            names.push_back(entry.path().filename().string());
    return names;
}

struct TempFolder {
    fs::path path = [] {
        std::string name = (fs::temp_directory_path() / "anchorly-crash-XXXXXX").string();
        REQUIRE(::mkdtemp(name.data()));
        return fs::path(name);
    }();
    ~TempFolder()
    {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
};

// Starts the writer, waits until it is saving, lets it run for the delay and kills it.
void runAndKill(const std::string& mode, const fs::path& target, std::chrono::microseconds delay)
{
    int ready[2];
    REQUIRE(::pipe(ready) == 0);
    const pid_t child = ::fork();
    REQUIRE(child >= 0);
    if (child == 0) {
        ::dup2(ready[1], STDOUT_FILENO);
        ::close(ready[0]);
        ::close(ready[1]);
        ::execl(CRASH_WRITER, CRASH_WRITER, mode.c_str(), target.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(ready[1]);
    pollfd waitReady{ready[0], POLLIN, 0};
    char byte = 0;
    const bool started = ::poll(&waitReady, 1, 20000) == 1 && ::read(ready[0], &byte, 1) == 1;
    ::close(ready[0]);
    if (started)
        std::this_thread::sleep_for(delay);
    ::kill(child, SIGKILL);
    int status = 0;
    REQUIRE(::waitpid(child, &status, 0) == child);
    REQUIRE_MESSAGE(started, "the writer did not start");
    REQUIRE_MESSAGE((WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL), "the writer ended by itself");
}

// Runs the kills and checks the file after each one against the allowed contents.
void killRepeatedly(const std::string& mode, const fs::path& folder, const std::string& fileName,
                    const std::set<std::string>& allowed, std::size_t maxStrays)
{
    std::mt19937 random(20261206);
    std::uniform_real_distribution<double> exponent(0.0, 1.0);
    const auto start = std::chrono::steady_clock::now();
    const fs::path file = folder / fileName;
    std::set<std::string> seen;
    std::size_t mostStrays = 0;
    int kills = 0;
    for (; kills < kKills && std::chrono::steady_clock::now() - start < kTimeLimit; ++kills) {
        // From 10 microseconds to 30 milliseconds, evenly on a log scale.
        const auto delay = std::chrono::microseconds(std::lround(10.0 * std::pow(3000.0, exponent(random))));
        runAndKill(mode, mode == "hive" ? folder : file, delay);
        const std::string content = readFile(file);
        INFO("kill ", kills + 1, " after ", delay.count(), " us");
        REQUIRE_MESSAGE(allowed.count(content) == 1, "the file is not a complete content: ", content.size(), " bytes");
        seen.insert(content);
        const auto strays = strayFiles(folder, fileName);
        mostStrays = std::max(mostStrays, strays.size());
        REQUIRE_MESSAGE(strays.size() <= maxStrays, "stray files: ", strays.size(), ", first ", strays.front());
    }
    MESSAGE(mode, ": ", kills, " kills in ",
            std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - start).count(), " s, ",
            seen.size(), " different complete contents seen, at most ", mostStrays, " stray files");
    CHECK(kills >= 50);
    CHECK(seen.size() >= 2); // the kills did land while saves were under way
}

} // namespace

TEST_CASE("a killed save of the settings hive leaves the old or the new file, whole")
{
    // Every state a run of single-value writes can leave: the first k values
    // of one set written over the other.
    TempFolder scratch;
    std::set<std::string> allowed;
    {
        registry::HiveRegistryApi api(scratch.path.string());
        registry::Registry registry(api, nullptr);
        registry.CreateKey(crash::kKeyPath);
        for (bool b : {false, true, false}) {
            const auto values = crash::settingsValues(b);
            for (std::size_t i = 0; i < values.size(); ++i) {
                registry.SetStringValue(crash::kKeyPath, crash::kValueNames[i], values[i]);
                if (!allowed.empty() || b)
                    allowed.insert(readFile(api.hiveFile(registry::kHKEY_CURRENT_USER)));
            }
        }
    }
    REQUIRE(allowed.size() == 22); // the last k values of A or of B still to come, k = 0 to 10
    TempFolder hive;
    fs::copy_file(scratch.path / "HKEY_CURRENT_USER.reg", hive.path / "HKEY_CURRENT_USER.reg");
    killRepeatedly("hive", hive.path, "HKEY_CURRENT_USER.reg", allowed, kHiveMaxStrays);
}

TEST_CASE("a killed save of the sources file leaves the old or the new list, whole")
{
    TempFolder folder;
    const fs::path file = folder.path / "sources.txt";
    test::FakePlatform platform;
    REQUIRE(sources::saveSourceNames(crash::sourceNames(false), QString::fromStdString(file.string()), platform));
    const std::set<std::string> allowed = {sources::sourcesFileBytes(crash::sourceNames(false)).toStdString(),
                                           sources::sourcesFileBytes(crash::sourceNames(true)).toStdString()};
    REQUIRE(allowed.count(readFile(file)) == 1);
    killRepeatedly("sources", folder.path, "sources.txt", allowed, kSourcesMaxStrays);
}
