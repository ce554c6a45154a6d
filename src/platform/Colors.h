#pragma once

#include <QColor>
#include <QGuiApplication>
#include <QPalette>
#include <QtGlobal>

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

} // namespace anchorly
