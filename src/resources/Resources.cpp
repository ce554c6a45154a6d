#include "resources/Resources.h"

#include <QString>

// Q_INIT_RESOURCE declares a function of the global namespace, so it may not
// be used inside a namespace. A static library's resources are not registered
// by the linker alone; registering them here, before the first lookup, keeps
// every program that links this library working.
static void registerResources()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(anchorly_resources);
        return true;
    }();
    (void)registered;
}

namespace anchorly::resources {

QIcon windowIcon()
{
    registerResources();
    QIcon icon;
    for (int size : {16, 32, 48})
        icon.addFile(QStringLiteral(":/anchorly/icons/anchorly-%1.png").arg(size), QSize(size, size));
    return icon;
}

QFont dialogFont(qreal pointSize, bool bold)
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

QPixmap handPicture()
{
    registerResources();
    return QPixmap(QStringLiteral(":/anchorly/hand.png"));
}

} // namespace anchorly::resources
