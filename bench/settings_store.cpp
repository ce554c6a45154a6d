// The settings store on a hive in a temporary folder on disk: the seven
// writes of a shut-down and the reads of a start-up, against writing the
// same final bytes with one atomic file replace (temporary file, flush,
// rename, flush of the folder) and reading the file once. Then a start and
// a close, each with a store of its own as in a new run of the program, over
// a 50 MB hive of 540,000 values against the same over the usual hive.

#include "BenchTable.h"
#include "settings/HiveRegistryApi.h"
#include "settings/Registry.h"
#include "settings/Settings.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <unistd.h>

using namespace anchorly;

namespace {

constexpr int kWarmUp = 3;
constexpr int kRuns = 30;

void replaceAtomically(const std::string& folder, const std::string& file, const std::string& bytes)
{
    std::string temp = file + ".tmp-XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0 || ::write(fd, bytes.data(), bytes.size()) != ssize_t(bytes.size()) || ::fsync(fd) != 0)
        std::abort();
    ::close(fd);
    if (::rename(temp.c_str(), file.c_str()) != 0)
        std::abort();
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    ::fsync(dir);
    ::close(dir);
}

std::string readWhole(const std::string& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

} // namespace

int main()
{
    using namespace settings::name;
    QTemporaryDir dir;
    const std::string folder = dir.filePath(QStringLiteral("registry")).toStdString();
    registry::HiveRegistryApi api(folder);
    registry::Registry registry(api, nullptr);
    settings::Settings store(registry);
    store.createKey();
    store.writePath(Browser, QStringLiteral("/usr/bin/firefox"));
    store.writePath(Editor, QStringLiteral("/usr/bin/gedit"));
    store.writePath(HTMLfile, QStringLiteral("/home/ann/links.html"));
    store.writeWhole(BorderColor, 65280);
    const std::string file = api.hiveFile(registry::kHKEY_CURRENT_USER);

    // Each measurement and its baseline in turn, the first one alternating.
    bench::Pairs shutdown(kWarmUp), startup(kWarmUp);
    for (int run = 0; run < kWarmUp + kRuns; ++run) {
        const bool baselineFirst = run % 2;
        QElapsedTimer timer;
        double replace = 0, readOnce = 0;
        const auto replaceFile = [&] {
            const std::string bytes = readWhole(file);
            timer.start();
            replaceAtomically(folder, file, bytes);
            replace = timer.nsecsElapsed() / 1e6;
        };
        const auto readFile = [&] {
            timer.start();
            volatile std::size_t size = readWhole(file).size();
            readOnce = timer.nsecsElapsed() / 1e6;
            (void)size;
        };

        if (baselineFirst)
            replaceFile();
        timer.start();
        // As Form_QueryUnload writes them.
        store.writePosition(Top, float(1500 + run * 15));
        store.writePosition(Left, 1200.0f);
        store.writeFlag(Startup, true);
        store.writeWhole(ComboIndex, 3);
        store.writeWhole(ComboSource, run);
        store.writeFlag(SourceOptionText, false);
        store.writeFlag(SourceOptionCombo, true);
        const double writes = timer.nsecsElapsed() / 1e6;
        if (!baselineFirst)
            replaceFile();
        shutdown.add(writes, replace);

        if (baselineFirst)
            readFile();
        // As Form_Load reads them.
        timer.start();
        store.createKey();
        volatile bool ok = store.readFlag(Startup).has_value() && store.readPosition(Top).has_value() &&
                           store.readPosition(Left).has_value() && store.readInt32(BorderColor).has_value() &&
                           store.readInt16(ComboIndex).has_value() && store.readInt16(ComboSource).has_value() &&
                           store.readFlag(SourceOptionText).has_value() &&
                           store.readFlag(SourceOptionCombo).has_value();
        const double reads = timer.nsecsElapsed() / 1e6;
        if (!ok)
            std::abort();
        if (!baselineFirst)
            readFile();
        startup.add(reads, readOnce);
    }
    shutdown.row("Settings: 7 writes of a shut-down", "one atomic replace of the same bytes", "ms");
    startup.row("Settings: key + 8 reads of a start-up", "one read of the hive file", "ms");

    // The large hive: 9,000 keys of 60 values each beside the program's key.
    QTemporaryDir largeDir;
    const std::string largeFolder = largeDir.path().toStdString();
    {
        std::ofstream large(largeFolder + "/HKEY_CURRENT_USER.reg", std::ios::binary);
        large << readWhole(file);
        const std::string text(70, 'v');
        for (int key = 0; key < 9000; ++key) {
            large << "\n[HKEY_CURRENT_USER\\Software\\Vendor" << key % 90 << "\\Program" << key << "]\n";
            for (int value = 0; value < 60; ++value)
                large << "\"Value" << value << "\"=\"" << text << "\"\n";
        }
    }
    const auto startAndClose = [](const std::string& hiveFolder, int run) {
        QElapsedTimer timer;
        timer.start();
        registry::HiveRegistryApi hive(hiveFolder);
        registry::Registry reg(hive, nullptr);
        settings::Settings run_(reg);
        run_.createKey();
        volatile bool ok = run_.readFlag(Startup).has_value() && run_.readPosition(Top).has_value() &&
                           run_.readPosition(Left).has_value() && run_.readInt32(BorderColor).has_value() &&
                           run_.readInt16(ComboIndex).has_value() && run_.readInt16(ComboSource).has_value() &&
                           run_.readFlag(SourceOptionText).has_value() && run_.readFlag(SourceOptionCombo).has_value();
        run_.writePosition(Top, float(1500 + run * 15));
        run_.writePosition(Left, 1200.0f);
        run_.writeFlag(Startup, true);
        run_.writeWhole(ComboIndex, 3);
        run_.writeWhole(ComboSource, run);
        run_.writeFlag(SourceOptionText, false);
        run_.writeFlag(SourceOptionCombo, true);
        if (!ok)
            std::abort();
        return timer.nsecsElapsed() / 1e6;
    };
    bench::Pairs largeHive(1);
    for (int run = 0; run < 11; ++run) {
        const double usual = startAndClose(folder, run);
        largeHive.add(startAndClose(largeFolder, run), usual);
    }
    largeHive.row("Settings: start + close, 50 MB hive of 540,000 values", "the same with the usual hive", "ms");
    return 0;
}
