// The communication log window against the simulated logger in the same process.
#include "AppFixture.h"
#include "FrmCommLog.h"
#include "LoggerSim.h"
#include "TrafficLogBuffer.h"
#include "WindowChecks.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTextBlock>

using namespace nodalyx;
using namespace nodalyx::test;
using CommLog = AppFixture;

// Recorded from the start: the log opened after a Refresh shows its frames; pause, save,
// clear and the 10 000-line limit.
TEST_F(CommLog, ShowsARefreshsFramesPausesSavesClearsAndKeepsTheLastLines) {
    sim::LoggerSim sim;
    sim.setGrowing(false);
    sim.state().serial = "NX4201";
    ASSERT_TRUE(sim.listenTcp());
    writeLocation("Site", [&](SharedState& st) {
        st.settings.Portnumber = QString::number(sim.tcpPort());
        st.settings.eSerialnumber = "NX42";
    });
    auto window = startWindow();
    window->selectLocation("Site");
    click(*window, "CmdRefresh");
    window->findChild<QAction*>("mnuCommLog")->trigger();
    FrmCommLog* log = window->commLogWindow();
    ASSERT_NE(log, nullptr);
    EXPECT_TRUE(log->isVisible());
    EXPECT_FALSE(log->isModal());
    EXPECT_TRUE(accessibleNameProblems(*log).isEmpty());
    auto* text = child<QPlainTextEdit>(*log, "txtLog");
    const QStringList lines = text->toPlainText().split('\n');
    const char* expected[] = {"ReadSerial +-> FF FF 3B", "ReadSerial +reply ok +<- FF 3B",
                              "ReadSerial +-> FF FF 3B", "ReadSerial +reply ok +<- FF 3B",
                              "ReadMemory +-> FF FF 03", "ReadMemory +reply ok +<- FF 03",
                              "ReadMemory +-> FF FF 03", "ReadMemory +reply ok +<- FF 03"};
    ASSERT_EQ(lines.size(), std::size(expected)) << text->toPlainText().toStdString();
    for (qsizetype i = 0; i < lines.size(); ++i)
        EXPECT_TRUE(lines[i].contains(
            QRegularExpression(QStringLiteral(R"(^\d\d:\d\d:\d\d\.\d{3} link +)") + expected[i])))
            << lines[i].toStdString();
    window->findChild<QAction*>("mnuCommLog")->trigger();
    EXPECT_EQ(window->commLogWindow(), log); // one window, kept
    // Its menu's access key is no other control's of the main window.
    QStringList texts;
    for (const QAction* menu : window->menuBar()->actions())
        texts << menu->text();
    for (const QAbstractButton* b : window->findChildren<QAbstractButton*>())
        texts << b->text();
    for (const QLabel* l : window->findChildren<QLabel*>())
        texts << l->text();
    const QRegularExpression key(".*&([^&]).*");
    const QString own = window->findChild<QAction*>("mnuCommLog")->text().replace(key, "\\1");
    QStringList keys = texts.filter(key).replaceInStrings(key, "\\1");
    EXPECT_EQ(keys.filter(own, Qt::CaseInsensitive).size(), 1) << keys.join(' ').toStdString();

    // Paused: a second Refresh is recorded but not shown until Resume.
    click(*log, "CmdPause");
    EXPECT_EQ(child<QPushButton>(*log, "CmdPause")->text(), "&Resume");
    click(*window, "CmdRefresh");
    log->catchUp();
    EXPECT_EQ(text->blockCount(), 8);
    EXPECT_EQ(child<QLabel>(*log, "lblStatus")->text(), "Paused: 8 new lines since");
    click(*log, "CmdPause");
    EXPECT_EQ(text->blockCount(), 16);
    EXPECT_EQ(text->toPlainText().split('\n'), window->trafficLog().lines());

    const QString path = dir.file("log.txt");
    log->setFileChooser([&](QWidget*) { return path; });
    click(*log, "CmdSave");
    QFile saved(path);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), (window->trafficLog().lines().join("\r\n") + "\r\n").toLatin1());
    EXPECT_TRUE(op.shown().isEmpty()) << op.lastText().toStdString();

    click(*log, "CmdClear");
    EXPECT_EQ(text->toPlainText(), "");
    EXPECT_EQ(window->trafficLog().size(), 0);

    // The last 10 000 lines, in the view as in the buffer, also as more come.
    for (int i = 0; i < 10050; ++i)
        window->trafficLog().append(QStringLiteral("line %1").arg(i));
    log->catchUp();
    EXPECT_EQ(text->blockCount(), 10000);
    EXPECT_EQ(text->document()->firstBlock().text(), "line 50");
    window->trafficLog().append("one more");
    QTest::qWait(3 * FrmCommLog::kBatchMs); // the batch timer takes it
    EXPECT_EQ(text->blockCount(), 10000);
    EXPECT_EQ(text->document()->firstBlock().text(), "line 51");
    EXPECT_EQ(text->document()->lastBlock().text(), "one more");
}

// The transfer component, made when the upload window first needs it, feeds the log too.
TEST_F(CommLog, RecordsThePacketsOfAnUpload) {
    sim::LoggerSim sim;
    TempDir loggerFiles;
    sim.state().filesFolder = loggerFiles.path();
    ASSERT_TRUE(sim.listenTcp());
    writeLocation("Site", [&](SharedState& st) {
        st.settings.Portnumber = QString::number(sim.tcpPort());
        st.settings.eSerialnumber = sim.state().serial;
    });
    auto window = startWindow();
    window->selectLocation("Site");
    window->setDialogRunner([](QDialog& upload) {
        child<QCheckBox>(upload, "ChkHW1")->setChecked(true);
        upload.show();
        child<QPushButton>(upload, "CmdUpload")->click();
        upload.hide();
    });
    window->findChild<QAction*>("mnuUpload")->trigger();
    const QStringList lines = window->trafficLog().lines();
    const QRegularExpression sent(R"( transfer code \d+ number 0 .* -> 02 )"),
        answer(R"( transfer code \d+ number 0 .*CRC ok +<- 02 )");
    EXPECT_EQ(lines.filter(sent).size(), 1) << lines.join('\n').toStdString();
    EXPECT_EQ(lines.filter(answer).size(), 1);
    EXPECT_TRUE(lines.first().contains(QRegularExpression(" link +ReadSerial +-> FF FF 3B ")));
}
