#pragma once

#include "Operator.h"
#include "SharedState.h"

#include <QString>

namespace nodalyx {

class FrmMain;

// Grabs the windows for the documentation into dir: the main window with the first location
// selected and its counts refreshed (main-window.png), the unit editor on the first unit of
// Highway 1 (unit-editor.png), the new-location window (new-location.png) and the
// configuration window after a read-out of the general settings, its differences from the
// location marked (configuration.png), the communication log, the main window and the chart
// while monitoring (monitor.png, monitor-chart.png), the Sites window (sites.png). Answers the
// number of pictures that could not be written.
int takeScreenshots(FrmMain& main, SharedState& state, Operator& op, const QString& dir);

} // namespace nodalyx
