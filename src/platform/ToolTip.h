#pragma once

#include <QString>
#include <QWidget>

namespace anchorly {

// Gives a control the user's own text as its tooltip, shown exactly as it
// stands: the toolkit draws a tooltip that looks like markup as rich text,
// which would turn an anchor into an underlined link and hide its address.
// Blanks are kept; like a plain tooltip it is one line. An empty text shows no tooltip.
inline void setTextToolTip(QWidget* control, const QString& text)
{
    control->setToolTip(text.isEmpty() ? QString()
                                       : QStringLiteral("<p style=\"white-space:pre\">") + text.toHtmlEscaped() +
                                             QStringLiteral("</p>"));
}

} // namespace anchorly
