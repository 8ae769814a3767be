#include "UploadSequence.h"
#include "LinkHarness.h"

#include <gtest/gtest.h>

namespace nodalyx::test {
namespace {

QByteArray hex(const char* text) {
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

struct Upload : Harness {
    Upload() {
        state.DayNames = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                          "Thursday", "Friday", "Saterday"};
        GeneralSettings& s = state.settings;
        s.LocationCode = "123";
        s.Days.fill("07002200");
        s.Interval = "15";
        s.eIPaddress = {"10", "0", "0", "5"};
        s.eSubnetmask = {"255", "255", "0", "0"};
        s.eGateway = {"10", "0", "0", "1"};
        s.ePortnumber = "";
        s.eSerialnumber = "12345678";
    }
    UploadOutcome run(UploadChoice choice = {true, false, false}, HighwayStep hw = {}) {
        lines.clear();
        return UploadConfiguration(state, *link, op, choice, hw,
                                   [this](const QString& l) { lines << l; });
    }
    QList<QByteArray> framesOf(int code) const {
        QList<QByteArray> out;
        for (const QByteArray& f : sim.requests())
            if (quint8(f.at(2)) == code)
                out << f;
        return out;
    }
    QStringList lines;
};

TEST(GeneralUpload, FramesMatchTheKnownExamplesAndEveryItemReports) {
    Upload u;
    ASSERT_TRUE(u.ok);
    const UploadOutcome out = u.run();
    EXPECT_TRUE(out.ok);
    EXPECT_EQ(out.finalMessage, "Send configuration to datalogger succesfuly!");
    EXPECT_EQ(u.framesOf(102).value(0), hex("FF FF 66 00 00 33 32 31 00 00 24"));
    EXPECT_EQ(u.framesOf(56).value(0), hex("FF FF 38 00 00 00 00 0C 1D 00 5B"));
    EXPECT_EQ(u.framesOf(61).value(0), hex("FF FF 3D 00 00 00 00 00 0F 00 40"));
    EXPECT_EQ(u.framesOf(7).value(0), hex("FF FF 07 00 16 00 07 00 01 00 65"));
    EXPECT_EQ(u.framesOf(7).size(), 7);
    EXPECT_EQ(u.state.settings.ePortnumber, "3101"); // the default stays in memory
    const QStringList expected{"Upload locationcode OK",        "Upload extensions OK",
                               "Upload Start/Stop Sunday OK",   "Upload Start/Stop Monday OK",
                               "Upload Start/Stop Tuesday OK",  "Upload Start/Stop Wednesday OK",
                               "Upload Start/Stop Thursday OK", "Upload Start/Stop Friday OK",
                               "Upload Start/Stop Saterday OK", "Upload Interval 15 minute OK",
                               "Upload IP address OK",          "Upload Subnetmask OK",
                               "Upload Gateway address OK",     "Upload Port number OK"};
    EXPECT_EQ(u.lines, expected);
    EXPECT_EQ(u.sim.state().locationCode, "123");
    EXPECT_EQ(u.sim.state().subnetmask, (std::array<quint8, 4>{255, 255, 0, 0}));
}

TEST(GeneralUpload, TextBufferHoldsOnlyTheCurrentText) {
    Upload u;
    u.state.settings.LocationCode = "ABCDEFGHIJ"; // exactly ten
    u.state.settings.LocationName = "xy";
    u.state.settings.eExt[0] = "123456";
    u.run();
    const auto code = u.framesOf(102);
    ASSERT_EQ(code.size(), 3);
    EXPECT_EQ(code[0].mid(3, 6), QByteArray("EDCBA\0", 6));
    EXPECT_EQ(code[1].mid(3, 6), QByteArray("JIHGF\x01", 6));
    EXPECT_EQ(code[2].mid(3, 6), QByteArray("\0\0\0\0\0\x02", 6));
    EXPECT_EQ(u.framesOf(104).value(0).mid(3, 6), QByteArray("\0\0\0yx\0", 6));
    EXPECT_EQ(u.framesOf(108).value(0).mid(3, 6), QByteArray("654321"));
    EXPECT_EQ(u.sim.state().locationName, "xy");
}

TEST(GeneralUpload, HighPortsGoUnsignedAndBadPortsFailWithoutAFrame) {
    Upload u;
    u.state.settings.ePortnumber = "40000";
    EXPECT_TRUE(u.run().ok);
    EXPECT_EQ(u.sim.state().port, 40000);
    for (const char* bad : {"65536", "-1", "31o1"}) {
        u.sim.clearLog();
        u.state.settings.ePortnumber = bad;
        const UploadOutcome out = u.run();
        EXPECT_FALSE(out.ok) << bad;
        EXPECT_EQ(u.lines.last(), "Upload Port Number FAILD") << bad;
        EXPECT_TRUE(u.framesOf(56).isEmpty()) << bad;
        EXPECT_EQ(out.finalMessage, "Send configuration failed!");
    }
}

TEST(GeneralUpload, BadOctetFailsItsItemWithAReasonAndNothingOfItIsSent) {
    Upload u;
    u.state.settings.eSubnetmask = {"255", "255", "300"};
    const UploadOutcome out = u.run();
    EXPECT_FALSE(out.ok);
    EXPECT_TRUE(u.framesOf(53).isEmpty());
    EXPECT_TRUE(u.framesOf(54).isEmpty()); // the items after it are skipped
    EXPECT_TRUE(u.framesOf(56).isEmpty());
    ASSERT_GE(u.lines.size(), 2);
    EXPECT_EQ(u.lines[u.lines.size() - 2], "Upload Subnetmask FAILED");
    EXPECT_EQ(u.lines.last(), "Subnetmask not sent: octet 3 \"300\" is not a number from 0 to 255");
    u.state.settings.eSubnetmask = {"255", "255", "0", "0"};
    u.state.settings.eGateway = {"10", "0", "0"};
    u.run();
    EXPECT_EQ(u.lines.last(), "Gateway address not sent: octet 4 is missing");
    EXPECT_EQ(u.lines[u.lines.size() - 2], "Upload Gateway address FAILED");
}

TEST(GeneralUpload, ValuesThatCannotTravelStopTheSequenceNamingTheField) {
    struct Case {
        std::function<void(GeneralSettings&)> set;
        QString field;
    };
    const QList<Case> cases{
        {[](GeneralSettings& s) { s.LocationName = "ABCDEFGHIJK"; }, "Location name"},
        {[](GeneralSettings& s) { s.eExt[2] = "1234567"; }, "Extension 3"},
        {[](GeneralSettings& s) { s.Days[3] = "0700220"; }, "Start/Stop Wednesday"},
        {[](GeneralSettings& s) { s.Interval = "x"; }, "Interval"}};
    for (const Case& c : cases) {
        Upload u;
        c.set(u.state.settings);
        const UploadOutcome out = u.run({true, true, false}, [](int) { return StepResult::Done; });
        EXPECT_TRUE(out.stopped) << c.field.toStdString();
        EXPECT_TRUE(out.finalMessage.isEmpty());
        EXPECT_TRUE(u.op.lastText().startsWith(c.field)) << u.op.lastText().toStdString();
        EXPECT_TRUE(u.framesOf(56).isEmpty());
        EXPECT_EQ(u.op.busyDepth(), 0);
    }
}

TEST(GeneralUpload, NakedCodeSkipsTheRestButWritesTheExtensionsLine) {
    Upload u;
    u.sim.faults().nakCodes = {102};
    const UploadOutcome out = u.run();
    EXPECT_FALSE(out.ok);
    EXPECT_EQ(u.lines, (QStringList{"Upload locationcode FAILED", "Upload extensions FAILED"}));
    EXPECT_EQ(u.framesOf(102).size(), 1);
    EXPECT_TRUE(u.framesOf(108).isEmpty());
    EXPECT_TRUE(u.framesOf(7).isEmpty());
}

TEST(GeneralUpload, FailedDayAndIntervalKeepTheChainGoing) {
    Upload u;
    u.sim.faults().nakCodes = {7, 61};
    const UploadOutcome out = u.run();
    EXPECT_TRUE(out.ok);
    EXPECT_TRUE(u.lines.contains("Upload Start/Stop Sunday FAILED"));
    EXPECT_TRUE(u.lines.contains("Upload Start/Stop Saterday FAILED"));
    EXPECT_TRUE(u.lines.contains("Upload Interval 15 FAILED"));
    EXPECT_EQ(u.lines.last(), "Upload Port number OK");
}

TEST(UploadSequence, FinalMessageFollowsTheLastStep) {
    struct Case {
        UploadChoice choice;
        bool codeFails, hwOk;
        const char* expected;
    };
    const QList<Case> cases{{{false, false, false}, false, true, kSendFailedText},
                            {{false, false, true}, false, true, kSendDoneText},
                            {{true, true, false}, true, true, kSendDoneText},
                            {{true, false, true}, false, false, kSendFailedText},
                            {{true, false, false}, true, true, kSendFailedText}};
    for (const Case& c : cases) {
        Upload u;
        if (c.codeFails)
            u.sim.faults().nakCodes = {102};
        QList<int> asked;
        const UploadOutcome out = u.run(c.choice, [&](int hw) {
            asked << hw;
            return c.hwOk ? StepResult::Done : StepResult::Failed;
        });
        EXPECT_EQ(out.finalMessage, c.expected);
        EXPECT_EQ(asked.contains(1), c.choice.hw1);
        EXPECT_EQ(asked.contains(2), c.choice.hw2);
        EXPECT_EQ(u.lines.isEmpty(), !c.choice.general);
    }
}

TEST(UploadSequence, SerialQuestionFollowsTheSubstringRule) {
    Upload u;
    u.state.settings.eSerialnumber = "2345"; // part of the logger's 12345678
    u.run();
    EXPECT_EQ(u.op.questions(), 0);
    u.state.settings.eSerialnumber = "99";
    u.sim.clearLog();
    const UploadOutcome out = u.run(); // No is the scripted default
    EXPECT_TRUE(out.declined);
    EXPECT_EQ(u.op.questions(), 1);
    EXPECT_EQ(u.sim.requestCodes(), QList<int>{59}); // only the serial-number read
    u.op.answer({true});
    EXPECT_TRUE(u.run().ok);
}

// The highway step runs between the general part and the read-back, so a step that changes
// the simulated logger's settings stands for a logger that did not keep what it acknowledged.
TEST(UploadVerify, ReportsEverySettingTheLoggerHoldsOtherwise) {
    Upload u;
    const UploadChoice verify{true, true, false, true};
    const auto keep = [](int) { return StepResult::Done; };
    UploadOutcome out = u.run(verify, keep);
    EXPECT_EQ(out.finalMessage, "Send configuration to datalogger succesfuly! (verified)");
    EXPECT_EQ(u.lines.last(), "Verify OK: the logger holds every setting sent");
    EXPECT_EQ(u.lines.size(), 15) << u.lines.join('|').toStdString();

    out = u.run(verify, [&u](int) {
        u.sim.state().locationCode = "999";
        u.sim.state().locationName = "Other"; // the upload leaves an empty name out
        u.sim.state().subnetmask = {255, 0, 0, 0};
        u.sim.faults().nakCodes = {55}; // the port read
        return StepResult::Done;
    });
    EXPECT_FALSE(out.ok);
    EXPECT_EQ(out.finalMessage, "Send configuration failed!");
    EXPECT_EQ(u.lines.mid(14),
              (QStringList{"Verify Port number: no answer from the logger",
                           "Verify LocationCode differs: sent \"123\", logger holds \"999\"",
                           "Verify eSubnetmask differs: sent \"255.255.0.0\", logger holds "
                           "\"255.0.0.0\"",
                           "Verify FAILED: 2 setting(s) differ, 1 not read back"}));
    EXPECT_EQ(u.state.settings.Interval, "15"); // the read-back changes no setting
}

TEST(UploadVerify, WithoutGeneralSettingsOrALoggerNothingIsCalledVerified) {
    Upload u;
    UploadOutcome out = u.run({false, true, false, true}, [](int) { return StepResult::Done; });
    EXPECT_EQ(out.finalMessage, "Send configuration to datalogger succesfuly!");
    EXPECT_EQ(u.lines, QStringList{"Verify: no general settings were sent; nothing to read back"});

    out = u.run({true, true, false, true}, [&u](int) {
        u.state.settings.Portnumber = QString::number(closedPort()); // the logger is gone
        return StepResult::Done;
    });
    EXPECT_EQ(out.finalMessage, "Send configuration failed!");
    EXPECT_EQ(u.lines.last(), "Verify FAILED: the settings could not be read back");
    EXPECT_TRUE(u.op.lastText().startsWith("Connection with Data logger failed"));
}

TEST(UploadSequence, ACancelledHighwayFileEndsTheSequence) {
    Upload u;
    QList<int> asked;
    const UploadOutcome out = u.run({false, true, true, true}, [&](int hw) {
        asked << hw;
        return StepResult::Cancelled;
    });
    EXPECT_EQ(asked, QList<int>{1});
    EXPECT_EQ(out.finalMessage, "Send configuration failed!");
    EXPECT_TRUE(u.lines.isEmpty()); // no read-back after a cancel
}

} // namespace
} // namespace nodalyx::test
