#pragma once

#include <QColor>
#include <QGuiApplication>
#include <QPalette>
#include <QtGlobal>
#include <algorithm>
#include <cmath>

// Colour numbers as the tool stores them: blue * 65536 + green * 256 + red
// (65280 is pure green), or a system colour given as 0x80000000 plus the
// system colour's index (0x8000000F is the standard button face).
namespace anchorly {

inline constexpr quint32 kSystemColorFlag = 0x80000000u;
inline constexpr quint32 kButtonFaceColor = 0x8000000Fu;

// The palette role that stands in for a system colour index; buttons' face when unknown.
inline QPalette::ColorRole systemColorRole(quint32 index)
{
    switch (index) {
    case 5: // window background
        return QPalette::Base;
    case 8: // window text
        return QPalette::Text;
    case 13:
        return QPalette::Highlight;
    case 14:
        return QPalette::HighlightedText;
    case 18:
        return QPalette::ButtonText;
    case 23:
        return QPalette::ToolTipText;
    case 24:
        return QPalette::ToolTipBase;
    default: // 15, button face, and anything without a counterpart
        return QPalette::Button;
    }
}

// The colour a colour number stands for. A system colour is read from the
// application's palette (there must be a QGuiApplication); the top byte of a
// plain colour plays no part.
inline QColor toQColor(quint32 number)
{
    if (number & kSystemColorFlag)
        return QGuiApplication::palette().color(QPalette::Active, systemColorRole(number & 0xFFu));
    return QColor(int(number & 0xFFu), int((number >> 8) & 0xFFu), int((number >> 16) & 0xFFu));
}

// The colour number of a colour: blue * 65536 + green * 256 + red; the alpha plays no part.
inline quint32 toColorNumber(const QColor& color)
{
    const QColor rgb = color.toRgb();
    return quint32(rgb.blue()) * 65536u + quint32(rgb.green()) * 256u + quint32(rgb.red());
}

// How far apart two colours are for reading, from 1 (the same) to 21 (black on
// white), by the relative luminance of the web's accessibility guidelines.
inline double contrastRatio(const QColor& first, const QColor& second)
{
    const auto luminance = [](const QColor& colour) {
        const auto linear = [](int channel) {
            const double value = channel / 255.0;
            return value <= 0.03928 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
        };
        const QColor rgb = colour.toRgb();
        return 0.2126 * linear(rgb.red()) + 0.7152 * linear(rgb.green()) + 0.0722 * linear(rgb.blue());
    };
    const double a = luminance(first);
    const double b = luminance(second);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

// The least contrast at which a text of ordinary size reads well.
inline constexpr double kReadableContrast = 4.5;

// The windows fix some colours of their controls: a background (light grey,
// white, the button face) or a text colour (dark blue, red, dark grey). The
// desktop's palette supplies the other one, and a dark palette would put
// near-white text on the light grey or dark blue text on a dark grey. These
// two keep the desktop's colour wherever it reads well, so a light palette
// looks as it always did, and otherwise take the classic partner.

// The text colour for a fixed background: the desktop's, else black or white.
inline QColor readableTextOn(const QColor& background, const QColor& desktopText)
{
    if (contrastRatio(desktopText, background) >= kReadableContrast)
        return desktopText;
    const QColor black(Qt::black);
    const QColor white(Qt::white);
    return contrastRatio(black, background) >= contrastRatio(white, background) ? black : white;
}

// The background for a fixed text colour: the desktop's, else the classic light button face.
inline QColor readableBehind(const QColor& text, const QColor& desktopBackground)
{
    if (contrastRatio(text, desktopBackground) >= kReadableContrast)
        return desktopBackground;
    return QColor(240, 240, 240);
}

} // namespace anchorly
