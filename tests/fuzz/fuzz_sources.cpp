// The sources file reader: the input is the file's content, read in the
// locale scripts/fuzz.sh sets. Reading never fails on a sound device, gives
// no name that holds a line break or only blanks, and saving the names it
// gives and reading the file back gives the same names.

#undef NDEBUG // a failed assert is a crash that libFuzzer keeps
#include <cassert>

#include "sources/SourcesFile.h"

#include <QBuffer>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto read = [](const QByteArray& bytes) {
        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        QStringList names;
        assert(anchorly::sources::readSourceNames(buffer, names));
        return names;
    };
    const QStringList names = read(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    for (const QString& name : names)
        assert(!name.contains(u'\r') && !name.contains(u'\n') && name.count(u' ') != name.size());
    assert(read(anchorly::sources::sourcesFileBytes(names)) == names);
    return 0;
}
