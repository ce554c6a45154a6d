// The settings catalogue's conversions of stored texts: the input is a
// stored text (as the registry gives it, in the locale's 8-bit encoding),
// read under a locale with a decimal point and one with a decimal comma.
// Whatever a reader accepts, its writer stores in a form that reads back as
// the same value.

#include "FuzzTarget.h"

#include "settings/Settings.h"

#include <QLocale>
#include <QString>
#include <cmath>
#include <cstdlib>

using namespace anchorly::settings::convert;

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    ::setenv("LC_ALL", "C.UTF-8", 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString stored = QString::fromLocal8Bit(reinterpret_cast<const char*>(data), qsizetype(size));
    for (const QLocale& locale : {QLocale::c(), QLocale(QLocale::German, QLocale::Germany)}) {
        if (const auto flag = toFlag(stored, locale))
            FUZZ_CHECK(toFlag(fromFlag(*flag), locale) == flag);
        if (const auto value = toInt16(stored, locale))
            FUZZ_CHECK(toInt16(fromWhole(*value), locale) == value);
        if (const auto value = toInt32(stored, locale))
            FUZZ_CHECK(toInt32(fromWhole(*value), locale) == value);
        if (const auto twips = toPosition(stored, locale)) {
            FUZZ_CHECK(std::isfinite(*twips));
            // Seven significant digits hold a float to within one part in ten million.
            const auto back = toPosition(fromPosition(*twips, locale), locale);
            FUZZ_CHECK(back.has_value());
            FUZZ_CHECK(std::fabs(double(*back) - double(*twips)) <= std::fabs(double(*twips)) * 1e-6);
        }
    }
    FUZZ_CHECK(toPath(stored) == (stored == QStringLiteral("Error") ? QString() : stored));
    return 0;
}
