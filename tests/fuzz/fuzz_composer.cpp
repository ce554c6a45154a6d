// sReplace and the anchor composition: the input is split at NUL bytes into
// texts. sReplace must agree with a plain search on standard strings; the
// composed anchor must hold the trimmed inputs between the fixed pieces; the
// HTML source of five entries must be their join with one placeholder
// occurrence removed per slot.

#include "FuzzTarget.h"

#include "composer/Composer.h"

#include <QString>
#include <QStringList>
#include <string>
#include <vector>

using namespace anchorly::composer;

namespace {

std::u16string plain(const QString& text)
{
    return text.toStdU16String();
}

// The same replacement on standard strings.
std::u16string replaceFirst(std::u16string line, const std::u16string& searchFor, const std::u16string& with)
{
    if (line.empty())
        return line;
    const auto at = line.find(searchFor);
    if (at != std::u16string::npos)
        line.replace(at, searchFor.size(), with);
    return line;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Latin-1, so that every byte is one character and the fuzzer can aim at
    // the placeholders and the pieces byte by byte.
    const QStringList parts =
        QString::fromLatin1(reinterpret_cast<const char*>(data), qsizetype(size)).split(QChar(u'\0'));
    const auto part = [&](int i) { return i < parts.size() ? parts.at(i) : QString(); };

    const QString replaced = sReplace(part(0), part(1), part(2));
    FUZZ_CHECK(plain(replaced) == replaceFirst(plain(part(0)), plain(part(1)), plain(part(2))));

    const QString target = targetPiece(part(3));
    const QString anchor = composeAnchor(QString::fromLatin1(kHrefPiece), part(0), target, part(1),
                                         QString::fromLatin1(kSourcePiece), part(2), QString::fromLatin1(kEndTagPiece));
    FUZZ_CHECK(anchor == QString::fromLatin1(kHrefPiece) + trimBlanks(part(0)) + target + trimBlanks(part(1)) +
                             QString::fromLatin1(kSourcePiece) + trimBlanks(part(2)) +
                             QString::fromLatin1(kEndTagPiece));
    FUZZ_CHECK(!trimBlanks(part(0)).startsWith(QLatin1Char(' ')) && !trimBlanks(part(0)).endsWith(QLatin1Char(' ')));

    // Five entries: each part either a placeholder (an empty slot) or a text.
    Slots entries;
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        const QString text = part(slot + 3);
        entries[slot - 1] = text.isEmpty() ? placeholder(slot) : text;
    }
    std::u16string expected = plain(entries[0]);
    for (int i = 1; i < kSlotCount; ++i)
        expected += u"\r\n" + plain(entries[i]);
    for (int slot = 1; slot <= kSlotCount; ++slot)
        expected = replaceFirst(expected, plain(placeholder(slot)), u"");
    FUZZ_CHECK(plain(assembleHtmlSource(entries)) == expected);

    const int free = firstFreeSlot(entries);
    FUZZ_CHECK(free >= 0 && free <= kSlotCount);
    if (free > 0)
        FUZZ_CHECK(isFree(entries[free - 1], free));
    FUZZ_CHECK(filledCount(entries) >= 0 && filledCount(entries) <= kSlotCount);
    return 0;
}
