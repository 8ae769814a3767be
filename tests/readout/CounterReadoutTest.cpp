// The counter read-out against the simulated logger.
#include "CounterReadout.h"
#include "LinkHarness.h"
#include "PseudoTerminals.h"

#include <gtest/gtest.h>
#include <tuple>

using namespace nodalyx;
using namespace nodalyx::test;
using sim::SimFaults;
using Counts = sim::LoggerState::Counts;
using Read = std::tuple<bool, bool, bool>; // counters read, highway 1 read, highway 2 read

namespace {
const QList<int> kFullRead{59, 59, 3, 3};

// A refresh from a logger with counts on both highways. On every route a highway's table
// holds the new counts when it was read and its old values otherwise, and the hourglass ends.
Read refresh(Harness& h, const char* local, std::initializer_list<bool> answers = {}) {
    h.sim.state().serial = QStringLiteral("NX00123456");
    h.sim.state().setCounts(
        1, 0, Counts{.live1 = 1, .live2 = 2, .in1 = 258, .out1 = 65535, .in2 = 3, .out2 = 4});
    h.sim.state().setCounts(2, 63, Counts{.in1 = 11, .out2 = 9});
    for (int hw = 1; hw <= 2; ++hw)
        for (UnitConfig& u : h.state.table(hw))
            u.In1 = QStringLiteral("old");
    h.state.settings.eSerialnumber = QString::fromLatin1(local);
    h.op.answer(answers);
    const RefreshOutcome r = RefreshFromLogger(h.state, *h.link, h.op);
    if (r.highway1Read)
        EXPECT_EQ(countsOf(h.state.HW1Unit[1]), QStringList({"1", "2", "258", "65535", "3", "4"}));
    else
        EXPECT_EQ(h.state.HW1Unit[1].In1, "old");
    if (r.highway2Read) {
        EXPECT_EQ(countsOf(h.state.HW2Unit[64]), QStringList({"0", "0", "11", "0", "0", "9"}));
        EXPECT_EQ(h.state.HW2Unit[2].In1, "0");
    } else {
        EXPECT_EQ(h.state.HW2Unit[64].In1, "old");
    }
    EXPECT_EQ(h.state.HW1Unit[0].In1, "old"); // entry 0 is no unit
    EXPECT_EQ(h.op.busyDepth(), 0);
    return {r.countersRead, r.highway1Read, r.highway2Read};
}
} // namespace

TEST(CounterReadoutTest, NumberFoundInTheLoggersReadsBothHighwaysAndClosesTheLink) {
    // Empty, or a part of the logger's number (an equal one is the upload's test): no question.
    const std::pair<const char*, bool> rows[] = {
        {"", false}, {"0012", false}, {"00123456", true}}; // the last over a serial line
    for (const auto& [local, serial] : rows) {
        if (serial && !kHavePseudoTerminals)
            continue;
        SCOPED_TRACE(std::string(local) + (serial ? " serial" : " TCP"));
        Harness h(serial);
        ASSERT_TRUE(h.ok) << h.sim.errorString().toStdString();
        EXPECT_EQ(refresh(h, local), Read(true, true, true));
        EXPECT_TRUE(h.op.shown().isEmpty());
        ASSERT_EQ(h.sim.requestCodes(), kFullRead);
        EXPECT_EQ(h.sim.requests()[2], fromHex("FF FF 03 00 00 00 63 00 60 00 72"));
        EXPECT_EQ(h.sim.requests()[3], fromHex("FF FF 03 00 00 00 67 00 64 00 72"));
        if (!serial) {
            EXPECT_EQ(h.link->transport().tcp().state(), QAbstractSocket::UnconnectedState);
        } else { // closed at the end
            EXPECT_FALSE(h.link->transport().serial().isOpen());
        }
    }
}

// Answered Yes it reads: the command-line test with --yes.
TEST(CounterReadoutTest, MismatchAnsweredNoOrNoSerialReplyReadsNothing) {
    Harness h;
    EXPECT_EQ(refresh(h, "00123457", {false}), Read()); // one digit differs
    ASSERT_EQ(h.op.questions(), 1);
    // A warning whose Enter answers No (its text: the upload's test).
    EXPECT_EQ(h.op.shown().first().icon, Operator::Icon::Warning);
    EXPECT_EQ(h.op.shown().first().defaultAnswer, Operator::Answer::No);
    EXPECT_EQ(h.sim.requestCodes(), (QList<int>{59, 59}));
    EXPECT_EQ(h.link->transport().tcp().state(), QAbstractSocket::UnconnectedState);

    // No serial reply is reported with the reason (a refused connection: the command line's
    // test of every logger command).
    Harness f;
    f.sim.faults().silent = true;
    EXPECT_EQ(refresh(f, "00123456"), Read());
    EXPECT_EQ(f.op.messages(),
              QStringList{"Connection with Datalogger failed: 127.0.0.1:" +
                          f.state.settings.Portnumber + ": no answer within 0.4 s"});
    EXPECT_EQ(f.op.shown().first().icon, Operator::Icon::Critical);
    EXPECT_EQ(f.sim.requestCodes(), QList<int>{59});
}

TEST(CounterReadoutTest, BadReplyKeepsThatHighwaysValuesAndReadsTheOther) {
    const std::pair<const char*, QSet<int> SimFaults::*> faults[] = {
        {"771 characters", &SimFaults::dropByteCodes},
        {"773 characters", &SimFaults::extraByteCodes},
        {"wrong checksum", &SimFaults::corruptCodes}};
    for (const auto& [what, fault] : faults) {
        for (int bad = 1; bad <= 2; ++bad) {
            SCOPED_TRACE(std::string(what) + " on highway " + std::to_string(bad));
            Harness h;
            QObject::connect(&h.sim, &sim::LoggerSim::request, &h.sim, [&, bad](auto& frame) {
                const bool mine =
                    quint8(frame.at(2)) == 3 && quint8(frame.at(8)) == (bad == 1 ? 0x60 : 0x64);
                (h.sim.faults().*fault) = mine ? QSet<int>{3} : QSet<int>{};
            });
            EXPECT_EQ(refresh(h, ""), Read(true, bad != 1, bad != 2));
            EXPECT_TRUE(h.op.shown().isEmpty());
        }
    }
}
