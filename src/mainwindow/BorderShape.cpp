#include "mainwindow/BorderShape.h"

#include "platform/Colors.h"

#include <QPainter>

namespace anchorly {

namespace {
constexpr int kBorderWidth = 3;
}

BorderShape::BorderShape(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void BorderShape::setBorderColor(quint32 color)
{
    if (color == m_borderColor)
        return;
    m_borderColor = color;
    update();
}

void BorderShape::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QColor color = toQColor(m_borderColor);
    const QRect outer = rect();
    // Drawn inside the shape's bounds, as four bands, so that no pixel is
    // lost to pen alignment.
    painter.fillRect(QRect(outer.left(), outer.top(), outer.width(), kBorderWidth), color);
    painter.fillRect(QRect(outer.left(), outer.bottom() - kBorderWidth + 1, outer.width(), kBorderWidth), color);
    painter.fillRect(QRect(outer.left(), outer.top(), kBorderWidth, outer.height()), color);
    painter.fillRect(QRect(outer.right() - kBorderWidth + 1, outer.top(), kBorderWidth, outer.height()), color);
}

} // namespace anchorly
