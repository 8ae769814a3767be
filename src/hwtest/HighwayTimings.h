#pragma once

namespace nodalyx::hw {

// The time limits of the highway test, in milliseconds of elapsed (monotonic) time. The
// defaults are what the units need; tests pass shorter ones.
struct HighwayTimings {
    int answerMs = 1000;     // a unit's answer
    int slowPauseMs = 100;   // a type 2 unit on Highway 1: a pause after the poll ...
    int slowAnswerMs = 2000; // ... then this long for its answer
    int turnaroundMs = 5;    // after a poll has gone out, before RTS goes on
    int afterAnswerMs = 50;  // after an answer (or its deadline) before the next unit
};

} // namespace nodalyx::hw
