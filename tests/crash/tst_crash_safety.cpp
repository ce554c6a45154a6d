// Kills a saving child with SIGKILL, over and over, while it saves the
// settings hive, and checks after every kill that the file holds, whole, the
// last save that finished or the one the kill cut off, and that killed saves
// leave no heap of temporary files behind. The sources file is replaced the
// same one way (platform/FileReplace.h).
//
// The child tells where each save begins and ends through a pipe, so whether
// a kill landed during a save is known whatever the machine's speed; the
// kill delays are drawn from the measured time of one save.

#define DOCTEST_CONFIG_IMPLEMENT_WITH_MAIN
#include "fakes/TestFiles.h"
#include "settings/HiveRegistryApi.h"
#include "settings/Registry.h"
#include "settings/SettingNames.h"

#include <doctest/doctest.h>

#include <csignal>
#include <filesystem>
#include <functional>
#include <poll.h>
#include <random>
#include <sys/wait.h>
#include <thread>

using namespace anchorly;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kKills = 100;
// In the folder the test runs in, new for every run.
const fs::path g_folder = (fs::remove_all("crash-safety"), fs::absolute("crash-safety"));

// save(n) performs the n-th save of a cycle that leaves the file as it found
// it. A kill between creating a temporary file and renaming it may leave that
// one beside it; the next save clears it.
void killWhileSaving(const QString& file, int cycle, const std::function<void(int)>& save)
{
    // Two cycles first: they give every state the file may be left in, and
    // the time one save takes on this machine, now.
    std::vector<QByteArray> states(cycle);
    const auto start = Clock::now();
    for (int n = 0; n < 2 * cycle; ++n) {
        save(n % cycle);
        states[(n + 1) % cycle] = test::readBytes(file);
    }
    const auto saveTime = (Clock::now() - start) / (2 * cycle);

    std::mt19937 random(20261206);
    // Saves that reached the file, counted round the cycle, and kills that
    // landed after a save began and before it ended.
    int done = 0, cutOff = 0;
    for (int kill = 1; kill <= kKills; ++kill) {
        int marks[2];
        REQUIRE(::pipe(marks) == 0);
        const pid_t child = ::fork();
        REQUIRE(child >= 0);
        for (int n = done; child == 0; ++n) {
            (void)!::write(marks[1], "b", 1);
            save(n % cycle);
            (void)!::write(marks[1], "e", 1);
        }
        ::close(marks[1]);
        // Once the first save has begun, kill the child within its first three.
        char mark = 0;
        pollfd ready{marks[0], POLLIN, 0};
        REQUIRE_MESSAGE((::poll(&ready, 1, 30000) == 1 && ::read(marks[0], &mark, 1) == 1), "the child is silent");
        std::this_thread::sleep_for(saveTime * int(random() % 3000) / 1000);
        ::kill(child, SIGKILL);
        int status = 0, begun = 1, ended = 0;
        REQUIRE_MESSAGE((::waitpid(child, &status, 0) == child && WIFSIGNALED(status)), "the child ended by itself");
        while (::read(marks[0], &mark, 1) == 1)
            ++(mark == 'b' ? begun : ended);
        ::close(marks[0]);

        INFO("kill ", kill, " after ", ended, " whole saves and ", begun - ended, " begun");
        const QByteArray content = test::readBytes(file);
        const int finished = (done + ended) % cycle, cut = (finished + 1) % cycle;
        REQUIRE((content == states[finished] || (begun > ended && content == states[cut])));
        done = content == states[finished] ? finished : cut;
        cutOff += begun > ended;
        REQUIRE(std::distance(fs::directory_iterator(g_folder), {}) <= 2);
    }
    CHECK(cutOff >= kKills / 2);
}

} // namespace

TEST_CASE("a killed save of the settings hive leaves the file before or after that save, whole")
{
    // One value a save: set A's values are written over set B's, then B's over A's.
    registry::HiveRegistryApi api(g_folder.string());
    registry::Registry(api, nullptr).CreateKey(settings::kKeyPath);
    const int values = int(settings::kValueNames.size());
    const auto save = [&](int n) {
        const std::string name = settings::kValueNames[n % values], set = n < values ? "A \"" : "B \\";
        registry::Registry(api, nullptr).SetStringValue(settings::kKeyPath, name, set + name + std::string(n, 'x'));
    };
    killWhileSaving(QString::fromStdString(api.hiveFile(registry::kHKEY_CURRENT_USER)), 2 * values, save);
}
