#pragma once

#include "UnitReplies.h"

#include <QByteArray>
#include <QStringList>
#include <array>

namespace nodalyx::hw {

// What the highway test shows of one unit: polls sent, valid answers, and per counter the
// raw value of the last answer, the count since the start and the value at the start.
struct TestRow {
    int TX = 0;
    int RX = 0;
    std::array<int, 4> C{};     // raw counter values of the last answer
    std::array<int, 4> Count{}; // counts since the start ("In", "Out", "In", "Out")
    std::array<int, 4> CC{};    // the baseline: the counter's value at the start
    std::array<bool, 4> baselineTaken{};

    friend bool operator==(const TestRow&, const TestRow&) = default;
};

// The counter range the count wraps in: a count below the baseline has passed 65535.
inline constexpr int kCounterWrap = 65536;

// Channel k (1..4) takes counter value c: the first value read becomes the baseline, whatever
// it is (a counter that reads 0 at the start keeps 0 as its baseline); the raw column shows
// c; the count is c - baseline, or 65536 - baseline + c once the counter has wrapped.
void updateChannel(TestRow& row, int channel, int value);

// Takes an answer into the row; false (row unchanged) when the answer does not count. A type
// 2 answer updates the four channels with c1..c4. A type 1 answer updates channel 1 with c1
// and channel 2 with c3, and shows c2 and c4 in the raw columns C3 and C4 only. Each counted
// answer adds 1 to RX.
bool takeReply(TestRow& row, const QByteArray& reply);

// The texts of the list columns 4..17: TX, RX, C1..C4, the four counts, CC1..CC4.
QStringList testColumnTexts(const TestRow& row);

} // namespace nodalyx::hw
