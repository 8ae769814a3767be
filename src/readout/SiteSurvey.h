#pragma once

#include "Cancellation.h"
#include "GeneralSettings.h"
#include "LinkTimeouts.h"

#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

class QThread;

namespace nodalyx {

// What a survey asks of every logger.
struct SurveyOptions {
    bool settings = false;   // also read the general settings and compare them with the location
    bool syncClock = false;  // set the clock of a reached, expected logger that drifts
    int maxDriftMinutes = 1; // ... more than this many minutes (absolute), then read it back
    int jobs = 16;           // workers at the same time, at most (a TCP location or a port)
    LinkTimeouts timeouts;   // the link's time limits (the defaults; tests pass shorter ones)
};

// One location's line of a survey.
struct SurveyResult {
    QString location;
    bool reached = false;
    QString reason; // why not reached (empty when reached) or, for a reached logger, what of
                    // the survey failed (clock, settings read-out, clock setting, a cancel)
    std::optional<QString> serial;          // the logger's serial number
    std::optional<bool> serialMatches;      // nullopt: not reached or eSerialnumber empty
                                            // (the logger's number contains the location's)
    std::optional<QString> loggerClock;     // "DD-MM-YYYY  HH:MM"
    std::optional<qint64> driftMinutes;     // logger minus PC; negative when behind
    std::optional<QStringList> differences; // with settings: the file keys that differ
    bool clockSet = false;                  // syncClock set it and the read-back is within a minute
    // Whether the logger's clock drifts more than maxMinutes (absolute), or was read but is no
    // valid date and time (a logger that lost its clock): the clocks --sync-clock sets.
    bool driftsMoreThan(int maxMinutes) const;
};

// What a survey's results add up to, for its summary line and its exit status.
struct SurveyTally {
    int total = 0, reached = 0, notReached = 0;
    int incomplete = 0;  // reached, but some of the survey failed
    int otherSerial = 0; // not the location's logger
    int drifted = 0;     // more than the allowed drift when surveyed
    int driftLeft = 0;   // of those, the ones whose clock was not set
    int differing = 0, clocksSet = 0;
};
SurveyTally tallySurvey(const QList<SurveyResult>& results, int maxDriftMinutes);

// {"location", "reached", "reason" (or null), "serial", "serial_matches", "logger_clock",
//  "drift_minutes", "differences", "clock_set"} — null where the value is nullopt.
QJsonObject surveyJson(const SurveyResult& result);
// The CSV header "location,reached,reason,serial,serial_matches,logger_clock,drift_minutes,
// differences,clock_set" and one line (differences joined by ';', empty for null).
QString surveyCsvHeader();
QString surveyCsvLine(const SurveyResult& result);

// Surveys one location on the calling thread with the routines the single-location commands
// use (the session, the serial number, the clock, the general read-out and its comparison,
// Set Date/Time); never asks the operator anything. programDir/location name the location
// file; its settings are read here.
SurveyResult surveyLocation(const QString& programDir, const QString& location,
                            const SurveyOptions& options, const Cancellation* cancel = nullptr);

// Surveys many locations: TCP ones concurrently (at most options.jobs at a time, each on a
// worker thread of its own with its own context and link), serial ones one after another per
// port; one location's failure never stops the others. Results come in as they are done;
// finished() after the last (or after cancel(): the running ones end after their exchange
// under way, the waiting ones are not started). A serial port's worker counts as one of the
// options.jobs workers like a TCP location's. The signals come on the runner's thread. The
// destructor cancels and joins the workers.
class SurveyRunner : public QObject {
    Q_OBJECT
public:
    explicit SurveyRunner(QObject* parent = nullptr);
    ~SurveyRunner() override;
    // Ignored while a survey runs.
    void start(const QString& programDir, const QStringList& locations,
               const SurveyOptions& options);
    void cancel();
    bool isRunning() const;
    bool wasCancelled() const { return m_cancelled; }
    // The locations surveyed so far, in the order of `locations` (after a cancel those not
    // started are missing).
    QList<SurveyResult> results() const;
    // How many workers ran at the same time, at most, in the last survey.
    int peakWorkers() const { return m_peakWorkers; }

signals:
    void resultReady(const nodalyx::SurveyResult& result);
    void progress(int done, int total);
    void finished();

private:
    struct Worker;
    void startWorkers();
    void takeResult(int index, const SurveyResult& result);
    void workerEnded(Worker* worker);

    QString m_programDir;
    QStringList m_locations;
    SurveyOptions m_options;
    std::vector<std::optional<SurveyResult>> m_results;
    std::vector<QList<int>> m_waiting; // groups not started yet, in order
    std::vector<std::unique_ptr<Worker>> m_workers;
    int m_done = 0;
    int m_peakWorkers = 0;
    bool m_running = false;
    bool m_cancelled = false;
};

// The serial device a location's logger is on (the resolved device of its port), or empty for
// a TCP location or one whose file cannot be read.
QString surveySerialDevice(const QString& programDir, const QString& location);

} // namespace nodalyx
