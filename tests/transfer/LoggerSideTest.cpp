// The simulated logger's side: frames and packets in one stream, its file and upload answers.
#include "FileResponder.h"
#include "FrameParser.h"
#include "TempDir.h"
#include "TransferPacket.h"

#include <gtest/gtest.h>

using namespace nodalyx;
using namespace nodalyx::sim;
using namespace nodalyx::test;

namespace {
SimPacket upload(quint32 number, const QByteArray& text1 = {}, const QByteArray& text2 = {}) {
    return {SimPacket::kUpload, number, text1, text2};
}
} // namespace

TEST(LoggerSideTest, ItSplitsFramesFromPackets) {
    FrameParser parser;
    const QByteArray frame = fromHex("FF FF 3B 00 00 00 00 00 00 00 49");
    const QByteArray packet = fromHex("02 06 00 00 00 01 00 00 00 00 E8 AB");
    QByteArray damaged = packet;
    damaged[11] = 0;
    // Fed byte by byte: noise, a damaged packet, a 02 before an unknown code.
    const QByteArray stream = "ab" + packet + frame + damaged + "\x02\x63" + frame + packet;
    QList<QByteArray> found;
    for (char c : stream)
        found += parser.feed(QByteArray(1, c));
    EXPECT_EQ(found, QList<QByteArray>({packet, frame, frame, packet}));
    EXPECT_EQ(parser.badPackets(), 1);
}

TEST(LoggerSideTest, FileRequestsAndBlocks) {
    TempDir dir;
    dir.write("HW01.ini", "ab\r\ncd\r\n"); // put there by hand with CR LF: the text is ab LF cd LF
    LoggerFiles files;
    files.setFolder(dir.path());
    FileResponder r(files);
    r.setBlockSize(4);
    const std::pair<SimPacket, SimPacket> exchanges[] = {
        {{11, 0, "c:\\NVQ\\hw01.INI", {}}, {11, 0, "8", "2"}}, // 6 characters and CR LF
        {{6, 2, {}, {}}, {11, 2, "d\n\r\n", {}}},
        {{6, 3, {}, {}}, {21, 3, "NAK", {}}},
        {{11, 0, "C:\\nvq\\HW02.ini", {}}, {11, 0, "NAK", {}}},   // no such file
        {{6, 1, {}, {}}, {21, 1, "NAK", {}}},                     // nothing requested
        {{11, 0, "C:\\other\\HW01.ini", {}}, {11, 0, "NAK", {}}}, // not in C:\nvq
        {{11, 0, "C:\\nvq\\..\\x", {}}, {11, 0, "NAK", {}}},
    };
    for (const auto& [request, reply] : exchanges) {
        const SimPacket got = r.respond(request).reply;
        EXPECT_EQ(got.encode(), reply.encode())
            << request.text1.toStdString() << " " << request.number << ": " << got.code << " "
            << got.text1.toStdString();
    }
}

// Stored at once whole (resends and lost answers: FaultMatrixTest), never outside its folder.
TEST(LoggerSideTest, UploadsAreStoredOnlyWholeAndInTheirFolder) {
    TempDir dir;
    LoggerFiles files;
    files.setFolder(dir.path());
    FileResponder r(files);
    auto say = [&r](const SimPacket& p) { return r.respond(p).reply.text1; };
    EXPECT_EQ(say(upload(0, "c:\\nvq\\HW02.ini")), "ACK");
    EXPECT_EQ(say(upload(1, "-1", "2")), "NAK");
    EXPECT_EQ(say(upload(1, "9", "2")), "ACK");
    EXPECT_EQ(say(upload(2, "short")), "NAK"); // 5 characters, 9 announced: nothing stored
    EXPECT_FALSE(dir.exists("HW02.ini"));
    EXPECT_EQ(say(upload(0, "c:\\nvq\\sub/HW02.ini")), "NAK");
}
