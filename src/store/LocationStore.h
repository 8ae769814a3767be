#pragma once

#include "Operator.h"
#include "SharedState.h"

#include <QString>
#include <QStringList>

namespace nodalyx {

// The location files "<name>.fgr" in the program directory (state.programDir).

// Reads the location file fileName (with ".fgr") into state.settings. Fields the file does
// not mention keep their values. False only when the first non-blank line is not a location
// file header; any other failure is reported through op and the result stays true.
bool ReadFGR(SharedState& state, const QString& fileName, Operator& op);

// Writes state.settings to "<name>.fgr", the previous file kept as "<name>.bak". The file is
// replaced whole or not at all. False (reported through op) when it could not be written.
bool WriteFGR(SharedState& state, const QString& name, Operator& op);

// The location names (file names without ".fgr"), sorted by name. Creates the empty default
// location "Configuration 01" when there is none; when that fails, reports why and answers
// an empty list.
QStringList GetFGR(const QString& programDir, Operator& op);
// The location names as GetFGR lists them, without creating anything.
QStringList ListFGR(const QString& programDir);

// Creates (or empties) the file fileName in the program directory. False, reported, on failure.
bool MakeNewFile(const QString& programDir, const QString& fileName, Operator& op);

// Empty when name can be used as a location (it is a file and folder name), else the reason,
// ready to show to the operator.
QString checkLocationName(const QString& name);

} // namespace nodalyx
