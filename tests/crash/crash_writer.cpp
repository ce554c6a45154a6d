// Saves two complete contents in turn, for ever, through the program's own
// saving code, until it is killed:
//   crash_writer hive <folder>     the settings hive in <folder>, value by value
//   crash_writer sources <file>    the sources file
// Writes one byte to standard output once it is about to start saving.

#include "CrashContents.h"
#include "fakes/FakePlatform.h"
#include "settings/HiveRegistryApi.h"
#include "settings/Registry.h"
#include "sources/SourcesFile.h"

#include <cstdio>
#include <cstring>
#include <unistd.h>

using namespace anchorly;

namespace {

void ready()
{
    const char byte = 'r';
    (void)!::write(STDOUT_FILENO, &byte, 1);
}

[[noreturn]] void saveHiveForever(const std::string& folder)
{
    registry::HiveRegistryApi api(folder);
    registry::Registry registry(api, nullptr);
    // Carry on where the killed writer stopped: the last value tells which
    // set was being written over the other.
    const auto last = registry.GetStringValue(crash::kKeyPath, crash::kValueNames.back());
    bool writeB = last == crash::settingsValues(false).back();
    ready();
    for (;;) {
        const auto values = crash::settingsValues(writeB);
        for (std::size_t i = 0; i < values.size(); ++i)
            registry.SetStringValue(crash::kKeyPath, crash::kValueNames[i], values[i]);
        writeB = !writeB;
    }
}

[[noreturn]] void saveSourcesForever(const QString& file)
{
    test::FakePlatform platform;
    const QStringList lists[] = {crash::sourceNames(false), crash::sourceNames(true)};
    ready();
    for (int round = 0;; ++round) {
        if (!sources::saveSourceNames(lists[round % 2], file, platform)) {
            std::fprintf(stderr, "save failed\n");
            std::_Exit(2);
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "hive") == 0)
        saveHiveForever(argv[2]);
    if (argc == 3 && std::strcmp(argv[1], "sources") == 0)
        saveSourcesForever(QString::fromLocal8Bit(argv[2]));
    std::fprintf(stderr, "usage: crash_writer hive <folder> | sources <file>\n");
    return 2;
}
