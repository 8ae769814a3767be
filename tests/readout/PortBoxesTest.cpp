// The "Comm port" boxes of the configuration and new-location windows, the port map their
// Save writes, and "Find" against simulated loggers on pseudo-terminals.
#include "AppFixture.h"
#include "FrmConfiguration.h"
#include "FrmNewLocation.h"
#include "Link.h"
#include "LoggerSim.h"
#include "PortChoice.h"
#include "PseudoTerminals.h"

#include <QComboBox>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>

using namespace nodalyx;
using namespace nodalyx::test;

namespace {

struct ScriptedPorts : PortSource {
    QList<PortInfo> list;
    QList<PortInfo> ports(bool) const override { return list; }
};

PortInfo adapter(const QString& device, const QString& serial, bool available = true) {
    PortInfo p;
    p.device = device;
    p.description = "USB serial adapter";
    p.serialNumber = serial;
    p.available = available;
    p.unavailableWhy = available ? QString() : QString("in use");
    return p;
}

struct PortBoxes : AppFixture {
    std::shared_ptr<ScriptedPorts> ports = std::make_shared<ScriptedPorts>();
    QList<QByteArray> overrides;
    std::unique_ptr<Link> link;

    void SetUp() override {
        SerialPorts::setProgramDir(dir.path());
        SerialPorts::setSource(ports);
        writeLocation("Site", [](SharedState& s) {
            s.settings.ConnType = 1;
            s.settings.Comport = 2;
            s.settings.eSerialnumber = "77001";
        });
        ScriptedOperator quiet;
        ReadFGR(state, "Site.fgr", quiet);
        link = std::make_unique<Link>(state.settings);
    }
    void TearDown() override {
        for (const QByteArray& name : overrides)
            qunsetenv(name.constData());
        SerialPorts::setSource(nullptr);
        SerialPorts::setProgramDir({});
    }
    void setOverride(int n, const QString& device) {
        overrides << QByteArray("NODALYX_COM") + QByteArray::number(n);
        qputenv(overrides.last().constData(), device.toLocal8Bit());
    }
    // /dev/ttyS0 (port 1), /dev/ttyUSB0 mapped as 2, NODALYX_COM3, /dev/ttyUSB1 unnumbered.
    void machine() {
        ports->list = {adapter("/dev/ttyS0", {}), adapter("/dev/ttyUSB0", "A10K4XYZ"),
                       adapter("/dev/ttyUSB1", "B77")};
        ports->list[0].description = "16550A";
        ASSERT_EQ(SerialPorts::map(2, "/dev/ttyUSB0"), QString());
        setOverride(3, dir.path() + "/Site.fgr"); // any file stands in for a device
    }
    QStringList items(const QComboBox* box) {
        QStringList texts;
        for (int i = 0; i < box->count(); ++i)
            texts << box->itemText(i);
        return texts;
    }
    // Works the "Comm port" box of one of the windows, then saves; the location's Comport.
    float saveWith(bool configuration, const std::function<void(QComboBox*)>& choose) {
        std::unique_ptr<QDialog> w;
        if (configuration) {
            w = std::make_unique<FrmConfiguration>(state, *link, op);
        } else {
            w = std::make_unique<FrmNewLocation>(state, op);
            child<QLineEdit>(*w, "txtName")->setText("Fresh");
            child<QComboBox>(*w, "CboConnType")->setCurrentIndex(0);
        }
        choose(child<QComboBox>(*w, "CboCommport"));
        QTest::mouseClick(child<QAbstractButton>(*w, configuration ? "CmdSave" : "cmdSave"),
                          Qt::LeftButton);
        return state.settings.Comport;
    }
};

} // namespace

TEST_F(PortBoxes, ShowThePortsPresentWithTheirDescription) {
    if (SerialPorts::hasComNumbers())
        GTEST_SKIP() << "COM n is the port itself here: no map, no device names";
    machine();
    FrmConfiguration config(state, *link, op);
    FrmNewLocation fresh(state, op);
    for (const QWidget* w : {static_cast<QWidget*>(&config), static_cast<QWidget*>(&fresh)}) {
        const QStringList texts = items(child<QComboBox>(*w, "CboCommport"));
        ASSERT_EQ(texts.size(), 17);
        EXPECT_EQ(texts[0], "1 - /dev/ttyS0 - 16550A");
        EXPECT_EQ(texts[1], "2 - /dev/ttyUSB0 - USB serial adapter (A10K4XYZ)");
        EXPECT_TRUE(texts[2].startsWith("3 - " + dir.path())) << texts[2].toStdString();
        EXPECT_EQ(texts[15], "16");
        EXPECT_EQ(texts[16], "/dev/ttyUSB1 - USB serial adapter (B77)");
    }
    EXPECT_EQ(child<QComboBox>(config, "CboCommport")->currentIndex(), 1); // the location's 2
    EXPECT_EQ(child<QComboBox>(fresh, "CboCommport")->currentText(), "");
}

// Any number 1..255 can be typed and is what the location keeps; a number the box has no item
// for is shown as it is (it used to show as 1, and Save then stored 1); no number is refused.
TEST_F(PortBoxes, TypedNumbersAreStoredAndOthersRefused) {
    for (bool configuration : {true, false}) {
        SCOPED_TRACE(configuration ? "configuration" : "new location");
        state.settings.Comport = 2;
        QDir(dir.path()).removeRecursively();
        QDir().mkpath(dir.path());
        EXPECT_EQ(saveWith(configuration,
                           [](QComboBox* box) {
                               box->clearEditText();
                               QTest::keyClicks(box->lineEdit(), "40");
                           }),
                  40.0f);
        EXPECT_TRUE(op.shown().isEmpty()) << op.lastText().toStdString();
        state.settings.Comport = 2;
        QDir(dir.path()).removeRecursively();
        QDir().mkpath(dir.path());
        EXPECT_EQ(saveWith(configuration, [](QComboBox* box) { box->setEditText("4x"); }), 2.0f);
        EXPECT_TRUE(op.lastText().contains("\"4x\" is not a port number 1..255"))
            << op.lastText().toStdString();
        op.clear();
    }
    state.settings.Comport = 200;
    FrmConfiguration w(state, *link, op);
    EXPECT_EQ(child<QComboBox>(w, "CboCommport")->currentText(), "200");
    click(w, "CmdSave");
    EXPECT_EQ(state.settings.Comport, 200.0f);
}

// Save with an adapter without a number ties it to the lowest free number in the port map
// (1 is /dev/ttyS0, 2 mapped, 3 overridden: 4); leaving without Save maps nothing; a map that
// cannot be written is told.
TEST_F(PortBoxes, SavingAnAdapterWithoutANumberMapsTheLowestFree) {
    if (SerialPorts::hasComNumbers())
        GTEST_SKIP() << "COM n is the port itself here: no map, no device names";
    machine();
    auto chooseUsb1 = [](QComboBox* box) { box->setCurrentIndex(box->count() - 1); };
    for (bool configuration : {true, false}) {
        SCOPED_TRACE(configuration ? "configuration" : "new location");
        {
            FrmConfiguration w(state, *link, op);
            chooseUsb1(child<QComboBox>(w, "CboCommport"));
            click(w, "CmdClose");
        }
        EXPECT_EQ(SerialPorts::resolve(4).source, PortResolution::Source::Default);
        EXPECT_EQ(saveWith(configuration, chooseUsb1), 4.0f);
        EXPECT_TRUE(op.shown().isEmpty()) << op.lastText().toStdString();
        EXPECT_EQ(SerialPorts::resolve(4).device, "/dev/ttyUSB1");
        ASSERT_EQ(SerialPorts::unmap(4), QString());
    }
    SerialPorts::setProgramDir(dir.path() + "/Site.fgr/no"); // a directory that cannot be
    EXPECT_EQ(saveWith(true, chooseUsb1), 2.0f);             // no map there: 2 is free
    EXPECT_TRUE(op.lastText().contains("could not tie it to /dev/ttyUSB1"))
        << op.lastText().toStdString();
}

// What the operator typed or picked in a "Comm port" box: the number alone, or a listed line.
TEST(PortChoiceTest, NumberOfABoxText) {
    const std::pair<const char*, int> rows[] = {
        {"3", 3},      {" 12 ", 12},      {"3 - /dev/ttyUSB0 - USB serial", 3},
        {"3  - x", 3}, {"\t7 \t - x", 7}, {"255", 255},
        {"256", -1},   {"0", -1},         {"1234", -1},
        {"3 -x", -1},  {"3\t- x", -1},    {"3x", -1},
        {"", -1},      {"- 3", -1},       {"COM3", -1},
    };
    for (const auto& [text, number] : rows)
        EXPECT_EQ(portNumberOf(QString::fromLatin1(text)).value_or(-1), number) << text;
}

TEST(PortChoiceTest, LowestFreeNumber) {
    auto port = [](const QString& device, std::optional<int> number, bool present = true) {
        ListedPort l;
        l.info.device = device;
        l.number = number;
        l.present = present;
        return l;
    };
    const struct {
        QList<ListedPort> listed;
        std::optional<int> free;
    } rows[] = {
        {{}, 1},
        {{port("/dev/ttyS0", 1), port("/dev/ttyUSB3", std::nullopt)}, 2},
        {{port("/dev/ttyS1", 2), port("/dev/ttyUSB0", 1), port("/gone", 3, false)}, 4},
        // the map gave /dev/ttyS0's number to itself as 5: 1 stays its
        {{port("/dev/ttyS0", 5), port("/dev/ttyUSB0", 2)}, 3},
    };
    for (const auto& row : rows)
        EXPECT_EQ(lowestFreePortNumber(row.listed), row.free);
    QList<ListedPort> full;
    for (int n = 1; n <= 255; ++n)
        full << port(QString("/dev/x%1").arg(n), n);
    EXPECT_EQ(lowestFreePortNumber(full), std::nullopt);
}

// Three loggers on pseudo-terminals as ports 5, 6 and 7 and one port in use.
struct FindPort : PortBoxes {
    sim::LoggerSim sims[3];
    std::optional<QList<ProbeAnswer>> offered;

    void SetUp() override {
        NODALYX_NEEDS_PSEUDO_TERMINALS();
        PortBoxes::SetUp();
        ports->list = {adapter("/dev/ttyUSB9", "C1", false)};
        for (int i = 0; i < 3; ++i) {
            sims[i].setGrowing(false);
            ASSERT_TRUE(sims[i].openPty());
            setOverride(5 + i, sims[i].ptyDevice());
        }
    }
    // Runs Find; the chooser records what it is offered and picks `pick`.
    QString find(FrmConfiguration& w, std::optional<int> pick) {
        w.setAnswerChooser([this, pick](const QList<ProbeAnswer>& answers) {
            offered = answers;
            return pick;
        });
        click(w, "CmdFindPort");
        return child<QComboBox>(w, "CboCommport")->currentText();
    }
};

TEST_F(FindPort, SelectsThePortOfTheLocationsLogger) {
    sims[0].faults().silent = true;
    sims[1].state().serial = "88002";
    sims[2].state().serial = "77001";
    FrmConfiguration w(state, *link, op);
    const QString shown = find(w, std::nullopt);
    EXPECT_TRUE(shown.startsWith("7 - ")) << shown.toStdString();
    EXPECT_FALSE(offered);
    EXPECT_TRUE(child<QLabel>(w, "lblDownloadResult")->text().contains("77001"));
    EXPECT_TRUE(child<QAbstractButton>(w, "CmdFindPort")->isEnabled());
}

TEST_F(FindPort, OffersTheAnswersWhenNoneMatches) {
    for (int i = 0; i < 3; ++i)
        sims[i].state().serial = QString("8800%1").arg(i);
    FrmConfiguration w(state, *link, op);
    const QString got = find(w, 2);
    EXPECT_TRUE(got.startsWith("6 - ")); // the third answer: port 6
    ASSERT_TRUE(offered);
    QStringList texts;
    for (const ProbeAnswer& a : *offered)
        texts << answerText(a);
    EXPECT_EQ(texts, (QStringList{"/dev/ttyUSB9: skipped, in use",
                                  "5 - " + sims[0].ptyDevice() + ": 88000",
                                  "6 - " + sims[1].ptyDevice() + ": 88001",
                                  "7 - " + sims[2].ptyDevice() + ": 88002"}));
    offered.reset();
    EXPECT_EQ(find(w, std::nullopt), "6 - " + sims[1].ptyDevice()); // cancelled: unchanged
}

TEST_F(FindPort, CancelStopsAfterThePortUnderWay) {
    sims[0].faults().delayMs = 400;
    sims[2].state().serial = "77001";
    FrmConfiguration w(state, *link, op);
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* dialog = w.findChild<QProgressDialog*>("PgdFindPort");
        std::cerr << "tick " << (dialog != nullptr) << " " << sims[0].requests().size() << "\n";
        if (dialog && !sims[0].requests().isEmpty())
            QTest::mouseClick(dialog->findChild<QPushButton*>(), Qt::LeftButton);
    });
    poll.start(20);
    EXPECT_EQ(find(w, std::nullopt), "2");
    EXPECT_FALSE(offered);
    EXPECT_TRUE(sims[1].requests().isEmpty());
    EXPECT_TRUE(sims[2].requests().isEmpty());
    EXPECT_TRUE(child<QLabel>(w, "lblDownloadResult")->text().contains("cancelled after 2 of 4"));
}
