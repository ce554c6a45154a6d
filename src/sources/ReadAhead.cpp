#include "sources/Sources.h"
#include "sources/SourcesFile.h"

#include <QFile>

#include <future>
#include <sys/stat.h>
#include <system_error>

namespace anchorly::sources {

namespace {

// Below this a list reads in well under a millisecond: not worth a thread.
constexpr off_t kWorthAThread = 64 * 1024;

// A start reads one list ahead; one pending read is all it needs.
struct PendingRead {
    QString path;
    std::future<ListFile> result;
};

PendingRead& pending()
{
    static PendingRead read;
    return read;
}

} // namespace

void readAhead(const QString& path)
{
    PendingRead& read = pending();
    read.result = {}; // an earlier read is waited for and dropped
    read.path = path;
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0 || !S_ISREG(info.st_mode) ||
        info.st_size < kWorthAThread)
        return;
    try {
        read.result = std::async(std::launch::async, [path] { return readListFile(path); });
    } catch (const std::system_error&) {
        // No thread to be had: the list is read when it is loaded.
    }
}

std::optional<ListFile> takeReadAhead(const QString& path)
{
    PendingRead& read = pending();
    if (!read.result.valid())
        return std::nullopt;
    if (read.path != path) {
        read.result = {};
        return std::nullopt;
    }
    return read.result.get();
}

} // namespace anchorly::sources
