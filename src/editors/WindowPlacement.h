#pragma once

class QWidget;

namespace nodalyx {

// Centres the window (at its present size) on its screen, moved right and down by
// the given distances in twips (1/1440 inch).
void placeWindow(QWidget* window, int rightTwips = 0, int downTwips = 0);

} // namespace nodalyx
