#pragma once

#include "platform/Colors.h"

#include <QWidget>

// Text and background colours of a control, as colour numbers. A control's
// background is its Base role (text boxes) and its Button role (lists,
// buttons); its text colour covers labels, text boxes and buttons alike.
namespace anchorly {

inline void setForeColor(QWidget* widget, quint32 color)
{
    QPalette palette = widget->palette();
    const QColor qcolor = toQColor(color);
    palette.setColor(QPalette::WindowText, qcolor);
    palette.setColor(QPalette::Text, qcolor);
    palette.setColor(QPalette::ButtonText, qcolor);
    widget->setPalette(palette);
}

inline void setBackColor(QWidget* widget, quint32 color)
{
    QPalette palette = widget->palette();
    const QColor qcolor = toQColor(color);
    palette.setColor(QPalette::Base, qcolor);
    palette.setColor(QPalette::Button, qcolor);
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
