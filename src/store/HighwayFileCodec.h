#pragma once

#include "KeyValue.h"
#include "UnitConfig.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

namespace nodalyx {

// The highway files "HW01.ini" and "HW02.ini": the header "[Datalogger Configuration HW0n]",
// an empty line, then one block of 34 lines for each of the 64 units, 2 178 lines in all,
// CR LF after every line, Windows-1252 text.

// A stored text or byte field of a unit with the key that carries it.
struct UnitKey {
    const char* name;                     // as written, e.g. "Cor1"
    QString UnitConfig::*text = nullptr;  // set for a text field
    quint8 UnitConfig::*number = nullptr; // set for Cor1..Cor4
};
// HWaddress, Col1..Col4, then for each channel CorrType, Entrancewidth, Name, From, To, Cor:
// the order of a unit block after its Address, Active and HWtype lines.
const QList<UnitKey>& unitKeys();

struct HighwayReadResult {
    bool headerOk = true;
    std::optional<ReadFailure> failure;
};

// Reads the file's bytes into table (highway 1 or 2 decides the header). The table is not
// reset here. An empty file has no header line and passes.
HighwayReadResult decodeHighwayFile(const QByteArray& bytes, int highway, UnitTable& table);

// How many units a highway file's bytes hold: the distinct bus addresses 0..63 of its Address
// lines, whether the unit is in use or not (a complete file holds 64).
int unitsInHighwayFile(const QByteArray& bytes);

// Entries 1..64 of the table as the file's 2 178 lines.
QByteArray encodeHighwayFile(int highway, const UnitTable& table);

// Stores one value under its file key (any case), converted as the reader converts it.
// "Address" is not a key of a unit (it selects the unit) and answers Unknown.
KeyResult applyUnitKey(UnitConfig& unit, const QString& key, const QString& value);

// Why a unit value would not come back from a write and a read of the file, starting with
// "cannot hold ..." (a bracket makes the reader skip the line, "{" starts a comment, a
// control character breaks or changes the line); empty when it would.
QString unitValueProblem(const QString& value);

} // namespace nodalyx
