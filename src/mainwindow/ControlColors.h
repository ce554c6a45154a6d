#pragma once

#include "platform/Colors.h"

#include <QWidget>

// Text and background colours of a control, as colour numbers. A control's
// background is its Base role (text boxes) and its Button role (lists,
// buttons); its text colour covers labels, text boxes and buttons alike.
// Setting the one keeps the other readable under any desktop palette.
namespace anchorly {

inline void setForeColor(QWidget* widget, quint32 color)
{
    QPalette palette = widget->palette();
    const QColor text = toQColor(color);
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(role, text);
    const QPalette::ColorRole behind = widget->backgroundRole();
    palette.setColor(behind, readableBehind(text, palette.color(QPalette::Active, behind)));
    widget->setPalette(palette);
}

inline void setBackColor(QWidget* widget, quint32 color)
{
    QPalette palette = widget->palette();
    const QColor background = toQColor(color);
    palette.setColor(QPalette::Base, background);
    palette.setColor(QPalette::Button, background);
    const QColor text = readableTextOn(background, QGuiApplication::palette().color(QPalette::Active, QPalette::Text));
    // The window text role draws a box's scroll bar arrows on that background.
    for (const auto role : {QPalette::Text, QPalette::ButtonText, QPalette::WindowText})
        palette.setColor(role, text);
    widget->setPalette(palette);
}

inline quint32 foreColor(const QWidget* widget)
{
    return toColorNumber(widget->palette().color(QPalette::WindowText));
}

inline quint32 backColor(const QWidget* widget)
{
    return toColorNumber(widget->palette().color(QPalette::Base));
}

// Colours of the main window's design.
inline constexpr quint32 kDarkBlue = 12582912;
inline constexpr quint32 kLightGrey = 14737632;
inline constexpr quint32 kDarkGrey = 4210752;
inline constexpr quint32 kRed = 255;
inline constexpr quint32 kWhite = 16777215;
inline constexpr quint32 kGreen = 65280;
inline constexpr quint32 kHighlightColor = 0x8000000Du;

} // namespace anchorly
