// Loading a full sources file (32,767 names) into the sources list, against
// a floor measured in the same run: one stable case-blind sort of the same
// names plus one bulk fill of a combo box. Saving the full list, against
// writing the same bytes with one atomic file replace (temporary file,
// flush, rename). The add and refresh commands on the largest list (add
// with its save, refresh with its load and selection) against the same
// command on the 63 built-in names, with the 100 ms they may take at most.
// Prints the times as table rows (BenchTable.h).

#include "BenchTable.h"
#include "platform/QtPlatform.h"
#include "settings/HiveRegistryApi.h"
#include "settings/Registry.h"
#include "settings/Settings.h"
#include "sources/Sources.h"
#include "sources/SourcesFile.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int kNames = 32767;
constexpr int kWarmUp = 2;
constexpr int kRuns = 9;

QStringList generatedNames()
{
    QRandomGenerator random(20261206);
    QStringList names;
    names.reserve(kNames);
    for (int i = 0; i < kNames; ++i) {
        QString name;
        const int words = 1 + int(random.bounded(3));
        for (int w = 0; w < words; ++w) {
            if (w > 0)
                name += QLatin1Char(' ');
            const int letters = 3 + int(random.bounded(8));
            for (int l = 0; l < letters; ++l) {
                const char base = random.bounded(4) == 0 ? 'A' : 'a';
                name += QLatin1Char(char(base + random.bounded(26)));
            }
        }
        names.append(name);
    }
    return names;
}

void replaceAtomically(const QString& path, const QByteArray& bytes)
{
    const QByteArray file = path.toLocal8Bit();
    QByteArray temp = file + ".tmp-XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0 || ::write(fd, bytes.constData(), size_t(bytes.size())) != bytes.size() || ::fsync(fd) != 0 ||
        ::close(fd) != 0 || ::rename(temp.constData(), file.constData()) != 0)
        std::abort();
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    const QStringList names = generatedNames();
    QTemporaryDir dir;
    const QString path = anchorly::sources::sourcesFilePath(dir.path());
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(anchorly::sources::sourcesFileBytes(names)) < 0) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
    }

    // Floor and load in turn, the first one alternating.
    bench::Pairs load(kWarmUp);
    for (int run = 0; run < kWarmUp + kRuns; ++run) {
        double floorMs = 0, loadMs = 0;
        for (int turn = 0; turn < 2; ++turn) {
            QComboBox combo;
            QElapsedTimer timer;
            timer.start();
            if ((turn + run) % 2) {
                QStringList sorted = names;
                std::stable_sort(sorted.begin(), sorted.end(), anchorly::sources::caseBlindLess);
                combo.addItems(sorted);
                floorMs = timer.nsecsElapsed() / 1e6;
            } else {
                anchorly::sources::LoadComboFromFile(&combo, path);
                loadMs = timer.nsecsElapsed() / 1e6;
                if (combo.count() != kNames) {
                    std::fprintf(stderr, "loaded %d names, expected %d\n", combo.count(), kNames);
                    return 1;
                }
            }
        }
        load.add(loadMs, floorMs);
    }
    load.row("Sources: load 32,767 names", "stable sort + one addItems", "ms");

    // Saving: the list as the add command saves it, from a filled combo.
    anchorly::QtPlatform platform(dir.filePath(QStringLiteral("anchorly.lock")));
    QComboBox combo;
    anchorly::sources::LoadComboFromFile(&combo, path);
    const QByteArray bytes = anchorly::sources::sourcesFileBytes(names);
    bench::Pairs save(kWarmUp);
    for (int run = 0; run < kWarmUp + kRuns; ++run) {
        QElapsedTimer timer;
        timer.start();
        if (!anchorly::sources::Combo2List(&combo, path, platform))
            return 1;
        const double saveMs = timer.nsecsElapsed() / 1e6;
        timer.restart();
        replaceAtomically(path, bytes);
        save.add(saveMs, timer.nsecsElapsed() / 1e6);
    }
    save.row("Sources: save 32,767 names", "one atomic replace of the same bytes", "ms");

    // The commands, each on a list as the program saves it. The add puts in a
    // name not yet there; the large list starts short of its limit by the
    // names the runs add, so that it ends at 32,767.
    anchorly::registry::HiveRegistryApi api(dir.filePath(QStringLiteral("registry")).toStdString());
    anchorly::registry::Registry registry(api, nullptr);
    anchorly::settings::Settings settings(registry);
    settings.createKey();
    QTemporaryDir smallDir;
    const QString smallPath = anchorly::sources::sourcesFilePath(smallDir.path());
    QComboBox small;
    anchorly::sources::LoadInternalList(&small);
    QStringList largeNames = names.mid(0, kNames - kWarmUp - kRuns);
    anchorly::sources::stableSortCaseBlind(largeNames);
    QComboBox large;
    anchorly::sources::addSorted(&large, largeNames);
    if (!anchorly::sources::Combo2List(&large, path, platform) ||
        !anchorly::sources::Combo2List(&small, smallPath, platform))
        return 1;
    const auto select = [](int) {};
    const auto timed = [](const std::function<void()>& command) {
        QElapsedTimer timer;
        timer.start();
        command();
        return timer.nsecsElapsed() / 1e6;
    };
    bench::Pairs add(kWarmUp), refresh(kWarmUp);
    for (int run = 0; run < kWarmUp + kRuns; ++run) {
        const QString name = QStringLiteral("Bench source %1").arg(run);
        const auto addTo = [&](QComboBox& combo, const QString& file) {
            return timed([&] { anchorly::sources::addToList(&combo, name, file, settings, platform, select); });
        };
        const auto refreshFrom = [&](QComboBox& combo, const QString& file) {
            return timed([&] { anchorly::sources::refreshList(&combo, file, settings, select); });
        };
        double largeMs = 0, smallMs = 0;
        if (run % 2) {
            largeMs = addTo(large, path);
            smallMs = addTo(small, smallPath);
        } else {
            smallMs = addTo(small, smallPath);
            largeMs = addTo(large, path);
        }
        add.add(largeMs, smallMs);
        if (run % 2) {
            smallMs = refreshFrom(small, smallPath);
            largeMs = refreshFrom(large, path);
        } else {
            largeMs = refreshFrom(large, path);
            smallMs = refreshFrom(small, smallPath);
        }
        refresh.add(largeMs, smallMs);
    }
    if (large.count() != kNames) {
        std::fprintf(stderr, "the large list holds %d names, expected %d\n", large.count(), kNames);
        return 1;
    }
    add.row("Sources: Add to list on 32,767 names, with the save", "the same on the 63 built-in", "ms", 0, 100);
    refresh.row("Sources: Refresh on 32,767 names", "the same on the 63 built-in", "ms", 0, 100);
    return 0;
}
