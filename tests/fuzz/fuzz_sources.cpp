// The sources file reader: the input is the file's content. The names it
// gives have no line break in them and are never blank; writing them and
// reading the file back gives the same names. The first input byte also
// picks a point where the read breaks off: the names read then are the
// complete lines before it, a prefix of the full result when the shorter
// text was read in the same encoding.

#include "FuzzTarget.h"

#include "sources/SourcesFile.h"

#include <QBuffer>
#include <QByteArray>
#include <QCoreApplication>
#include <QStringList>
#include <cstdlib>

namespace {

// A device that fails once the given number of bytes has been read.
class BreakingDevice : public QIODevice {
public:
    BreakingDevice(QByteArray bytes, qint64 failAt) : m_bytes(std::move(bytes)), m_failAt(failAt)
    {
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        if (m_position >= m_failAt)
            return -1;
        const qint64 count = std::min({maxSize, m_failAt - m_position, qint64(m_bytes.size()) - m_position});
        std::memcpy(data, m_bytes.constData() + m_position, size_t(count));
        m_position += count;
        return count;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QByteArray m_bytes;
    qint64 m_failAt;
    qint64 m_position = 0;
};

bool sameNames(const QStringList& a, const QStringList& b)
{
    return a == b;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // Names are 8-bit text in the locale's encoding, as the program runs.
    ::setenv("LC_ALL", "C.UTF-8", 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace anchorly::sources;
    const QByteArray content(reinterpret_cast<const char*>(data), qsizetype(size));

    QBuffer buffer;
    buffer.setData(content);
    buffer.open(QIODevice::ReadOnly);
    QStringList names;
    FileEncoding encoding;
    FUZZ_CHECK(readSourceNames(buffer, names, &encoding));
    for (const QString& name : names) {
        FUZZ_CHECK(!name.contains(QLatin1Char('\r')) && !name.contains(QLatin1Char('\n')));
        FUZZ_CHECK(!name.isEmpty());
        FUZZ_CHECK(name.count(QLatin1Char(' ')) != name.size());
    }

    QBuffer saved;
    saved.setData(sourcesFileBytes(names));
    saved.open(QIODevice::ReadOnly);
    QStringList reread;
    FUZZ_CHECK(readSourceNames(saved, reread));
    FUZZ_CHECK(sameNames(reread, names));

    if (size > 0) {
        BreakingDevice broken(content, qint64(data[0]) * qint64(size) / 256);
        QStringList partial;
        FileEncoding partialEncoding;
        FUZZ_CHECK(!readSourceNames(broken, partial, &partialEncoding));
        FUZZ_CHECK(partial.size() <= names.size());
        FUZZ_CHECK(partialEncoding != encoding || sameNames(partial, names.mid(0, partial.size())));
    }
    return 0;
}
