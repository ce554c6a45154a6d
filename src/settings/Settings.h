#pragma once

// The catalogue of everything the tool stores between runs: the one
// settings key, the value names, and the readers and writers of the four
// stored kinds. A reader gives no value when the stored text does not
// convert to its kind; the caller then leaves its target as it is.

#include <QString>
#include <optional>

namespace anchorly::registry {
class Registry;
}

namespace anchorly::settings {

inline constexpr char kKeyPath[] = "HKEY_CURRENT_USER\\Software\\Quillbay\\Anchorly";

namespace name {
inline constexpr char Startup[] = "Startup";
inline constexpr char Top[] = "Top";
inline constexpr char Left[] = "Left";
inline constexpr char BorderColor[] = "BorderColor";
inline constexpr char ComboIndex[] = "ComboIndex";
inline constexpr char ComboSource[] = "ComboSource";
inline constexpr char SourceOptionText[] = "Source Option Text";
inline constexpr char SourceOptionCombo[] = "Source Option Combo";
inline constexpr char Browser[] = "Browser";
inline constexpr char Editor[] = "Editor";
inline constexpr char HTMLfile[] = "HTMLfile";
} // namespace name

class Settings {
public:
    explicit Settings(registry::Registry& registry);

    // Creates the settings key with its missing parents.
    void createKey();

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
    registry::Registry& m_registry;
};

} // namespace anchorly::settings
