#pragma once

#include "Operator.h"
#include "SharedState.h"

#include <QString>

namespace nodalyx {

// The highway files "<location>/HW01.ini" and "<location>/HW02.ini" below the program directory.

// Reset the table, then read the location's highway file into it. False (after the message
// "Fout in lezen HW0n.ini") when the first line is not the header; other failures are
// reported through op and the result stays true, the table holding what was read so far.
bool ReadHW01(SharedState& state, const QString& location, Operator& op);
bool ReadHW02(SharedState& state, const QString& location, Operator& op);
bool ReadHighway(SharedState& state, int highway, const QString& location, Operator& op);

// Write entries 1..64 of the table, the previous file kept as HW0n.bak. The file is replaced
// whole or not at all. False (reported through op) when it could not be written.
bool WriteHW01(SharedState& state, const QString& location, Operator& op);
bool WriteHW02(SharedState& state, const QString& location, Operator& op);
bool WriteHighway(SharedState& state, int highway, const QString& location, Operator& op);

// "<programDir>/<location>/HW0<highway>.ini", the file the reader and writer use.
QString highwayFilePath(const QString& programDir, const QString& location, int highway);

// Give entries 1..64 the defaults of a fresh unit (entry 0 and the four counts untouched).
void ResetHW01(SharedState& state);
void ResetHW02(SharedState& state);

} // namespace nodalyx
