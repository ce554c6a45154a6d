#pragma once

// The two complete contents, A and B, that the crash writer saves in turn,
// shared by the writer and the test that kills it.

#include "settings/SettingNames.h"

#include <QString>
#include <QStringList>
#include <array>
#include <string>

namespace anchorly::crash {

inline const std::string kKeyPath = settings::kKeyPath;
inline constexpr auto kValueNames = settings::kValueNames;

// The eleven values of settings set A (b = false) or B (b = true).
inline std::array<std::string, 11> settingsValues(bool b)
{
    if (!b)
        return {"True",
                "2310",
                "3285",
                "65280",
                "3",
                "61",
                "False",
                "True",
                "/usr/bin/firefox",
                "/usr/bin/gedit",
                "/home/ann/Documents/links/today's links.html"};
    return {"False",
            "4815.5",
            "-120",
            "2147483648",
            "0",
            "12",
            "True",
            "False",
            "/opt/browsers/a \"quoted\" browser\\bin",
            "/usr/local/bin/editor with blanks",
            "/home/bob/\xC3\xA9t\xC3\xA9/list.html"};
}

// A few thousand source names; list B differs from A in every name and in length.
inline QStringList sourceNames(bool b)
{
    QStringList names;
    const int count = b ? 3100 : 2900;
    for (int i = 0; i < count; ++i)
        names.append(
            QStringLiteral("%1 Publication %2 %3").arg(b ? "Beta" : "Alpha").arg(i).arg(QString(i % 17, u'x')));
    return names;
}

} // namespace anchorly::crash
