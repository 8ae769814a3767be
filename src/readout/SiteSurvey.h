#pragma once

#include "Cancellation.h"
#include "GeneralSettings.h"

#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <optional>

namespace nodalyx {

// What a survey asks of every logger.
struct SurveyOptions {
    bool settings = false;  // also read the general settings and compare them with the location
    bool syncClock = false; // set the clock of a reached, expected logger that drifts
    int maxDriftMinutes = 1; // ... more than this many minutes (absolute), then read it back
    int jobs = 16;           // TCP locations surveyed at the same time, at most
};

// One location's line of a survey.
struct SurveyResult {
    QString location;
    bool reached = false;
    QString reason;                     // why not reached (empty when reached)
    std::optional<QString> serial;      // the logger's serial number
    std::optional<bool> serialMatches;  // nullopt: not reached or eSerialnumber empty
    std::optional<QString> loggerClock; // "DD-MM-YYYY  HH:MM"
    std::optional<qint64> driftMinutes; // logger minus PC; negative when behind
    std::optional<QStringList> differences; // with settings: the file keys that differ
    bool clockSet = false; // syncClock set it and the read-back is within a minute
};

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
// under way, the waiting ones are not started).
class SurveyRunner : public QObject {
    Q_OBJECT
public:
    explicit SurveyRunner(QObject* parent = nullptr);
    ~SurveyRunner() override;
    void start(const QString& programDir, const QStringList& locations,
               const SurveyOptions& options);
    void cancel();
    bool isRunning() const;
    QList<SurveyResult> results() const; // in the order of `locations`

signals:
    void resultReady(const nodalyx::SurveyResult& result);
    void progress(int done, int total);
    void finished();
};

} // namespace nodalyx
