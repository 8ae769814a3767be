#pragma once

class QWidget;

namespace nodalyx {

// Sizes the window to its contents and centres it on its screen, moved right and down by
// the given distances in twips (1/1440 inch).
void placeWindow(QWidget* window, int rightTwips = 0, int downTwips = 0);

} // namespace nodalyx
