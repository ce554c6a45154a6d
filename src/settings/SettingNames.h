#pragma once

// The settings key and the names of the eleven values stored in it. Plain
// C++, so that code without the toolkit (the registry module's tools and
// tests) names them from the same place.

#include <array>

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

// Every value name, in the catalogue's order.
inline constexpr std::array<const char*, 11> kValueNames = {name::Startup,
                                                            name::Top,
                                                            name::Left,
                                                            name::BorderColor,
                                                            name::ComboIndex,
                                                            name::ComboSource,
                                                            name::SourceOptionText,
                                                            name::SourceOptionCombo,
                                                            name::Browser,
                                                            name::Editor,
                                                            name::HTMLfile};

} // namespace anchorly::settings
