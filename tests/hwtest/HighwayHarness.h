#pragma once

#include "HighwayTest.h"
#include "Link.h"
#include "LoggerSession.h"
#include "ScriptedOperator.h"
#include "SharedState.h"
#include "UnitHighwaySim.h"

#include <QString>

namespace nodalyx::test {

// Timings short enough for the suite; a healthy unit answers within 100 ms.
inline hw::HighwayTimings quickTimings(int answerMs = 250, int afterAnswerMs = 20) {
    return hw::HighwayTimings{answerMs, 20, 300, 5, afterAnswerMs};
}

// The bus of the window and command-line tests: unit 0 of type 1 and unit 5 of type 2.
inline sim::UnitSimConfig twoUnits() {
    sim::UnitSimConfig config;
    config.growMs = 0;
    config.units = {{0, 1, {}, {100, 7, 200, 9}, sim::UnitFault::None},
                    {5, 2, "A1B2C3D4E5F1", {10, 20, 30, 40}, sim::UnitFault::None}};
    return config;
}

// A unit of a location's table in use.
inline void useUnit(UnitConfig& u, int type, const QString& code = {}) {
    std::tie(u.Active, u.HWtype, u.HWaddress) = std::tuple(true, qint16(type), code);
}

// The same units in Highway 2 of a location, named; unit 8 is not in use.
inline void twoUnitSite(SharedState& s) {
    useUnit(s.HW2Unit[1], 1);
    useUnit(s.HW2Unit[6], 2, "A1B2C3D4E5F1");
    std::tie(s.HW2Unit[1].Name1, s.HW2Unit[6].Name1, s.HW2Unit[6].Name3) =
        std::tuple("Door", "Hall", "North");
    s.HW2Unit[8].HWtype = 1;
}

// The highway test, recording its states, and simulated units on a pty as serial port 9.
struct HighwayHarness {
    static constexpr int kPort = 9;
    using State = hw::HighwayTest::State;

    HighwayHarness() {
        sim.config().growMs = 0;
        ok = sim.openPty();
        qputenv("NODALYX_COM9", sim.ptyDevice().toLocal8Bit());
        tellNotices(link, op);
        test.setTimings(quickTimings());
        QObject::connect(&test, &hw::HighwayTest::stateChanged, [this](State s) { states << s; });
    }
    ~HighwayHarness() { qunsetenv("NODALYX_COM9"); }

    // Unit `address` of the location's highway, in use, and the same unit on the bus.
    void addUnit(int highway, int address, int type, const QString& code = {},
                 sim::UnitFault fault = sim::UnitFault::None, hw::Counters counters = {}) {
        useUnit(state.table(highway)[address + 1], type, code);
        sim.config().units.append({address, type, code, counters, fault});
    }
    const hw::TestRow& row(int address) const { return test.row(address + 1); }
    bool run(int highway, int passes) {
        test.setPassLimit(passes);
        return test.TestHW(highway, QString::number(kPort));
    }

    bool ok = false;
    SharedState state;
    ScriptedOperator op;
    sim::UnitHighwaySim sim;
    QList<State> states;
    Link link{state.settings};
    hw::HighwayTest test{state, link, op}; // gone before the link and what it records
};

} // namespace nodalyx::test
