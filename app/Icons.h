#pragma once
// The program's own toolbar, menu and window images, drawn in code at
// whatever size and scale they are shown, so they stay sharp on a HiDPI
// screen. A desktop icon theme that has a matching standard icon is used
// first (themeFirst false draws every image).

#include <QIcon>

#include "app/Commands.h"

namespace ze {

QIcon CommandIcon(TImage image, bool themeFirst = true);
// The window and desktop icon of the program.
QIcon ProgramIcon();
// Paints an image into a square (tests and the about box use it).
void PaintImage(QPainter& p, TImage image, const QRectF& r);

} // namespace ze
