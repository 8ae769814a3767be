#include "WindowPlacement.h"

#include <QScreen>
#include <QWidget>

namespace nodalyx {

void placeWindow(QWidget* window, int rightTwips, int downTwips) {
    const QScreen* screen = window->screen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const int dx = rightTwips * window->logicalDpiX() / 1440;
    const int dy = downTwips * window->logicalDpiY() / 1440;
    window->move(area.x() + (area.width() - window->width()) / 2 + dx,
                 area.y() + (area.height() - window->height()) / 2 + dy);
}

} // namespace nodalyx
