#pragma once

#include <QString>
#include <QVariant>
#include <QWidget>

namespace anchorly {

// Gives a control the user's own text as its tooltip, shown exactly as it
// stands: the toolkit draws a tooltip that looks like markup as rich text,
// which would turn an anchor into an underlined link and hide its address.
// Blanks are kept; like a plain tooltip it is one line. An empty text shows
// no tooltip. This runs on every mouse move over texts of up to 32,767
// characters, so the escaped copy is made only when the text has changed.
inline void setTextToolTip(QWidget* control, const QString& text)
{
    const QVariant shown = control->property("anchorlyToolTipText");
    if (shown.isValid() && shown.toString() == text)
        return;
    control->setProperty("anchorlyToolTipText", text);
    control->setToolTip(text.isEmpty() ? QString()
                                       : QStringLiteral("<p style=\"white-space:pre\">") + text.toHtmlEscaped() +
                                             QStringLiteral("</p>"));
}

} // namespace anchorly
