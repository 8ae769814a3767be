#pragma once

#include "HighwayTest.h"
#include "TrafficLog.h"

namespace nodalyx {
class TrafficRecorder;
}

namespace nodalyx::hw {

// The name of a poll in the log: "poll unit 5" (type 1, by its bus address) or "poll type 2"
// (the unit code is in the bytes); empty for anything else.
QString pollName(const QByteArray& frame);
// "answered", "bad answer", "no answer"; bytes that came without making an answer of the
// awaited length are "incomplete answer".
QString pollVerdict(HighwayTest::Answer answer, bool bytesCame);

// Records every poll of the test, the bytes that came for it (gathered, with the verdict) and
// the input dropped before a poll, until the test or the recorder goes.
void recordHighwayTest(HighwayTest& test, TrafficRecorder& recorder);

} // namespace nodalyx::hw
