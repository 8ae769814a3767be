#include "UploadSequence.h"
#include "LinkHarness.h"
#include "NewLocation.h"

#include <gtest/gtest.h>

namespace nodalyx::test {
namespace {

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
    // Runs the upload; `files` (when set) collects the highway files asked for.
    UploadOutcome run(UploadChoice choice = {true, false, false}, HighwayStep hw = {},
                      Cancellation* cancel = nullptr, const QString& cancelAfter = {}) {
        lines.clear();
        return UploadConfiguration(
            state, *link, op, choice, hw,
            [this, cancel, cancelAfter](const QString& l) {
                lines << l;
                if (cancel && l == cancelAfter) {
                    cancel->request();
                    requestsAtCancel = sim.requestCodes().size();
                }
            },
            cancel);
    }
    HighwayStep counted(StepResult result = StepResult::Done) {
        return [this, result](int hw) {
            files << hw;
            return StepOutcome(result);
        };
    }
    QList<QByteArray> framesOf(int code) const {
        QList<QByteArray> out;
        for (const QByteArray& f : sim.requests())
            if (quint8(f.at(2)) == code)
                out << f;
        return out;
    }
    // The line after `line` in the report, or "(missing)".
    QString after(const QString& line) const {
        const qsizetype i = lines.indexOf(line);
        return i >= 0 && i + 1 < lines.size() ? lines.at(i + 1) : QStringLiteral("(missing)");
    }
    QStringList lines;
    QList<int> files;
    qsizetype requestsAtCancel = -1;
};

// The frames themselves are frozen in the write requests' test.
TEST(GeneralUpload, EveryItemReportsAndAnEmptyPortSendsTheDefault) {
    Upload u;
    ASSERT_TRUE(u.ok);
    const UploadOutcome out = u.run();
    EXPECT_TRUE(out.ok);
    EXPECT_EQ(out.finalMessage, "Send configuration to datalogger succesfuly!");
    EXPECT_EQ(u.framesOf(56).value(0), fromHex("FF FF 38 00 00 00 00 0C 1D 00 5B"));
    EXPECT_EQ(u.state.settings.ePortnumber, "3101"); // the default stays in memory
    QStringList expected{"Upload locationcode OK", "Upload extensions OK"};
    for (const QString& day : u.state.DayNames)
        expected << "Upload Start/Stop " + day + " OK";
    expected << "Upload Interval 15 minute OK"
             << "Upload IP address OK"
             << "Upload Subnetmask OK"
             << "Upload Gateway address OK"
             << "Upload Port number OK";
    EXPECT_EQ(u.lines, expected);
}

// Each text goes in its three frames with nothing of the text before it.
TEST(GeneralUpload, TextBufferHoldsOnlyTheCurrentText) {
    Upload u;
    u.state.settings.LocationCode = "ABCDEFGHIJ"; // exactly ten
    u.state.settings.LocationName = "xy";
    u.state.settings.eExt[1] = "ABCDEFGH"; // eight: its first six travel
    u.run();
    EXPECT_EQ(u.framesOf(102).size(), 3);
    EXPECT_EQ(u.framesOf(104).value(0).mid(3, 6), QByteArray("\0\0\0yx\0", 6));
    EXPECT_EQ(u.after("Upload extensions OK"),
              "Extension 2 \"ABCDEFGH\" is longer than 6 characters; its first 6 were sent.");
    EXPECT_EQ(u.sim.state().locationName, "xy");
}

// A value that cannot be sent fails its own item with a line naming the field and the value;
// the chain then goes on as for a logger that did not acknowledge.
TEST(GeneralUpload, ValuesThatCannotBeSentFailTheirItemWithTheirReason) {
    const struct {
        std::function<void(GeneralSettings&)> set;
        QStringList lines; // in a row in the report
        int portFrames;    // whether the chain went on to the port
    } cases[] = {
        {[](GeneralSettings& s) { s.ePortnumber = "65536"; },
         {"Upload Port Number FAILD",
          "Port number \"65536\" is not a number from 0 to 65535; it was not sent"},
         0},
        {[](GeneralSettings& s) {
             s.eSubnetmask = {"255", "255", "300"};
         },
         {"Upload Subnetmask FAILED",
          "Subnetmask not sent: octet 3 \"300\" is not a number from 0 to 255",
          "Not sent after the failure above: Gateway address, Port number"},
         0},
        {[](GeneralSettings& s) { s.Interval = ""; },
         {"Set interval on remote site FAILED", "Upload Interval  FAILED",
          "Interval \"\" is not a number from 0 to 255; it was not sent", "Upload IP address OK"},
         1},
        {[](GeneralSettings& s) { s.Days[3] = "0700220"; },
         {"Upload Start/Stop Tuesday OK", "Set remote Start/Stop time FAILED",
          "Upload Start/Stop Wednesday FAILED",
          "Start/Stop Wednesday \"0700220\" is not eight digits hhmmhhmm; it was not sent",
          "Upload Start/Stop Thursday OK"},
         1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lines.first().toStdString());
        Upload u;
        c.set(u.state.settings);
        const UploadOutcome out = u.run({true, true, false}, u.counted());
        EXPECT_FALSE(out.ok);
        EXPECT_EQ(out.finalMessage, kSendFailedText);
        const qsizetype at = u.lines.indexOf(c.lines.first());
        EXPECT_EQ(u.lines.mid(at, c.lines.size()), c.lines) << u.lines.join('|').toStdString();
        EXPECT_EQ(u.framesOf(56).size(), c.portFrames);
        EXPECT_EQ(u.lines.last(), "Upload HW01.ini OK"); // the highway file still goes
        EXPECT_TRUE(u.op.messages().isEmpty());
    }
}

TEST(GeneralUpload, ATextLongerThanTenEndsTheRunWithItsReasonInTheReport) {
    Upload u;
    u.state.settings.LocationName = "Harbourside";
    const UploadOutcome out = u.run({true, true, false}, u.counted());
    const QString why =
        "Location name \"Harbourside\" is longer than 10 characters; nothing after it was sent.";
    EXPECT_TRUE(out.stopped);
    EXPECT_TRUE(out.finalMessage.isEmpty());
    EXPECT_EQ(u.lines, (QStringList{"Upload locationcode OK", why}));
    EXPECT_EQ(u.op.messages(), QStringList{why});
    EXPECT_TRUE(u.files.isEmpty());
    EXPECT_TRUE(u.framesOf(104).isEmpty());
}

TEST(GeneralUpload, NakedCodeSkipsTheRestButWritesTheExtensionsLine) {
    Upload u;
    u.sim.faults().nakCodes = {102};
    EXPECT_FALSE(u.run().ok);
    EXPECT_EQ(u.lines,
              (QStringList{"Upload locationcode FAILED",
                           "Location code \"123\": the logger refused it (NAK)",
                           "Upload extensions FAILED",
                           "Not sent after the failure above: extensions, Start/Stop times, "
                           "interval, IP address, Subnetmask, Gateway address, Port number"}));
    EXPECT_EQ(u.sim.requestCodes(), (QList<int>{59, 102}));
}

// A refused day goes on as the unsendable day above does.
TEST(GeneralUpload, AFailedIntervalKeepsTheChainGoingButFailsTheRun) {
    Upload u;
    u.sim.faults().nakCodes = {61};
    EXPECT_EQ(u.run().finalMessage, kSendFailedText);
    EXPECT_EQ(u.after("Upload Interval 15 FAILED"), "Interval \"15\": the logger refused it (NAK)");
    EXPECT_EQ(u.lines.last(), "Upload Port number OK");
}

TEST(GeneralUpload, ANewLocationUploadsAsItIs) {
    Upload u;
    u.state.settings = GeneralSettings{};
    applyNewLocationDefaults(u.state,
                             {"Fresh", 2, {}, "127.0.0.1", QString::number(u.sim.tcpPort())});
    EXPECT_TRUE(u.run().ok) << u.lines.join('|').toStdString();
    EXPECT_EQ(u.after("Upload Interval 30 minute OK"),
              "Upload IP address left out: the location holds no IP address");
    EXPECT_TRUE(u.framesOf(52).isEmpty());
    EXPECT_EQ(u.lines.size(), 16); // three texts, extensions, seven days, interval, 4 network
}

// Nothing ticked is no success; a failed file fails the run though the next one goes through.
TEST(UploadSequence, FinalMessageIsSuccessOnlyWhenEveryItemWentThrough) {
    Upload u;
    EXPECT_EQ(u.run({false, false, false}).finalMessage, kSendFailedText);
    const UploadOutcome out = u.run({false, true, true}, [&u](int hw) {
        u.files << hw;
        return StepOutcome(hw == 1 ? StepResult::Failed : StepResult::Done,
                           "Error in send file to Datalogger!");
    });
    EXPECT_FALSE(out.ok);
    EXPECT_EQ(out.finalMessage, kSendFailedText);
    EXPECT_EQ(u.lines, (QStringList{"Upload HW01.ini FAILED: Error in send file to Datalogger!",
                                    "Upload HW02.ini OK"}));
}

// Yes and the icon are checked by the counter read-out's and the transfer's tests.
TEST(UploadSequence, SerialQuestionFollowsTheSubstringRuleAndNamesBothNumbers) {
    Upload u;
    u.state.settings.eSerialnumber = "2345"; // part of the logger's 12345678
    u.run();
    EXPECT_EQ(u.op.questions(), 0);
    u.state.settings.eSerialnumber = "99";
    u.sim.clearLog();
    EXPECT_TRUE(u.run().declined); // No is the scripted default
    ASSERT_EQ(u.op.questions(), 1);
    EXPECT_EQ(u.op.shown().first().text,
              "Remote serialnumber not the same as local\r\n\r\nWould you continue?"
              "\r\n\r\nSerial number of the logger: \"12345678\"\r\n"
              "Serial number of the location: \"99\"");
    EXPECT_EQ(u.sim.requestCodes(), QList<int>{59}); // only the serial-number read
}

// An unreachable or silent logger costs one wait and one reason; nothing else is tried.
TEST(UploadSequence, ALoggerThatCannotBeReachedEndsTheRunAtOnceWithOneReason) {
    for (const bool silent : {false, true}) {
        Upload u;
        if (silent)
            u.sim.faults().silent = true;
        else
            u.state.settings.Portnumber = QString::number(closedPort());
        const UploadOutcome out = u.run({true, true, true, true}, u.counted());
        const QString why =
            "Connection with Datalogger failed: 127.0.0.1:" + u.state.settings.Portnumber +
            (silent ? ": no answer within 0.4 s" : ": connection refused");
        EXPECT_FALSE(out.ok);
        EXPECT_EQ(finalMessageText(out), "Send configuration failed!\r\n\r\n" + why);
        EXPECT_EQ(u.lines, QStringList{why});
        EXPECT_TRUE(u.op.messages().isEmpty()); // the caller shows the final message only
        EXPECT_TRUE(u.files.isEmpty());
        EXPECT_EQ(u.sim.requestCodes(), silent ? QList<int>{59} : QList<int>{});
    }
}

TEST(UploadSequence, CancelStopsAfterTheItemUnderWayAndSaysSo) {
    Upload u;
    Cancellation cancel;
    const UploadOutcome out =
        u.run({true, true, true}, u.counted(), &cancel, "Upload extensions OK");
    EXPECT_TRUE(out.cancelled);
    EXPECT_FALSE(out.ok);
    EXPECT_EQ(finalMessageText(out), "Send configuration failed!\r\n\r\nThe upload was cancelled.");
    EXPECT_TRUE(u.files.isEmpty());
    EXPECT_TRUE(u.framesOf(7).isEmpty());
    EXPECT_EQ(u.lines.mid(2),
              (QStringList{"Upload cancelled; not sent: Start/Stop times, interval, IP address, "
                           "Subnetmask, Gateway address, Port number",
                           "Upload HW01.ini not sent: cancelled",
                           "Upload HW02.ini not sent: cancelled"}));
    EXPECT_NE(u.link->transport().tcp().state(), QAbstractSocket::ConnectedState);
}

TEST(UploadSequence, ACancelDuringTheReadBackEndsItAndNothingIsCalledVerified) {
    Upload u;
    Cancellation cancel; // after the last item: the read-back next
    const UploadOutcome out =
        u.run({true, false, false, true}, {}, &cancel, "Upload Port number OK");
    EXPECT_TRUE(out.cancelled);
    EXPECT_FALSE(out.ok);
    EXPECT_EQ(u.lines.last(), "Verify cancelled: the settings were not all read back");
    EXPECT_LE(u.sim.requestCodes().size() - u.requestsAtCancel, 1); // the query under way at most
}

TEST(UploadSequence, ACancelledHighwayFileEndsTheSequence) {
    Upload u;
    const UploadOutcome out = u.run({false, true, true, true}, u.counted(StepResult::Cancelled));
    EXPECT_EQ(u.files, QList<int>{1});
    EXPECT_EQ(out.finalMessage, "Send configuration failed!");
    EXPECT_EQ(u.lines, (QStringList{"Upload HW01.ini cancelled",
                                    "Upload HW02.ini not sent: cancelled"})); // no read-back
}

// The highway step runs between the general part and the read-back, so a step that changes
// the simulated logger's settings stands for a logger that did not keep what it acknowledged.
TEST(UploadVerify, ReportsEverySettingTheLoggerHoldsOtherwise) {
    Upload u;
    const UploadChoice verify{true, true, false, true};
    UploadOutcome out = u.run(verify, u.counted());
    EXPECT_EQ(out.finalMessage, "Send configuration to datalogger succesfuly! (verified)");
    EXPECT_EQ(u.lines.last(), "Verify OK: the logger holds every setting sent");
    EXPECT_EQ(u.lines.size(), 16) << u.lines.join('|').toStdString();

    out = u.run(verify, [&u](int) {
        u.sim.state().locationCode = "999";
        u.sim.state().locationName = "Other"; // the upload leaves an empty name out
        u.sim.state().subnetmask = {255, 0, 0, 0};
        u.sim.faults().nakCodes = {55}; // the port read
        return StepOutcome(StepResult::Done);
    });
    EXPECT_EQ(out.finalMessage, "Send configuration failed!");
    EXPECT_EQ(u.lines.mid(15),
              (QStringList{"Verify Port number: no answer from the logger",
                           "Verify LocationCode differs: sent \"123\", logger holds \"999\"",
                           "Verify eSubnetmask differs: sent \"255.255.0.0\", logger holds "
                           "\"255.0.0.0\"",
                           "Verify FAILED: 2 setting(s) differ, 1 not read back"}));
}

// 20 minutes is no item of the window's interval box, which shows 30 for it: the read-back
// compares the minutes the logger holds, so a correct upload is not called failed.
TEST(UploadVerify, TheLocationInMemoryKeepsTheValuesSentAndAnyIntervalIsVerified) {
    Upload u;
    u.state.settings.Interval = "20";
    EXPECT_TRUE(u.run({true, false, false, true}).ok) << u.lines.join('|').toStdString();
    EXPECT_EQ(u.sim.state().interval(), 20); // the logger took it
    EXPECT_EQ(u.state.settings.Interval, "20");
    EXPECT_EQ(u.lines.filter(QRegularExpression("^Verify")).last(),
              "Verify OK: the logger holds every setting sent");
}

TEST(UploadVerify, ComparesOnlyWhatTheLoggerAcknowledged) {
    Upload u;
    u.state.settings.eIPaddress = {"10", "0", "x", "5"}; // fails; nothing after it is sent
    u.sim.state().port = 4000;                           // differs, but was never sent
    EXPECT_FALSE(u.run({true, false, false, true}).ok);
    EXPECT_EQ(u.lines.filter(QRegularExpression("^Verify")),
              (QStringList{"Verify did not check (not sent or not acknowledged): IP address, "
                           "Subnetmask, Gateway address, Port number",
                           "Verify OK: the logger holds every setting sent"}))
        << u.lines.join('|').toStdString();
}

TEST(UploadVerify, WithoutGeneralSettingsOrALoggerNothingIsCalledVerified) {
    Upload u;
    UploadOutcome out = u.run({false, true, false, true}, u.counted());
    EXPECT_EQ(out.finalMessage, "Send configuration to datalogger succesfuly!");
    EXPECT_EQ(u.lines,
              (QStringList{"Upload HW01.ini OK",
                           "Verify: no general settings were sent; nothing to read back"}));

    out = u.run({true, true, false, true}, [&u](int) {
        u.state.settings.Portnumber = QString::number(closedPort()); // the logger is gone
        return StepOutcome(StepResult::Done);
    });
    EXPECT_EQ(out.finalMessage, "Send configuration failed!");
    EXPECT_EQ(u.lines.last(), "Verify FAILED: the settings could not be read back");
    EXPECT_TRUE(u.op.lastText().startsWith("Connection with Data logger failed"));
}

} // namespace
} // namespace nodalyx::test
