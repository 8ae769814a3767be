// Damaged or hostile location and highway files: the work stays bounded and the size limit holds
// to the byte.
#include "Fixtures.h"
#include "LocationFileCodec.h"
#include "LocationStore.h"
#include "TextFile.h"

#include <QElapsedTimer>
#include <algorithm>

using namespace nodalyx;

namespace {

// The shortest of a few decodes of bytes, in nanoseconds; the settings of the last one in s.
qint64 fastestDecode(const QByteArray& bytes, GeneralSettings& s, int runs) {
    qint64 best = std::numeric_limits<qint64>::max();
    for (int i = 0; i < runs; ++i) {
        s = GeneralSettings{};
        QElapsedTimer timer;
        timer.start();
        const LocationReadResult result = decodeLocationFile(bytes, s);
        best = std::min(best, std::max<qint64>(timer.nsecsElapsed(), 1));
        EXPECT_TRUE(result.headerOk && !result.failure);
    }
    return best;
}

// A file of exactly `size` bytes: `head`, then a line `key` + filler up to the size.
QByteArray fileOfSize(const QByteArray& head, const QByteArray& key, qint64 size) {
    const qint64 filler = size - head.size() - key.size() - 2;
    return head + key + QByteArray(filler, 'x') + "\r\n";
}

using DamagedFiles = StoreTest;

} // namespace

// A list value of a million separators costs about what a plain value of the same length
// costs: the time of both is measured here, side by side, and only their ratio is judged. The
// MAC address's list takes the same path as the IP address's.
TEST(DamagedLocationFile, AHugeListReadsInTheTimeOfAPlainValueOfTheSameLength) {
    const QByteArray dots(1'000'000, '.');
    GeneralSettings s;
    const qint64 plain = fastestDecode(kLocationHeader + "eHostname=" + dots + "\r\n", s, 3);
    EXPECT_EQ(s.eHostname.size(), dots.size());
    // A few tries against a busy machine; a parse that grows with the square of the length is
    // hundreds of times slower and stops at the first.
    double ratio = 0;
    for (int attempt = 0; attempt < 3 && (ratio == 0 || (ratio >= 20 && ratio <= 100)); ++attempt)
        ratio = double(fastestDecode(kLocationHeader + "eIPaddress=" + dots + "\r\n", s, 1)) /
                double(plain);
    EXPECT_LT(ratio, 20) << "a list took " << ratio << " times as long as a plain value";
    // The last element keeps every further separator.
    EXPECT_EQ(s.eIPaddress, QStringList({"", "", "", QString(dots.size() - 3, '.')}));
}

// A file of exactly the size limit is read, one byte more is refused, naming why, and changes
// nothing. The highway reader reads through the same routine.
TEST_F(DamagedFiles, FilesOfExactlyTheSizeLimitAreReadOneByteMoreIsRefused) {
    const QByteArray fgr =
        fileOfSize(kLocationHeader + "LocationCode=007\r\n", "LocationPlace=", kMaxTextFileSize);
    for (const qint64 extra : {0, 1}) {
        SCOPED_TRACE(extra);
        dir.write("Site.fgr", fgr.chopped(2) + QByteArray(extra, 'x') + "\r\n");
        state.settings = GeneralSettings{};
        op.clear();
        EXPECT_TRUE(ReadFGR(state, QStringLiteral("Site.fgr"), op));
        if (extra == 0) {
            EXPECT_TRUE(op.shown().isEmpty()) << op.lastText().toStdString();
            EXPECT_EQ(state.settings.LocationCode, QStringLiteral("007"));
            EXPECT_GT(state.settings.LocationPlace.size(), 1'000'000);
            continue;
        }
        ASSERT_EQ(op.shown().size(), 1);
        EXPECT_TRUE(op.lastText().endsWith(
            "\": the file is larger than 1 MiB, so it is not a configuration file."))
            << op.lastText().toStdString();
        EXPECT_EQ(state.settings, GeneralSettings{});
    }
}
