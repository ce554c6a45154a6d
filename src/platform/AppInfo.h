#pragma once

// The application's name and version, as the about window and the
// settings layer's messages show them.
namespace anchorly::app {

inline constexpr char kTitle[] = "Anchorly";
inline constexpr int kMajor = 1;
inline constexpr int kMinor = 0;
inline constexpr int kRevision = 3;

// Reverse-DNS id shared by the desktop file, the AppStream metadata and the icon.
inline constexpr char kDesktopId[] = "example.quillbay.Anchorly";

} // namespace anchorly::app
