// The serial ports: the port map file, which device a port number resolves to, the listing,
// and the search for a logger among the ports.
#include "SerialPorts.h"
#include "Cancellation.h"
#include "LinkHarness.h"
#include "PortMap.h"
#include "PortProbe.h"
#include "PseudoTerminals.h"
#include "SerialPortName.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace nodalyx;
using namespace nodalyx::test;

namespace {

class ScriptedPorts : public PortSource {
public:
    QList<PortInfo> list;
    QList<PortInfo> ports(bool) const override { return list; }
};

PortInfo usbAdapter(const QString& device, const QString& serial) {
    PortInfo p;
    p.device = device;
    p.description = QStringLiteral("USB serial adapter");
    p.serialNumber = serial;
    p.vendorId = 0x0403;
    p.productId = 0x6001;
    return p;
}

// The program directory and discovery of one test, put back afterwards.
struct SerialPortsTest : ::testing::Test {
    TempDir dir;
    std::shared_ptr<ScriptedPorts> source = std::make_shared<ScriptedPorts>();
    void SetUp() override {
        if (SerialPorts::hasComNumbers())
            GTEST_SKIP() << "COM n is the port itself here: no map";
        SerialPorts::setProgramDir(dir.path());
        SerialPorts::setSource(source);
    }
    void TearDown() override {
        SerialPorts::setProgramDir({});
        SerialPorts::setSource(nullptr);
        for (int n : {3, 4, 5, 6})
            qunsetenv(qPrintable(QStringLiteral("NODALYX_COM%1").arg(n)));
    }
    void mapFile(const QByteArray& text) const { dir.write("ports.ini", text); }
};

} // namespace

TEST(PortMapTest, WritesWindows1252WithCrLfAndReadsBackWhatItWrote) {
    PortMap map;
    map.entries[3] = {"/dev/serial/by-id/usb-X_A1-if00", "/dev/ttyUSB0", "C\u00e2ble", "A1"};
    map.entries[12] = {"usb:0403:6001:B2", "/dev/ttyUSB1", "", "B2"};
    const QByteArray bytes = encodePortMap(map);
    EXPECT_TRUE(bytes.contains(fromHex("0D0A 5B 434F 4D 33 5D 0D0A"))); // \r\n[COM3]\r\n
    EXPECT_TRUE(bytes.contains("Description=C\xE2"
                               "ble\r\n")); // one byte per character
    EXPECT_FALSE(bytes.contains("\n\n"));
    const PortMapRead read = decodePortMap(bytes);
    EXPECT_EQ(read.map, map);
    EXPECT_TRUE(read.skipped.isEmpty());
}

TEST(PortMapTest, ASpoiltFileKeepsWhatIsSoundAndSaysWhatItLeftOut) {
    const PortMapRead read = decodePortMap("Identity=/dev/x\r\n" // before any section
                                           "[COM0]\r\nIdentity=/dev/a\r\n"
                                           "[COM256]\r\nIdentity=/dev/b\r\n"
                                           "[com7]\r\nidentity=/dev/ttyUSB3\r\n" // any case
                                           "[COM8]\r\nDevice=/dev/ttyUSB4\r\n"   // no identity
                                           "[COM9]\r\nno equals sign\r\nIdentity=/dev/c\r\n");
    ASSERT_EQ(read.map.entries.size(), 2u);
    EXPECT_EQ(read.map.entries.at(7).identity, "/dev/ttyUSB3");
    EXPECT_EQ(read.map.entries.at(9).identity, "/dev/c");
    EXPECT_EQ(read.skipped.size(), 5) << read.skipped.join('|').toStdString();
    EXPECT_TRUE(read.skipped.join('|').contains("line 8: COM8 has no Identity"));
}

TEST_F(SerialPortsTest, ANumberResolvesByOverrideThenMapThenDefault) {
    dir.write("ttyUSB7", "");
    source->list = {usbAdapter(dir.file("ttyUSB7"), "A10K"), usbAdapter("/dev/ttyUSB9", "Z9")};
    mapFile("[COM3]\r\nIdentity=usb:0403:6001:A10K\r\nDevice=/dev/ttyUSB0\r\n"
            "[COM4]\r\nIdentity=" +
            dir.file("ttyUSB7").toUtf8() + "\r\n");
    using S = PortResolution::Source;
    const struct {
        int number;
        QString device;
        S source;
    } rows[] = {
        {3, dir.file("ttyUSB7"), S::Map}, // the adapter by its serial number, renamed
        {4, dir.file("ttyUSB7"), S::Map}, // by its path
        {5, "/dev/ttyS4", S::Default},
    };
    for (const auto& row : rows) {
        const PortResolution r = SerialPorts::resolve(row.number);
        EXPECT_EQ(r.device, row.device) << row.number;
        EXPECT_EQ(r.source, row.source) << row.number;
        EXPECT_FALSE(r.adapterMissing) << row.number;
    }
    qputenv("NODALYX_COM3", "/tmp/a-pty-of-a-script");
    EXPECT_EQ(SerialPorts::resolve(3).device, "/tmp/a-pty-of-a-script"); // the override wins
    EXPECT_EQ(SerialPorts::resolve(3).source, S::Override);
}

TEST_F(SerialPortsTest, AStableLinkFollowsTheAdapterToItsNewName) {
    dir.write("ttyUSB0", "");
    dir.write("ttyUSB1", "");
    const QString link = dir.file("by-id-usb-adapter-A10K");
    ASSERT_TRUE(QFile::link(dir.file("ttyUSB0"), link));
    PortInfo p = usbAdapter(dir.file("ttyUSB0"), "");
    p.stableId = link;
    source->list = {p};
    ASSERT_EQ(SerialPorts::map(6, dir.file("ttyUSB0")), QString());
    EXPECT_TRUE(dir.read("ports.ini").contains("Identity=" + link.toUtf8() + "\r\n"));
    // Plugged into another socket: the link now names ttyUSB1.
    QFile::remove(link);
    ASSERT_TRUE(QFile::link(dir.file("ttyUSB1"), link));
    p.device = dir.file("ttyUSB1");
    source->list = {p};
    EXPECT_EQ(SerialPorts::resolve(6).device, dir.file("ttyUSB1"));
}

TEST_F(SerialPortsTest, AMissingMappedAdapterIsNamedWithWhatIsPluggedIn) {
    source->list = {usbAdapter("/dev/ttyUSB2", "OTHER1")};
    mapFile("[COM3]\r\nIdentity=usb:0403:6001:A10K\r\nDevice=/dev/ttyUSB0\r\n"
            "Description=USB serial adapter\r\nSerialNumber=A10K\r\n");
    const PortResolution r = SerialPorts::resolve(3);
    EXPECT_TRUE(r.adapterMissing);
    EXPECT_EQ(r.device, "/dev/ttyUSB0");
    const QString text = serialOpenFailureText(r.device, QSerialPort::DeviceNotFoundError, "gone");
    EXPECT_TRUE(text.contains("The adapter of serial port 3 is not plugged in: USB serial "
                              "adapter (A10K), last seen as /dev/ttyUSB0."))
        << text.toStdString();
    EXPECT_TRUE(text.contains("Plugged in now: /dev/ttyUSB2 - USB serial adapter (OTHER1)."))
        << text.toStdString();
    const QString plain =
        serialOpenFailureText("/dev/ttyS9", QSerialPort::DeviceNotFoundError, "x");
    EXPECT_TRUE(plain.contains("nodalyx-cli ports")) << plain.toStdString();
}

TEST_F(SerialPortsTest, TheListingNumbersPortsAndAddsMappedAndOverriddenDevices) {
    PortInfo busy = usbAdapter("/dev/ttyUSB1", "B2");
    busy.available = false;
    source->list = {usbAdapter("/dev/ttyUSB0", "A1"), busy, PortInfo{"/dev/ttyS0"}};
    mapFile("[COM3]\r\nIdentity=usb:0403:6001:B2\r\n[COM4]\r\nIdentity=/dev/nowhere-now\r\n");
    qputenv("NODALYX_COM5", "/tmp/pty-link");
    QStringList rows;
    for (const ListedPort& p : SerialPorts::list(true))
        rows << QStringLiteral("%1|%2|%3|%4|%5")
                    .arg(p.number ? QString::number(*p.number) : "-", p.info.device)
                    .arg(p.mapped)
                    .arg(p.info.available)
                    .arg(p.present);
    EXPECT_EQ(rows,
              QStringList({"-|/dev/ttyUSB0|0|1|1", "3|/dev/ttyUSB1|1|0|1", "1|/dev/ttyS0|0|1|1",
                           "4|/dev/nowhere-now|1|0|0", "5|/tmp/pty-link|1|0|0"}));
    EXPECT_EQ(SerialPorts::list(false)[1].label(), "3 - /dev/ttyUSB1 - USB serial adapter (B2)");
}

TEST_F(SerialPortsTest, MappingChoosesTheSteadiestIdentityAndKeepsABackup) {
    source->list = {usbAdapter("/dev/ttyUSB0", "A1"), PortInfo{"/dev/ttyACM0"}};
    ASSERT_EQ(SerialPorts::map(3, "/dev/ttyUSB0"), QString());
    ASSERT_EQ(SerialPorts::map(4, "/dev/ttyACM0"), QString());
    PortMap map;
    ASSERT_EQ(loadPortMap(dir.path(), map), QString());
    EXPECT_EQ(map.entries.at(3).identity, "usb:0403:6001:A1");
    EXPECT_EQ(map.entries.at(4).identity, "/dev/ttyACM0"); // nothing steadier to go by
    EXPECT_TRUE(dir.exists("ports.bak"));                  // refusals and unmap: CliPortsTest
}

// Three loggers on pseudo-terminals (silent, another one, the right one) and a port in use.
TEST(PortProbeTest, FindsTheLocationsLoggerAndSkipsAPortInUse) {
    NODALYX_NEEDS_PSEUDO_TERMINALS();
    sim::LoggerSim silent, other, right;
    ASSERT_TRUE(silent.openPty() && other.openPty() && right.openPty());
    silent.faults().silent = true;
    other.state().serial = QStringLiteral("77777777");
    right.state().serial = QStringLiteral("00123456");
    QList<ListedPort> ports;
    for (sim::LoggerSim* s : {&silent, &other, &right}) {
        ListedPort p;
        p.info.device = s->ptyDevice();
        p.number = int(ports.size()) + 3;
        ports << p;
    }
    ListedPort busy;
    busy.info = {"/dev/ttyUSB5"};
    busy.info.available = false;
    busy.info.unavailableWhy = QStringLiteral("in use or no permission");
    ports.insert(1, busy);
    QStringList told;
    const QList<ProbeAnswer> answers =
        probePorts(ports, QStringLiteral("123456"), nullptr, [&](int i, int total, const QString&) {
            told << QStringLiteral("%1/%2").arg(i).arg(total);
        });
    ASSERT_EQ(answers.size(), 4);
    EXPECT_EQ(told, QStringList({"0/4", "1/4", "2/4", "3/4"}));
    EXPECT_FALSE(answers[0].serial);
    EXPECT_EQ(answers[1].skipped, "in use or no permission");
    EXPECT_EQ(answers[2].serial, QStringLiteral("77777777"));
    EXPECT_EQ(answers[3].serial, QStringLiteral("00123456"));
    const QList<ProbeAnswer> found = matchingAnswers(answers);
    ASSERT_EQ(found.size(), 1);
    EXPECT_EQ(found[0].number, 5);
    EXPECT_EQ(right.requestCodes().size(), 1); // one exchange each, nothing else sent
}

TEST(PortProbeTest, ACancelStopsAfterThePortUnderWay) {
    NODALYX_NEEDS_PSEUDO_TERMINALS();
    sim::LoggerSim a, b;
    ASSERT_TRUE(a.openPty() && b.openPty());
    QList<ListedPort> ports(2);
    ports[0].info.device = a.ptyDevice();
    ports[1].info.device = b.ptyDevice();
    Cancellation cancel;
    const QList<ProbeAnswer> answers = probePorts(
        ports, std::nullopt, &cancel, [&](int, int, const QString&) { cancel.request(); });
    ASSERT_EQ(answers.size(), 1);
    EXPECT_TRUE(answers[0].serial);
    EXPECT_FALSE(answers[0].matches); // no location, no verdict
    EXPECT_TRUE(b.requestCodes().isEmpty());
}
