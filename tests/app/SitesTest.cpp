// The Sites window against simulated loggers in this process.
#include "AppFixture.h"
#include "FrmSites.h"
#include "LoggerSim.h"

#include <QFile>
#include <QLabel>
#include <QSignalSpy>
#include <QTableWidget>

using namespace nodalyx;
using namespace nodalyx::test;

namespace {

class Sites : public AppFixture {
protected:
    // "Here": the expected logger; "Other": another logger's serial number; "Late": 7 minutes
    // behind; "Gone": nobody listens on its port.
    void SetUp() override {
        for (auto& sim : sims) {
            sim.setGrowing(false);
            ASSERT_TRUE(sim.listenTcp());
        }
        sims[0].state().serial = "NX0001";
        sims[1].state().serial = "NX0999";
        sims[2].state().serial = "NX0003";
        sims[2].state().clockOffsetSecs = -7 * 60;
        const std::tuple<const char*, quint16, const char*> locations[] = {
            {"Here", sims[0].tcpPort(), "NX0001"},
            {"Other", sims[1].tcpPort(), "NX0002"},
            {"Late", sims[2].tcpPort(), "NX0003"},
            {"Gone", 1, "NX0004"}};
        for (const auto& [name, port, serial] : locations)
            writeLocation(name, [&](SharedState& st) {
                st.settings.Portnumber = QString::number(port);
                st.settings.eSerialnumber = serial;
            });
        window = startWindow();
        window->sites();
        sites = window->sitesWindow();
        ASSERT_TRUE(sites);
        table = child<QTableWidget>(*sites, "TblSites");
    }
    void runSurvey(const char* button) {
        QSignalSpy ended(sites, &FrmSites::surveyEnded);
        click(*sites, button);
        ASSERT_TRUE(ended.wait(20000));
    }
    QStringList rowOf(const QString& location) const {
        for (int row = 0; row < table->rowCount(); ++row)
            if (table->item(row, FrmSites::Location)->text() == location) {
                QStringList texts;
                for (int c = 0; c < FrmSites::ColumnCount; ++c)
                    texts << table->item(row, c)->text();
                return texts;
            }
        return {};
    }
    void selectOnly(const QString& location) {
        table->clearSelection();
        for (int row = 0; row < table->rowCount(); ++row)
            if (table->item(row, FrmSites::Location)->text() == location)
                table->selectRow(row);
    }

    sim::LoggerSim sims[3];
    std::unique_ptr<FrmMain> window;
    FrmSites* sites = nullptr;
    QTableWidget* table = nullptr;
};

} // namespace

TEST_F(Sites, CheckAllFillsEveryRowAndExportWritesThem) {
    EXPECT_EQ(table->rowCount(), 4);
    EXPECT_EQ(rowOf("Here")[FrmSites::Reached], ""); // not checked yet
    runSurvey("CmdCheckAll");
    EXPECT_EQ(rowOf("Here").mid(FrmSites::Reached, 2), QStringList({"Yes", ""}));
    EXPECT_EQ(rowOf("Here")[FrmSites::SerialMatches], "Yes");
    EXPECT_EQ(rowOf("Other")[FrmSites::SerialMatches], "No");
    EXPECT_EQ(rowOf("Late")[FrmSites::Drift], "-7");
    EXPECT_EQ(rowOf("Gone")[FrmSites::Reached], "No");
    EXPECT_FALSE(rowOf("Gone")[FrmSites::Reason].isEmpty());
    EXPECT_TRUE(child<QLabel>(*sites, "lblSummary")->text().startsWith("4 checked: 3 reached"))
        << child<QLabel>(*sites, "lblSummary")->text().toStdString();
    // The drift sorts as a number: -7 before 0 (a logger not reached has none).
    table->sortItems(FrmSites::Drift, Qt::AscendingOrder);
    QStringList drifts;
    for (int row = 0; row < table->rowCount(); ++row)
        drifts << table->item(row, FrmSites::Drift)->text();
    EXPECT_EQ(drifts, QStringList({"", "-7", "0", "0"}));

    const QString csv = dir.path() + "/sites.csv";
    sites->setFileChooser([&](QWidget*) { return csv; });
    click(*sites, "CmdExport");
    QFile file(csv);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    ASSERT_EQ(lines.size(), 6); // the header, four locations, ""
    EXPECT_TRUE(lines[0].startsWith("location,reached,reason,serial,"));
}

TEST_F(Sites, SetClocksOfSelectedAsksOnceAndSetsTheDriftedOneAndADoubleClickSelectsIt) {
    selectOnly("Late");
    op.answer({true});
    runSurvey("CmdSetClocks");
    EXPECT_EQ(op.questions(), 1);
    EXPECT_TRUE(op.lastText().contains("Late"));
    EXPECT_EQ(rowOf("Late")[FrmSites::ClockSet], "Set");
    EXPECT_EQ(rowOf("Late")[FrmSites::Drift], "-7"); // as it was found
    EXPECT_LE(qAbs(sims[2].state().clockOffsetSecs), 60);
    EXPECT_EQ(rowOf("Here")[FrmSites::Reached], ""); // only the selected one was checked

    // Declined: nothing is set.
    selectOnly("Here");
    op.answer({false});
    click(*sites, "CmdSetClocks");
    EXPECT_FALSE(sites->isRunning());

    for (int row = 0; row < table->rowCount(); ++row)
        if (table->item(row, FrmSites::Location)->text() == "Other")
            emit table->cellDoubleClicked(row, FrmSites::Reached);
    EXPECT_EQ(window->locationName(), "Other");
}
