#include "settings/Settings.h"

#include "platform/CodePage.h"
#include "platform/Text.h"
#include "settings/Registry.h"

#include <cmath>
#include <limits>

namespace anchorly::settings {

namespace convert {

namespace {

// A number written with the locale's decimal separator. Only that separator
// is taken, and no group separators: "1.500" in a German locale is no number
// rather than one thousand five hundred. The digits themselves are ASCII,
// as the writers produce them in every locale.
std::optional<double> toNumber(const QString& stored, const QLocale& locale)
{
    QString text = trimBlanks(stored);
    const QString point = locale.decimalPoint();
    if (point != QStringLiteral(".")) {
        if (text.contains(u'.'))
            return std::nullopt;
        text.replace(point, QStringLiteral("."));
    }
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    const double value = c.toDouble(text, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

template <typename Int> std::optional<Int> toWhole(const QString& stored, const QLocale& locale)
{
    const auto number = toNumber(stored, locale);
    if (!number)
        return std::nullopt;
    double rounded = std::round(*number);
    if (std::fabs(*number - std::trunc(*number)) == 0.5)
        rounded = 2.0 * std::round(*number / 2.0);
    if (rounded < std::numeric_limits<Int>::min() || rounded > std::numeric_limits<Int>::max())
        return std::nullopt;
    return static_cast<Int>(rounded);
}

} // namespace

std::optional<bool> toFlag(const QString& stored, const QLocale& locale)
{
    const QString text = trimBlanks(stored);
    if (text.compare(QStringLiteral("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (text.compare(QStringLiteral("False"), Qt::CaseInsensitive) == 0)
        return false;
    const auto number = toNumber(text, locale);
    if (!number)
        return std::nullopt;
    return *number != 0.0;
}

std::optional<qint16> toInt16(const QString& stored, const QLocale& locale)
{
    return toWhole<qint16>(stored, locale);
}

std::optional<qint32> toInt32(const QString& stored, const QLocale& locale)
{
    return toWhole<qint32>(stored, locale);
}

std::optional<float> toPosition(const QString& stored, const QLocale& locale)
{
    const auto number = toNumber(stored, locale);
    if (!number || std::fabs(*number) > kMaxPositionTwips)
        return std::nullopt;
    return static_cast<float>(*number);
}

QString toPath(const QString& stored)
{
    return stored == QStringLiteral("Error") ? QString() : stored;
}

QString fromFlag(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

QString fromWhole(qint64 value)
{
    return QString::number(value);
}

QString fromPosition(float twips, const QLocale& locale)
{
    if (twips == 0.0f)
        return QStringLiteral("0"); // not "-0"
    QString text = QString::number(static_cast<double>(twips), 'g', 7);
    text.replace(u'.', locale.decimalPoint());
    return text;
}

} // namespace convert

Settings::Settings(registry::Registry& registry) : m_registry(registry) {}

void Settings::createKey()
{
    m_registry.CreateKey(kKeyPath);
}

// The read's result as text; nullopt for the "empty result" of a path
// without a root key.
std::optional<QString> Settings::readText(const char* valueName)
{
    const auto stored = m_registry.GetStringValue(kKeyPath, valueName);
    if (!stored)
        return std::nullopt;
    QString text = fromUtf8OrWindows1252(QByteArrayView(stored->data(), qsizetype(stored->size())));
    m_lastRead[valueName] = {*stored, text};
    return text;
}

void Settings::writeText(const char* valueName, const QString& text)
{
    // Re-encoding a text read from 8-bit bytes would store other bytes: the
    // user's location would no longer name the file it named.
    const auto read = m_lastRead.find(valueName);
    const bool unchanged = read != m_lastRead.end() && read->second.second == text;
    m_registry.SetStringValue(kKeyPath, valueName, unchanged ? read->second.first : text.toUtf8().toStdString());
}

std::optional<bool> Settings::readFlag(const char* valueName)
{
    const auto text = readText(valueName);
    return text ? convert::toFlag(*text) : std::optional<bool>(false);
}

std::optional<qint16> Settings::readInt16(const char* valueName)
{
    const auto text = readText(valueName);
    return text ? convert::toInt16(*text) : std::optional<qint16>(0);
}

std::optional<qint32> Settings::readInt32(const char* valueName)
{
    const auto text = readText(valueName);
    return text ? convert::toInt32(*text) : std::optional<qint32>(0);
}

std::optional<float> Settings::readPosition(const char* valueName)
{
    const auto text = readText(valueName);
    return text ? convert::toPosition(*text) : std::optional<float>(0.0f);
}

QString Settings::readPath(const char* valueName)
{
    const auto text = readText(valueName);
    return text ? convert::toPath(*text) : QString();
}

void Settings::writeFlag(const char* valueName, bool value)
{
    writeText(valueName, convert::fromFlag(value));
}

void Settings::writeWhole(const char* valueName, qint64 value)
{
    writeText(valueName, convert::fromWhole(value));
}

void Settings::writePosition(const char* valueName, float twips)
{
    writeText(valueName, convert::fromPosition(twips));
}

void Settings::writePath(const char* valueName, const QString& path)
{
    writeText(valueName, path);
}

} // namespace anchorly::settings
