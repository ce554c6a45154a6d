#include "settings/Settings.h"

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
    if (!number || std::fabs(*number) > std::numeric_limits<float>::max())
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

namespace {

// The read's result as text; nullopt for the "empty result" of a path
// without a root key.
std::optional<QString> readText(registry::Registry& registry, const char* valueName)
{
    const auto stored = registry.GetStringValue(kKeyPath, valueName);
    if (!stored)
        return std::nullopt;
    return QString::fromLocal8Bit(stored->data(), static_cast<qsizetype>(stored->size()));
}

} // namespace

std::optional<bool> Settings::readFlag(const char* valueName)
{
    const auto text = readText(m_registry, valueName);
    return text ? convert::toFlag(*text) : std::optional<bool>(false);
}

std::optional<qint16> Settings::readInt16(const char* valueName)
{
    const auto text = readText(m_registry, valueName);
    return text ? convert::toInt16(*text) : std::optional<qint16>(0);
}

std::optional<qint32> Settings::readInt32(const char* valueName)
{
    const auto text = readText(m_registry, valueName);
    return text ? convert::toInt32(*text) : std::optional<qint32>(0);
}

std::optional<float> Settings::readPosition(const char* valueName)
{
    const auto text = readText(m_registry, valueName);
    return text ? convert::toPosition(*text) : std::optional<float>(0.0f);
}

QString Settings::readPath(const char* valueName)
{
    const auto text = readText(m_registry, valueName);
    return text ? convert::toPath(*text) : QString();
}

void Settings::writeFlag(const char* valueName, bool value)
{
    m_registry.SetStringValue(kKeyPath, valueName, convert::fromFlag(value).toLocal8Bit().toStdString());
}

void Settings::writeWhole(const char* valueName, qint64 value)
{
    m_registry.SetStringValue(kKeyPath, valueName, convert::fromWhole(value).toLocal8Bit().toStdString());
}

void Settings::writePosition(const char* valueName, float twips)
{
    m_registry.SetStringValue(kKeyPath, valueName, convert::fromPosition(twips).toLocal8Bit().toStdString());
}

void Settings::writePath(const char* valueName, const QString& path)
{
    m_registry.SetStringValue(kKeyPath, valueName, path.toLocal8Bit().toStdString());
}

} // namespace anchorly::settings
