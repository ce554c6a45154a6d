// Start-up time and peak memory of Anchorly against a bare Qt window with
// the same controls, measured in the same run on the offscreen platform:
// from just before fork to the first paint of the window (reported by the
// child, see FirstPaint.cpp), and the child's peak resident memory (wait4).
// Anchorly starts with a full settings hive (all eleven values) and the
// built-in list of 63 sources (no sources.txt beside it); a copy of it in a
// folder of its own starts with a sources.txt of 32,767 names beside it, in
// the order the program saves them, against the start with 63.
//
//   bench_startup <anchorly program> <bare program> [counted runs of each]

#include "BenchHome.h"
#include "BenchTable.h"

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr int kWarmUp = 3;

struct Run {
    double milliseconds = 0;
    double peakMiB = 0;
};

long long monotonicNs()
{
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

Run runOnce(const std::string& program)
{
    // Each run ends at its first paint without closing, leaving its
    // single-instance lock behind; a normal start finds none.
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR")) {
        std::error_code ignored;
        fs::remove(fs::path(runtime) / "anchorly.lock", ignored);
    }
    int out[2];
    if (::pipe(out) != 0)
        std::exit(1);
    const long long start = monotonicNs();
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        ::close(out[0]);
        ::close(out[1]);
        ::execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(out[1]);
    std::string text;
    char buffer[64];
    for (ssize_t got; (got = ::read(out[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<std::size_t>(got));
    ::close(out[0]);
    int status = 0;
    rusage usage{};
    ::wait4(child, &status, 0, &usage);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || text.empty()) {
        std::fprintf(stderr, "%s did not report its first paint\n", program.c_str());
        std::exit(1);
    }
    return Run{(std::stoll(text) - start) / 1e6, usage.ru_maxrss / 1024.0};
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_startup <anchorly program> <bare program> [counted runs of each]\n");
        return 2;
    }
    const std::string anchorly = argv[1];
    const std::string bare = argv[2];
    const int runs = argc > 3 ? std::atoi(argv[3]) : 100;
    if (fs::exists(fs::path(anchorly).parent_path() / "sources.txt")) {
        std::fprintf(stderr, "a sources.txt beside %s would replace the built-in list\n", anchorly.c_str());
        return 1;
    }

    std::string base = (fs::temp_directory_path() / "anchorly-bench-XXXXXX").string();
    if (!::mkdtemp(base.data()))
        return 1;
    bench::prepareHome(base);
    const std::string large = bench::copyWithLargeList(anchorly, fs::path(base) / "large");

    // The first starts after a build find nothing in the caches; they are
    // run but not counted. Each pair starts the two programs in turn, the
    // first one alternating, so that neither always runs on the heels of the
    // other.
    // The start with the large list runs between the other two, so that it
    // follows the start with 63 names as often as it precedes it.
    bench::Pairs milliseconds(kWarmUp), peakMiB(kWarmUp), largeList(kWarmUp);
    for (int i = 0; i < kWarmUp + runs; ++i) {
        Run a, b, l;
        if (i % 2) {
            a = runOnce(anchorly);
            l = runOnce(large);
            b = runOnce(bare);
        } else {
            b = runOnce(bare);
            l = runOnce(large);
            a = runOnce(anchorly);
        }
        milliseconds.add(a.milliseconds, b.milliseconds);
        peakMiB.add(a.peakMiB, b.peakMiB);
        largeList.add(l.milliseconds, a.milliseconds);
    }
    std::error_code ignored;
    fs::remove_all(base, ignored);
    fs::remove_all(std::getenv("XDG_RUNTIME_DIR"), ignored);

    milliseconds.row("Start-up to first paint", "bare Qt window, same controls", "ms", 1.2);
    peakMiB.row("Peak memory at first paint", "bare Qt window, same controls", "MiB", 1.15);
    largeList.row("Start-up to first paint, 32,767 sources", "the same start with the 63 built-in", "ms", 1.2);
    return 0;
}
