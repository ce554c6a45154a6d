#pragma once

#include <QFont>
#include <QIcon>
#include <QPixmap>

// The pictures compiled into the program. Both functions work from the first
// line of main() on (the resources are registered on first use) and never
// return a null picture.
namespace anchorly::resources {

// The application's icon for every window's title bar and the task bar:
// holds the 16, 32 and 48 pixel renderings.
QIcon windowIcon();

// The 32x32 pointing hand, transparent around it, shown over the about window's
// link. The fingertip is at (12, 2), the cursor's hot spot.
QPixmap handPicture();

// The compact sans-serif font the windows are laid out for (Liberation Sans,
// with the metrics of the classic dialog font; another sans family where it
// is missing), at the given size.
QFont dialogFont(qreal pointSize = 8, bool bold = false);

} // namespace anchorly::resources
