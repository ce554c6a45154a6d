// Loading a full sources file (32,767 names) into the sources list, against
// a floor measured in the same run: one stable case-blind sort of the same
// names plus one bulk fill of a combo box. Prints the median times and their
// ratio; the load should stay within a small factor of the floor.

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
#include <vector>

namespace {

constexpr int kNames = 32767;
constexpr int kRuns = 7;

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

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
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

    std::vector<double> floorMs;
    std::vector<double> loadMs;
    for (int run = 0; run < kRuns; ++run) {
        {
            QComboBox combo;
            QElapsedTimer timer;
            timer.start();
            QStringList sorted = names;
            std::stable_sort(sorted.begin(), sorted.end(), anchorly::sources::caseBlindLess);
            combo.addItems(sorted);
            floorMs.push_back(timer.nsecsElapsed() / 1e6);
        }
        {
            QComboBox combo;
            QElapsedTimer timer;
            timer.start();
            anchorly::sources::LoadComboFromFile(&combo, path);
            loadMs.push_back(timer.nsecsElapsed() / 1e6);
            if (combo.count() != kNames) {
                std::fprintf(stderr, "loaded %d names, expected %d\n", combo.count(), kNames);
                return 1;
            }
        }
    }

    const double floor = median(floorMs);
    const double load = median(loadMs);
    std::printf("sources_load: %d names, median of %d runs\n", kNames, kRuns);
    std::printf("  floor (stable sort + one addItems): %8.2f ms\n", floor);
    std::printf("  LoadComboFromFile:                  %8.2f ms\n", load);
    std::printf("  ratio: %.2f\n", load / floor);
    return 0;
}
