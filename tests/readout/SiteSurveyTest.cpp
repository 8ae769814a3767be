// The survey of many locations: each logger's line, the clock setting, the bound on the
// workers and the cancel, against simulated loggers served by this test's thread.
#include "SiteSurvey.h"
#include "LinkHarness.h"
#include "LocationStore.h"
#include "PseudoTerminals.h"

#include <QElapsedTimer>
#include <QTest>
#include <gtest/gtest.h>
#include <map>

using namespace nodalyx;
using namespace nodalyx::test;

namespace {

// What a logger of the table is like.
enum class Kind { Fine, Silent, OtherSerial, Drifted, Serial };

struct Sites {
    TempDir dir;
    std::map<QString, std::unique_ptr<sim::LoggerSim>> sims;

    ~Sites() { qunsetenv("NODALYX_COM7"); }

    // A location whose file agrees with the simulator's defaults, its logger set up as kind.
    bool add(const QString& name, Kind kind) {
        auto sim = std::make_unique<sim::LoggerSim>();
        sim->setGrowing(false);
        SharedState state;
        state.programDir = dir.path();
        if (kind == Kind::Serial) {
            if (!sim->openPty())
                return false;
            qputenv("NODALYX_COM7", sim->ptyDevice().toLocal8Bit());
            state.settings.ConnType = 1;
            state.settings.Comport = 7;
        } else {
            if (!sim->listenTcp())
                return false;
            pointAtTcp(state, sim->tcpPort());
        }
        holdSimulatorSettings(state.settings);
        state.settings.eSerialnumber = "NX" + name;
        sim->state().serial = "NX" + name;
        if (kind == Kind::Silent)
            sim->faults().silent = true;
        if (kind == Kind::OtherSerial)
            sim->state().serial = "NX99999";
        if (kind == Kind::Drifted)
            sim->state().clockOffsetSecs = -17 * 60;
        sims[name] = std::move(sim);
        ScriptedOperator op;
        return WriteFGR(state, name, op);
    }

    // Runs a survey to its end while this thread serves the simulators.
    QList<SurveyResult> survey(const QStringList& names, SurveyOptions options,
                               SurveyRunner* runner = nullptr) {
        options.timeouts = shortTimeouts();
        SurveyRunner own;
        SurveyRunner& r = runner ? *runner : own;
        bool done = false;
        QObject::connect(&r, &SurveyRunner::finished, [&done] { done = true; });
        r.start(dir.path(), names, options);
        EXPECT_TRUE(QTest::qWaitFor([&] { return done; }, 30000));
        return r.results();
    }
};

SurveyOptions options(bool settings, bool syncClock = false, int jobs = 16) {
    SurveyOptions o;
    o.settings = settings;
    o.syncClock = syncClock;
    o.jobs = jobs;
    return o;
}

QJsonObject row(const QList<SurveyResult>& results, const QString& name) {
    for (const SurveyResult& r : results)
        if (r.location == name)
            return surveyJson(r);
    return {};
}

} // namespace

TEST(SiteSurveyTest, SyncClockSetsOnlyTheExpectedDriftedLoggers) {
    Sites sites;
    const std::pair<QString, Kind> kinds[] = {{"Fine", Kind::Fine},
                                              {"Other", Kind::OtherSerial},
                                              {"Drifted", Kind::Drifted},
                                              {"Silent", Kind::Silent}};
    QStringList names;
    for (const auto& [name, kind] : kinds) {
        ASSERT_TRUE(sites.add(name, kind));
        names << name;
    }
    sites.sims["Other"]->state().clockOffsetSecs = 30 * 60; // drifted, but not the expected one
    sites.sims["Fine"]->state().clockOffsetSecs = 60;       // within --max-drift 1
    const QList<SurveyResult> results = sites.survey(names, options(false, true));
    ASSERT_EQ(results.size(), names.size());
    for (int i = 0; i < names.size(); ++i)
        EXPECT_EQ(results[i].location, names[i]); // in the order asked
    for (const SurveyResult& r : results) {
        SCOPED_TRACE(r.location.toStdString());
        EXPECT_EQ(r.clockSet, r.location == "Drifted");
        EXPECT_TRUE(r.reason.isEmpty() || r.location == "Silent") << r.reason.toStdString();
    }
    EXPECT_EQ(row(results, "Drifted")["drift_minutes"], -17); // the drift found
    EXPECT_LE(qAbs(sites.sims["Drifted"]->state().clockOffsetSecs), 60);
    EXPECT_EQ(sites.sims["Other"]->state().clockOffsetSecs, 30 * 60);
    EXPECT_EQ(sites.sims["Fine"]->state().clockOffsetSecs, 60);
    // A clock that is no valid date (month 27) is set too.
    auto& lost = *sites.sims["Fine"];
    lost.faults().garbageCodes = {2};
    QObject::connect(&lost, &sim::LoggerSim::request, [&lost](const QByteArray&) {
        if (lost.requestCodes().last() == 1) // Set Date/Time: the clock is whole again
            lost.faults().garbageCodes.clear();
    });
    const QList<SurveyResult> lostClock = sites.survey({"Fine"}, options(false, true));
    ASSERT_EQ(lostClock.size(), 1);
    EXPECT_TRUE(lostClock[0].loggerClock && !lostClock[0].driftMinutes);
    EXPECT_TRUE(lostClock[0].clockSet) << lostClock[0].reason.toStdString();
    EXPECT_LE(qAbs(lost.state().clockOffsetSecs), 60);
    // Surveyed again, nothing drifts and nothing is set.
    for (const SurveyResult& r : sites.survey({"Drifted"}, options(false, true))) {
        EXPECT_LE(qAbs(r.driftMinutes.value_or(99)), 1);
        EXPECT_FALSE(r.clockSet);
    }
}

// The simulators note when each was first and last asked something; at no time are more
// loggers in conversation than the survey's jobs.
TEST(SiteSurveyTest, JobsBoundTheLoggersTalkedToAtOnce) {
    Sites sites;
    QStringList names;
    QElapsedTimer clock;
    clock.start();
    std::map<QString, std::pair<qint64, qint64>> spans;
    for (int i = 0; i < 6; ++i) {
        const QString name = QStringLiteral("L%1").arg(i);
        ASSERT_TRUE(sites.add(name, Kind::Fine));
        sites.sims[name]->faults().delayMs = 30;
        QObject::connect(sites.sims[name].get(), &sim::LoggerSim::request, [&, name] {
            auto& [first, last] = spans.try_emplace(name, clock.elapsed(), 0).first->second;
            last = clock.elapsed();
            Q_UNUSED(first);
        });
        names << name;
    }
    const auto mostAtOnce = [&] {
        int most = 0;
        for (const auto& [n, span] : spans) {
            int at = 0;
            for (const auto& [m, other] : spans)
                at += other.first <= span.first && span.first <= other.second;
            most = std::max(most, at);
        }
        return most;
    };
    for (const int jobs : {1, 2, 6}) {
        SCOPED_TRACE(jobs);
        spans.clear();
        SurveyRunner runner;
        const QList<SurveyResult> results =
            sites.survey(names, options(false, false, jobs), &runner);
        EXPECT_EQ(results.size(), names.size());
        EXPECT_EQ(spans.size(), size_t(names.size()));
        EXPECT_LE(mostAtOnce(), jobs);
        EXPECT_LE(runner.peakWorkers(), jobs);
        if (jobs > 1) {
            EXPECT_GE(mostAtOnce(), 2); // and they do overlap
        }
    }
}

TEST(SiteSurveyTest, CancelEndsTheRunningOnesAndStartsNoMore) {
    Sites sites;
    QStringList names;
    for (int i = 0; i < 4; ++i) {
        names << QStringLiteral("L%1").arg(i);
        ASSERT_TRUE(sites.add(names.last(), Kind::Fine));
        sites.sims[names.last()]->faults().delayMs = 80; // a read-out takes over two seconds
    }
    SurveyRunner runner;
    QTimer::singleShot(250, &runner, &SurveyRunner::cancel);
    QElapsedTimer took;
    took.start();
    const QList<SurveyResult> results = sites.survey(names, options(true, false, 2), &runner);
    EXPECT_LT(took.elapsed(), 1500);
    EXPECT_TRUE(runner.wasCancelled());
    EXPECT_FALSE(runner.isRunning());
    ASSERT_EQ(results.size(), 2);
    for (const SurveyResult& r : results)
        EXPECT_EQ(r.reason, "The survey was cancelled.");
    EXPECT_EQ(sites.sims["L2"]->connections() + sites.sims["L3"]->connections(), 0);

    // A runner deleted while it runs joins its workers first.
    {
        SurveyRunner doomed;
        SurveyOptions o = options(true);
        o.timeouts = shortTimeouts();
        doomed.start(sites.dir.path(), names, o);
        QTest::qWait(100);
    }
}

TEST(SiteSurveyTest, CsvQuotesWhatNeedsIt) {
    SurveyResult r;
    r.location = "North, gate";
    r.reason = "Connection with Datalogger failed: \"x\"";
    r.differences = QStringList{"LocationName", "Monday"};
    r.driftMinutes = -3;
    r.serialMatches = false;
    EXPECT_EQ(surveyCsvLine(r),
              R"("North, gate",false,"Connection with Datalogger failed: ""x""",,false,,-3,)"
              R"(LocationName;Monday,false)");
    EXPECT_EQ(surveyCsvHeader().split(',').size(), surveyJson(r).size());
}

// Two locations on one serial port take turns on it: both are reached, one after the other.
TEST(SiteSurveyTest, LocationsOnOnePortTakeTurns) {
    NODALYX_NEEDS_PSEUDO_TERMINALS();
    Sites sites;
    ASSERT_TRUE(sites.add("First", Kind::Serial));
    sites.sims["First"]->faults().delayMs = 50;
    SharedState second;
    second.programDir = sites.dir.path();
    second.settings.ConnType = 1;
    second.settings.Comport = 7;
    second.settings.eSerialnumber = "NXFirst"; // the same logger
    ScriptedOperator op;
    ASSERT_TRUE(WriteFGR(second, "Second", op));
    EXPECT_EQ(surveySerialDevice(sites.dir.path(), "Second"),
              surveySerialDevice(sites.dir.path(), "First"));
    const QList<SurveyResult> results = sites.survey({"First", "Second"}, options(false));
    ASSERT_EQ(results.size(), 2);
    for (const SurveyResult& r : results) {
        EXPECT_TRUE(r.reached) << r.reason.toStdString();
        EXPECT_EQ(r.serialMatches, true);
    }
    // Serial number and clock for one location, then for the other: never interleaved.
    EXPECT_EQ(sites.sims["First"]->requestCodes(), (QList<int>{59, 2, 59, 2}));
}
