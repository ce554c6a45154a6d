#pragma once

// The catalogue of everything the tool stores between runs: the one
// settings key, the value names, and the readers and writers of the four
// stored kinds. A reader gives no value when the stored text does not
// convert to its kind; the caller then leaves its target as it is.

#include "settings/SettingNames.h"

#include <QLocale>
#include <QString>
#include <map>
#include <optional>
#include <string>

namespace anchorly::registry {
class Registry;
}

namespace anchorly::settings {

// The stored forms of the four kinds and back. A reader gives nullopt for a
// text that does not convert (the read's "Error" included). Numbers are
// parsed with the locale's decimal separator (the default locale unless one
// is given); a position is written with it.
namespace convert {
// "True" or "False" in any letter case, or a number: 0 is false, any other true.
std::optional<bool> toFlag(const QString& stored, const QLocale& locale = QLocale());
// A whole number; a fraction is rounded to the nearest, a tie to the even
// one; a number outside the type's range does not convert.
std::optional<qint16> toInt16(const QString& stored, const QLocale& locale = QLocale());
std::optional<qint32> toInt32(const QString& stored, const QLocale& locale = QLocale());
// A window coordinate in twips, only within the range a screen can have
// (kMaxPositionTwips either side of its origin): a value beyond it is no
// place a window was ever closed at, and would overflow the window's
// arithmetic in pixels.
inline constexpr float kMaxPositionTwips = 32767.0f * 15.0f;
std::optional<float> toPosition(const QString& stored, const QLocale& locale = QLocale());
// The stored text, except that the read's "Error" gives the empty text.
QString toPath(const QString& stored);

QString fromFlag(bool value);
// Decimal digits, with a leading "-" when negative.
QString fromWhole(qint64 value);
// Digits only for whole twips, else at most seven significant digits with
// the locale's decimal separator.
QString fromPosition(float twips, const QLocale& locale = QLocale());
} // namespace convert

// Stored texts are bytes: UTF-8 as this program writes them, or the 8-bit
// code page of a store carried over from Windows, which reads as
// Windows-1252. A text written back unchanged keeps the bytes it was read
// from, whatever they are.
class Settings {
public:
    explicit Settings(registry::Registry& registry);

    // Creates the settings key with its missing parents.
    void createKey();

    // A path that names no root key reads as false, 0 or the empty text;
    // kKeyPath always names one.
    std::optional<bool> readFlag(const char* valueName);
    std::optional<qint16> readInt16(const char* valueName);
    std::optional<qint32> readInt32(const char* valueName);
    std::optional<float> readPosition(const char* valueName);
    // A path: the stored text, or the empty text when the read fails.
    QString readPath(const char* valueName);

    void writeFlag(const char* valueName, bool value);
    void writeWhole(const char* valueName, qint64 value);
    void writePosition(const char* valueName, float twips);
    void writePath(const char* valueName, const QString& path);

private:
    std::optional<QString> readText(const char* valueName);
    void writeText(const char* valueName, const QString& text);

    registry::Registry& m_registry;
    // Per value name: the bytes last read and the text they gave.
    std::map<std::string, std::pair<std::string, QString>> m_lastRead;
};

} // namespace anchorly::settings
