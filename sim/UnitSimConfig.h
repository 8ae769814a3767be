#pragma once

#include "UnitFrames.h"
#include "UnitReplies.h"

#include <QList>
#include <QString>
#include <optional>

namespace nodalyx::sim {

// What a simulated unit does wrong, for tests and demonstrations.
enum class UnitFault {
    None,
    Silent,    // hears its poll, never answers
    Late,      // answers after the late time, past the test's deadline
    Short,     // the answer lacks its last byte
    Long,      // the answer has one byte more (00 at the end)
    FirstByte, // the answer's first byte is wrong
    NoMarker,  // a type 2 answer without its 22 F4 marker
    Garbage,   // more than 60 noise bytes instead of an answer
};

std::optional<UnitFault> parseUnitFault(const QString& name);
QString unitFaultName(UnitFault fault);
QString unitFaultNames(); // "silent, late, ..." for help texts

// One counting unit on the simulated highway: a type 1 unit answers polls for its bus
// address, a type 2 unit polls for its unit code (the address then only names it).
struct SimUnit {
    int address = 0;
    int type = 1;
    QString codeText; // type 2: the unit code as the highway file holds it
    hw::Counters counters{};
    UnitFault fault = UnitFault::None;

    hw::UnitCode code() const { return hw::unitCodeBytes(codeText); }
};

// The highway: its units and how it behaves.
struct UnitSimConfig {
    QList<SimUnit> units;
    int growMs = 1000;     // the counters grow this often (0: they stay as they are)
    int replyDelayMs = 10; // a unit starts its answer this long after its poll
    int lateMs = 2500;     // ... or this long with the fault "late"

    SimUnit* unit(int address);
};

// "ADDR:TYPE" or "ADDR:2:CODE" (address 0..63, type 1 or 2, a code of up to 12 characters).
// A unit given twice replaces the first.
bool addUnitOption(const QString& text, UnitSimConfig& config, QString* error);
// "ADDR:KIND" for a unit already given.
bool addFaultOption(const QString& text, UnitSimConfig& config, QString* error);
// A JSON file: {"units": [{"address": 5, "type": 2, "code": "A1B2C3D4E5F1",
// "counters": [1, 2, 3, 4], "fault": "late"}, ...], "growMs": 1000, "replyDelayMs": 10,
// "lateMs": 2500}; every member but "address" and "type" may be left out.
bool loadUnitSimConfig(const QString& path, UnitSimConfig& config, QString* error);

} // namespace nodalyx::sim
