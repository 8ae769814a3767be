#include "UploadSequence.h"
#include "LinkHarness.h"
#include "NewLocation.h"

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
    // The line after `line` in the report, or "(missing)".
    QString after(const QString& line) const {
        const qsizetype i = lines.indexOf(line);
        return i >= 0 && i + 1 < lines.size() ? lines.at(i + 1) : QStringLiteral("(missing)");
    }
    QStringList lines;
};

const auto kHighwayDone = [](int) { return StepOutcome(StepResult::Done); };

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

// The frames themselves are frozen in the write requests' test; here the upload sends each text
// in its three frames and nothing of the text before it.
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
    struct Case {
        const char* what;
        std::function<void(GeneralSettings&)> set;
        QStringList lines; // in a row in the report
        int portFrames;    // whether the chain went on to the port
    };
    const QList<Case> cases{
        {"port too large",
         [](GeneralSettings& s) { s.ePortnumber = "65536"; },
         {"Upload Port Number FAILD",
          "Port number \"65536\" is not a number from 0 to 65535; it was not sent"},
         0},
        {"negative port",
         [](GeneralSettings& s) { s.ePortnumber = "-1"; },
         {"Upload Port Number FAILD",
          "Port number \"-1\" is not a number from 0 to 65535; it was not sent"},
         0},
        {"bad octet",
         [](GeneralSettings& s) {
             s.eSubnetmask = {"255", "255", "300"};
         },
         {"Upload Subnetmask FAILED",
          "Subnetmask not sent: octet 3 \"300\" is not a number from 0 to 255",
          "Not sent after the failure above: Gateway address, Port number"},
         0},
        {"missing octet",
         [](GeneralSettings& s) {
             s.eGateway = {"10", "0", "0"};
         },
         {"Upload Gateway address FAILED", "Gateway address not sent: octet 4 is missing",
          "Not sent after the failure above: Port number"},
         0},
        {"empty interval",
         [](GeneralSettings& s) { s.Interval = ""; },
         {"Set interval on remote site FAILED", "Upload Interval  FAILED",
          "Interval \"\" is not a number from 0 to 255; it was not sent", "Upload IP address OK"},
         1},
        {"short day",
         [](GeneralSettings& s) { s.Days[3] = "0700220"; },
         {"Upload Start/Stop Tuesday OK", "Set remote Start/Stop time FAILED",
          "Upload Start/Stop Wednesday FAILED",
          "Start/Stop Wednesday \"0700220\" is not eight digits hhmmhhmm; it was not sent",
          "Upload Start/Stop Thursday OK"},
         1}};
    for (const Case& c : cases) {
        Upload u;
        c.set(u.state.settings);
        QList<int> files;
        const UploadOutcome out = u.run({true, true, false}, [&files](int hw) {
            files << hw;
            return StepOutcome(StepResult::Done);
        });
        EXPECT_FALSE(out.ok) << c.what;
        EXPECT_EQ(out.finalMessage, kSendFailedText) << c.what;
        const qsizetype at = u.lines.indexOf(c.lines.first());
        EXPECT_EQ(u.lines.mid(at, c.lines.size()), c.lines)
            << c.what << ": " << u.lines.join('|').toStdString();
        EXPECT_EQ(u.framesOf(56).size(), c.portFrames) << c.what;
        EXPECT_EQ(files, QList<int>{1}) << c.what; // the highway file still goes
        EXPECT_EQ(u.lines.last(), "Upload HW01.ini OK") << c.what;
        EXPECT_TRUE(u.op.messages().isEmpty()) << c.what;
    }
}

TEST(GeneralUpload, ATextLongerThanTenEndsTheRunWithItsReasonInTheReport) {
    Upload u;
    u.state.settings.LocationName = "Harbourside";
    QList<int> files;
    const UploadOutcome out = u.run({true, true, false}, [&files](int hw) {
        files << hw;
        return StepOutcome(StepResult::Done);
    });
    const QString why =
        "Location name \"Harbourside\" is longer than 10 characters; nothing after it was sent.";
    EXPECT_TRUE(out.stopped);
    EXPECT_TRUE(out.finalMessage.isEmpty());
    EXPECT_EQ(u.lines, (QStringList{"Upload locationcode OK", why}));
    EXPECT_EQ(u.op.messages(), QStringList{why});
    EXPECT_TRUE(files.isEmpty());
    EXPECT_TRUE(u.framesOf(104).isEmpty());
    EXPECT_EQ(u.op.busyDepth(), 0);
}

TEST(GeneralUpload, NakedCodeSkipsTheRestButWritesTheExtensionsLine) {
    Upload u;
    u.sim.faults().nakCodes = {102};
    const UploadOutcome out = u.run();
    EXPECT_FALSE(out.ok);
    EXPECT_EQ(u.lines,
              (QStringList{"Upload locationcode FAILED",
                           "Location code \"123\": the logger refused it (NAK)",
                           "Upload extensions FAILED",
                           "Not sent after the failure above: extensions, Start/Stop times, "
                           "interval, IP address, Subnetmask, Gateway address, Port number"}));
    EXPECT_EQ(u.framesOf(102).size(), 1);
    EXPECT_TRUE(u.framesOf(108).isEmpty());
    EXPECT_TRUE(u.framesOf(7).isEmpty());
}

TEST(GeneralUpload, FailedDayAndIntervalKeepTheChainGoingButFailTheRun) {
    Upload u;
    u.sim.faults().nakCodes = {7, 61};
    const UploadOutcome out = u.run();
    EXPECT_FALSE(out.ok);
    EXPECT_EQ(out.finalMessage, kSendFailedText);
    EXPECT_EQ(u.after("Upload Start/Stop Sunday FAILED"),
              "Start/Stop Sunday \"07002200\": the logger refused it (NAK)");
    EXPECT_TRUE(u.lines.contains("Upload Start/Stop Saterday FAILED"));
    EXPECT_EQ(u.after("Upload Interval 15 FAILED"), "Interval \"15\": the logger refused it (NAK)");
    EXPECT_EQ(u.lines.last(), "Upload Port number OK");
}

TEST(GeneralUpload, ANewLocationUploadsAsItIs) {
    Upload u;
    u.state.settings = GeneralSettings{};
    applyNewLocationDefaults(u.state,
                             {"Fresh", 2, {}, "127.0.0.1", QString::number(u.sim.tcpPort())});
    const UploadOutcome out = u.run();
    EXPECT_TRUE(out.ok) << u.lines.join('|').toStdString();
    EXPECT_TRUE(u.lines.contains("Upload Interval 30 minute OK"));
    EXPECT_EQ(u.after("Upload Interval 30 minute OK"),
              "Upload IP address left out: the location holds no IP address");
    EXPECT_TRUE(u.framesOf(52).isEmpty());
    EXPECT_EQ(u.lines.last(), "Upload Port number OK");
    EXPECT_EQ(u.lines.size(), 16); // three texts, extensions, seven days, interval, 4 network
}

TEST(UploadSequence, FinalMessageIsSuccessOnlyWhenEveryItemWentThrough) {
    struct Case {
        UploadChoice choice;
        bool codeFails;
        QList<StepResult> files; // results of the ticked files, in order
        const char* expected;
    };
    using R = StepResult;
    const QList<Case> cases{{{false, false, false}, false, {}, kSendFailedText},
                            {{false, false, true}, false, {R::Done}, kSendDoneText},
                            {{true, true, false}, true, {R::Done}, kSendFailedText},
                            {{true, false, true}, false, {R::Failed}, kSendFailedText},
                            {{false, true, true}, false, {R::Failed, R::Done}, kSendFailedText},
                            {{true, true, true}, false, {R::Done, R::Done}, kSendDoneText}};
    for (const Case& c : cases) {
        Upload u;
        if (c.codeFails)
            u.sim.faults().nakCodes = {102};
        QList<int> asked;
        const UploadOutcome out = u.run(c.choice, [&](int hw) {
            asked << hw;
            return StepOutcome(c.files.value(asked.size() - 1),
                               "Error in send file to Datalogger!");
        });
        EXPECT_EQ(out.finalMessage, c.expected);
        EXPECT_EQ(out.ok, c.expected == kSendDoneText);
        EXPECT_EQ(asked.contains(1), c.choice.hw1);
        EXPECT_EQ(asked.contains(2), c.choice.hw2);
        for (int i = 0; i < asked.size(); ++i) {
            const QString file = QStringLiteral("HW0%1.ini").arg(asked[i]);
            EXPECT_TRUE(u.lines.contains(c.files[i] == R::Done
                                             ? "Upload " + file + " OK"
                                             : "Upload " + file +
                                                   " FAILED: Error in send file to Datalogger!"))
                << u.lines.join('|').toStdString();
        }
    }
}

TEST(UploadSequence, SerialQuestionFollowsTheSubstringRuleAndNamesBothNumbers) {
    Upload u;
    u.state.settings.eSerialnumber = "2345"; // part of the logger's 12345678
    u.run();
    EXPECT_EQ(u.op.questions(), 0);
    u.state.settings.eSerialnumber = "99";
    u.sim.clearLog();
    const UploadOutcome out = u.run(); // No is the scripted default
    EXPECT_TRUE(out.declined);
    EXPECT_EQ(u.op.questions(), 1);
    const auto& asked = u.op.shown().first();
    EXPECT_EQ(asked.text, "Remote serialnumber not the same as local\r\n\r\nWould you continue?"
                          "\r\n\r\nSerial number of the logger: \"12345678\"\r\n"
                          "Serial number of the location: \"99\"");
    EXPECT_EQ(asked.icon, Operator::Icon::Warning);
    EXPECT_EQ(asked.defaultAnswer, Operator::Answer::No);
    EXPECT_EQ(u.sim.requestCodes(), QList<int>{59}); // only the serial-number read
    u.op.answer({true});
    EXPECT_TRUE(u.run().ok);
}

// An unreachable or silent logger costs one wait and one reason; nothing else is tried.
TEST(UploadSequence, ALoggerThatCannotBeReachedEndsTheRunAtOnceWithOneReason) {
    for (const bool silent : {false, true}) {
        Upload u;
        if (silent)
            u.sim.faults().silent = true;
        else
            u.state.settings.Portnumber = QString::number(closedPort());
        int files = 0;
        const UploadOutcome out = u.run({true, true, true, true}, [&files](int) {
            ++files;
            return StepOutcome(StepResult::Done);
        });
        const QString why =
            "Connection with Datalogger failed: 127.0.0.1:" + u.state.settings.Portnumber +
            (silent ? ": no answer within 0.4 s" : ": connection refused");
        EXPECT_FALSE(out.ok);
        EXPECT_EQ(out.reason, why);
        EXPECT_EQ(finalMessageText(out), "Send configuration failed!\r\n\r\n" + why);
        EXPECT_EQ(u.lines, QStringList{why});
        EXPECT_TRUE(u.op.messages().isEmpty()); // the caller shows the final message only
        EXPECT_EQ(files, 0);
        EXPECT_EQ(u.sim.requestCodes(), silent ? QList<int>{59} : QList<int>{});
    }
}

TEST(UploadSequence, CancelStopsAfterTheItemUnderWayAndSaysSo) {
    Upload u;
    Cancellation cancel;
    int files = 0;
    const UploadOutcome out = UploadConfiguration(
        u.state, *u.link, u.op, {true, true, true},
        [&files](int) {
            ++files;
            return StepOutcome(StepResult::Done);
        },
        [&](const QString& l) {
            u.lines << l;
            if (l == "Upload extensions OK")
                cancel.request();
        },
        &cancel);
    EXPECT_TRUE(out.cancelled);
    EXPECT_FALSE(out.ok);
    EXPECT_EQ(out.finalMessage, kSendFailedText);
    EXPECT_EQ(out.reason, "The upload was cancelled.");
    EXPECT_EQ(files, 0);
    EXPECT_TRUE(u.framesOf(7).isEmpty());
    EXPECT_EQ(u.lines.mid(2),
              (QStringList{"Upload cancelled; not sent: Start/Stop times, interval, IP address, "
                           "Subnetmask, Gateway address, Port number",
                           "Upload HW01.ini not sent: cancelled",
                           "Upload HW02.ini not sent: cancelled"}));
    EXPECT_FALSE(u.link->transport().tcp().state() == QAbstractSocket::ConnectedState);
}

TEST(UploadSequence, ACancelDuringTheReadBackEndsItAndNothingIsCalledVerified) {
    Upload u;
    Cancellation cancel;
    qsizetype requestsAtCancel = -1;
    const UploadOutcome out = UploadConfiguration(
        u.state, *u.link, u.op, {true, false, false, true}, {},
        [&](const QString& l) {
            u.lines << l;
            if (l == "Upload Port number OK") { // the last item is through: the read-back next
                cancel.request();
                requestsAtCancel = u.sim.requestCodes().size();
            }
        },
        &cancel);
    EXPECT_TRUE(out.cancelled);
    EXPECT_FALSE(out.ok);
    EXPECT_EQ(finalMessageText(out), "Send configuration failed!\r\n\r\nThe upload was cancelled.");
    EXPECT_EQ(u.lines.last(), "Verify cancelled: the settings were not all read back");
    EXPECT_LE(u.sim.requestCodes().size() - requestsAtCancel, 1); // the query under way at most
}

// The highway step runs between the general part and the read-back, so a step that changes
// the simulated logger's settings stands for a logger that did not keep what it acknowledged.
TEST(UploadVerify, ReportsEverySettingTheLoggerHoldsOtherwise) {
    Upload u;
    const UploadChoice verify{true, true, false, true};
    UploadOutcome out = u.run(verify, kHighwayDone);
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
    EXPECT_FALSE(out.ok);
    EXPECT_EQ(out.finalMessage, "Send configuration failed!");
    EXPECT_EQ(u.lines.mid(15),
              (QStringList{"Verify Port number: no answer from the logger",
                           "Verify LocationCode differs: sent \"123\", logger holds \"999\"",
                           "Verify eSubnetmask differs: sent \"255.255.0.0\", logger holds "
                           "\"255.0.0.0\"",
                           "Verify FAILED: 2 setting(s) differ, 1 not read back"}));
    EXPECT_EQ(u.state.settings.Interval, "15"); // the read-back changes no setting
}

// The read-back decodes the logger's interval as the window does (20 minutes show as "30"); the
// location in memory keeps the value sent, so that a later save stores what the operator chose.
TEST(UploadVerify, TheLocationInMemoryKeepsTheValuesSent) {
    Upload u;
    u.state.settings.Interval = "20";
    u.run({true, false, false, true});
    EXPECT_EQ(u.sim.state().interval(), 20); // the logger took it
    EXPECT_EQ(u.state.settings.Interval, "20");
}

TEST(UploadVerify, ComparesOnlyWhatTheLoggerAcknowledged) {
    Upload u;
    u.state.settings.eIPaddress = {"10", "0", "x", "5"}; // fails; nothing after it is sent
    u.sim.state().port = 4000;                           // differs, but was never sent
    const UploadOutcome out = u.run({true, false, false, true});
    EXPECT_FALSE(out.ok);
    const QStringList verifyLines = u.lines.filter(QRegularExpression("^Verify"));
    EXPECT_EQ(verifyLines,
              (QStringList{"Verify did not check (not sent or not acknowledged): IP address, "
                           "Subnetmask, Gateway address, Port number",
                           "Verify OK: the logger holds every setting sent"}))
        << u.lines.join('|').toStdString();
}

TEST(UploadVerify, WithoutGeneralSettingsOrALoggerNothingIsCalledVerified) {
    Upload u;
    UploadOutcome out = u.run({false, true, false, true}, kHighwayDone);
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

TEST(UploadSequence, ACancelledHighwayFileEndsTheSequence) {
    Upload u;
    QList<int> asked;
    const UploadOutcome out = u.run({false, true, true, true}, [&](int hw) {
        asked << hw;
        return StepOutcome(StepResult::Cancelled);
    });
    EXPECT_EQ(asked, QList<int>{1});
    EXPECT_EQ(out.finalMessage, "Send configuration failed!");
    EXPECT_EQ(u.lines, (QStringList{"Upload HW01.ini cancelled",
                                    "Upload HW02.ini not sent: cancelled"})); // no read-back
}

} // namespace
} // namespace nodalyx::test
