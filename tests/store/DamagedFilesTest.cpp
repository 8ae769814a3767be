// Damaged or hostile location and highway files, and names that cannot be file names: the work
// stays bounded, the limits hold to the byte, and a refusal says why.
#include "Fixtures.h"
#include "HighwayFileCodec.h"
#include "HighwayStore.h"
#include "LocationFileCodec.h"
#include "LocationStore.h"
#include "NewLocation.h"
#include "TextFile.h"

#include <QDir>
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
// costs: the time of both is measured here, side by side, and only their ratio is judged.
TEST(DamagedLocationFile, AHugeListReadsInTheTimeOfAPlainValueOfTheSameLength) {
    // A million dots; the MAC address's colons take the same path, a tenth of them is enough.
    const QByteArray separators[] = {QByteArray(1'000'000, '.'), QByteArray(100'000, ':')};
    const char* listKeys[] = {"eIPaddress=", "eMACaddress="};
    for (int k = 0; k < 2; ++k) {
        SCOPED_TRACE(listKeys[k]);
        GeneralSettings s;
        const qint64 plain =
            fastestDecode(kLocationHeader + "eHostname=" + separators[k] + "\r\n", s, 3);
        EXPECT_EQ(s.eHostname.size(), separators[k].size());
        // A few tries against a busy machine; a parse that grows with the square of the length
        // is hundreds of times slower and stops at the first.
        double ratio = 0;
        for (int attempt = 0; attempt < 3; ++attempt) {
            ratio = double(fastestDecode(kLocationHeader + listKeys[k] + separators[k] + "\r\n", s,
                                         1)) /
                    double(plain);
            if (ratio < 20 || ratio > 100)
                break;
        }
        EXPECT_LT(ratio, 20) << "a list took " << ratio << " times as long as a plain value";
        const QStringList& list = k == 0 ? s.eIPaddress : s.eMACaddress;
        const int parts = k == 0 ? 4 : 6;
        ASSERT_EQ(list.size(), parts); // the last element keeps every further separator
        EXPECT_EQ(list.last().size(), separators[k].size() - (parts - 1));
        EXPECT_TRUE(std::all_of(list.begin(), list.end() - 1,
                                [](const QString& e) { return e.isEmpty(); }));
    }
}

// Both readers take a file of exactly the size limit and refuse one byte more, naming why,
// and then change nothing.
TEST_F(DamagedFiles, FilesOfExactlyTheSizeLimitAreReadOneByteMoreIsRefused) {
    ASSERT_EQ(kMaxTextFileSize, 1024 * 1024);
    ASSERT_EQ(fileOfSize("a\r\n", "b", kMaxTextFileSize).size(), kMaxTextFileSize);
    const QByteArray fgr =
        fileOfSize(kLocationHeader + "LocationCode=007\r\n", "LocationPlace=", kMaxTextFileSize);
    const QByteArray hw = fileOfSize(highwayFixture(1), "padding ", kMaxTextFileSize);
    UnitTable fixtureUnits;
    ASSERT_TRUE(decodeHighwayFile(highwayFixture(1), 1, fixtureUnits).headerOk);
    UnitTable defaults;
    ResetHW01(state);
    defaults = state.HW1Unit;
    ASSERT_NE(fixtureUnits, defaults);
    for (const qint64 extra : {0, 1}) {
        SCOPED_TRACE(extra);
        dir.write("Site.fgr", fgr.chopped(2) + QByteArray(extra, 'x') + "\r\n");
        dir.write("Site/HW01.ini", hw.chopped(2) + QByteArray(extra, 'x') + "\r\n");
        state.settings = GeneralSettings{};
        op.clear();
        EXPECT_TRUE(ReadFGR(state, QStringLiteral("Site.fgr"), op));
        EXPECT_TRUE(ReadHW01(state, QStringLiteral("Site"), op));
        if (extra == 0) {
            EXPECT_TRUE(op.shown().isEmpty()) << op.lastText().toStdString();
            EXPECT_EQ(state.settings.LocationCode, QStringLiteral("007"));
            EXPECT_GT(state.settings.LocationPlace.size(), 1'000'000);
            EXPECT_EQ(state.HW1Unit, fixtureUnits);
            continue;
        }
        ASSERT_EQ(op.shown().size(), 2);
        for (const QString& text : op.messages())
            EXPECT_TRUE(text.endsWith(QStringLiteral(
                "\": the file is larger than 1 MiB, so it is not a configuration file.")))
                << text.toStdString();
        EXPECT_TRUE(op.messages()[0].contains(QStringLiteral("Site.fgr")));
        EXPECT_TRUE(op.messages()[1].contains(QStringLiteral("HW01.ini")));
        EXPECT_EQ(state.settings, GeneralSettings{});
        EXPECT_EQ(state.HW1Unit, defaults);
    }
}

// Control characters anywhere (C0 such as 0x1F, DEL, C1 such as U+009B) and a blank at the end,
// which Windows drops from a folder name, are refused; blanks in front and inside are kept,
// as locations stored with them rely on it. The refusal shows a control character as \xNN.
TEST_F(DamagedFiles, NamesWithControlCharactersOrATrailingBlankAreRefused) {
    const std::pair<QString, const char*> refused[] = {
        {QStringLiteral("a\x1F"
                        "b"),
         "The name \"a\\x1fb\" cannot hold control characters"},
        {QStringLiteral("a\x7F"
                        "b"),
         "The name \"a\\x7fb\" cannot hold control characters"},
        {QStringLiteral("a\u0080b"), "The name \"a\\x80b\" cannot hold control characters"},
        {QStringLiteral("a\u009Fb"), "The name \"a\\x9fb\" cannot hold control characters"},
        {QStringLiteral("Site "), "The name \"Site \" cannot end in a blank."},
        {QStringLiteral(" Site  "), "The name \" Site  \" cannot end in a blank."},
    };
    for (const auto& [name, reason] : refused) {
        SCOPED_TRACE(name.toStdString());
        EXPECT_TRUE(checkLocationName(name).startsWith(QLatin1String(reason)))
            << checkLocationName(name).toStdString();
        op.clear();
        EXPECT_FALSE(createLocation(state, NewLocationRequest{name, 0, "", "", ""}, op));
        EXPECT_TRUE(op.lastText().startsWith(QLatin1String(reason)));
    }
    EXPECT_TRUE(QDir(dir.path()).isEmpty());

    for (const QString& name :
         {QStringLiteral(" Site"), QStringLiteral("a b"), QStringLiteral("  two  inner  blanks"),
          QStringLiteral("a\u00A0b"), QStringLiteral("caf\u00E9 \u20AC")}) {
        SCOPED_TRACE(name.toStdString());
        EXPECT_EQ(checkLocationName(name), QString());
        ASSERT_TRUE(createLocation(state, NewLocationRequest{name, 0, "", "", ""}, op))
            << op.lastText().toStdString();
        EXPECT_TRUE(dir.exists(name + ".fgr") && dir.exists(name + "/HW02.ini"));
    }
}
