// One location's survey with the single-location routines, and its line in JSON and CSV.
#include "SiteSurvey.h"

#include "ClockDrift.h"
#include "ClockSetting.h"
#include "ConfigurationControls.h"
#include "CsvText.h"
#include "GeneralReadout.h"
#include "Link.h"
#include "LinkEndpoint.h"
#include "LocationSettings.h"
#include "LocationStore.h"
#include "LoggerSession.h"
#include "SettingsComparison.h"
#include "SettingsForm.h"
#include "SharedState.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonValue>

namespace nodalyx {

namespace {

// The survey's operator: never asks (a question is answered No, the safe answer), collects
// what it is told. Nothing shows; each worker has its own.
class CollectingOperator : public Operator {
public:
    void message(const QString& text, Icon, const QString&) override { m_told << text; }
    bool askYesNo(const QString& text, Icon, const QString&, Answer) override {
        m_told << text;
        return false;
    }
    void setBusy(bool) override {}
    void beep() override {}
    void progress(const QString&, int, int) override {}

    qsizetype count() const { return m_told.size(); }
    QString last() const { return m_told.isEmpty() ? QString() : m_told.last(); }
    // What was told since `from`, one line each.
    QString since(qsizetype from) const { return m_told.mid(from).join(QLatin1Char('\n')); }

private:
    QStringList m_told;
};

QString cancelledText() {
    return QStringLiteral("The survey was cancelled.");
}

bool cancelled(const Cancellation* cancel) {
    return cancel && cancel->requested();
}

// Reads the location's file into state as `nodalyx-cli serial LOCATION` does: any message
// is a failure. Empty, or why the location cannot be surveyed.
QString loadLocation(const QString& programDir, const QString& location, SharedState& state) {
    state.programDir = programDir;
    if (const QString refusal = checkLocationName(location); !refusal.isEmpty())
        return refusal;
    const QString file = location + QStringLiteral(".fgr");
    if (!QFileInfo(programDir + QLatin1Char('/') + file).isFile())
        return QStringLiteral("The location \"%1\" does not exist in \"%2\".")
            .arg(location, programDir);
    CollectingOperator op;
    if (!ReadFGR(state, file, op) && op.count() == 0)
        return QStringLiteral("\"%1\" is not a location file.").arg(file);
    state.locationName = location;
    return op.since(0);
}

// "text: reason" when the link knows why, else the text with a full stop.
QString withReason(const QString& text, const Link& link) {
    return link.lastFailure().isEmpty() ? text + QLatin1Char('.')
                                        : text + QStringLiteral(": ") + link.lastFailure();
}

// Opens the link and reads the serial number and the clock. The session compares nothing (it
// would ask about another logger): the location's number is compared here by the session's
// rule (the logger's number contains the location's). False when the logger was not reached.
bool readSerialAndClock(SharedState& state, Link& link, CollectingOperator& op, SurveyResult& r) {
    SessionPolicy policy;
    policy.serial = SessionPolicy::Serial::Compare;
    policy.failureText = [](const Link& l) { return l.connectionFailedText(); };
    GeneralSettings unchecked = state.settings;
    unchecked.eSerialnumber.clear(); // every number contains the empty one: never asks
    LoggerSession session(link, op, unchecked, policy);
    const qsizetype before = op.count();
    if (session.start() != LoggerSession::Start::Ready) {
        r.reason = op.count() > before ? op.last() : link.connectionFailedText();
        return false;
    }
    const QString serial = session.remoteSerial().value_or(QString());
    if (serial.isEmpty()) { // FF and its code, or blanks only: no serial number either
        r.reason = QStringLiteral("The logger sent no serial number.");
        return false;
    }
    r.reached = true;
    r.serial = serial;
    if (!state.settings.eSerialnumber.isEmpty())
        r.serialMatches = serial.contains(state.settings.eSerialnumber);
    LoggerClock clock;
    if (!link.ReadLoggerClock(clock)) {
        r.reason = withReason(QStringLiteral("The logger did not answer the clock request"), link);
        return true;
    }
    r.loggerClock = clock.text();
    if (const std::optional<qint64> drift = clockDriftMinutes(clock, QDateTime::currentDateTime()))
        r.driftMinutes = *drift;
    return true;
}

// The general read-out and its comparison with the location, as `settings --diff`.
void compareSettings(SharedState& state, Link& link, CollectingOperator& op, SurveyResult& r,
                     const Cancellation* cancel) {
    ConfigurationControls controls;
    const qsizetype before = op.count();
    GetGeneralsettings(state, controls, op);
    const GeneralSettings location = state.settings;
    const GeneralReadout readout = ReadGeneralSettings(state, link, op, controls, {}, cancel);
    state.settings = location; // the read-out's interval stays out of the location
    if (readout.cancelled) {
        r.reason = cancelledText();
        return;
    }
    if (!readout.connected) {
        r.reason = op.count() > before ? op.last() : dataLoggerFailedText(link);
        return;
    }
    QStringList keys;
    for (const SettingDifference& d : compareWithLocation(location, controls, readout.read))
        keys << d.setting;
    r.differences = keys;
    if (!readout.failed.isEmpty())
        r.reason = QStringLiteral("No valid reply from the logger for: %1.")
                       .arg(readout.failed.join(QStringLiteral(", ")));
}

// Set Date/Time, then the read-back within a minute of the PC.
void setClock(SharedState& state, Link& link, CollectingOperator& op, SurveyResult& r,
              const Cancellation* cancel) {
    const qsizetype before = op.count();
    const ClockSetting set =
        SetLoggerDateTime(state, link, op, QDateTime::currentDateTime(), {}, cancel);
    if (set.cancelled) {
        r.reason = cancelledText();
        return;
    }
    const std::optional<qint64> drift =
        set.clock ? clockDriftMinutes(*set.clock, set.readAt) : std::nullopt;
    r.clockSet = drift && qAbs(*drift) <= 1;
    if (!r.clockSet) {
        const QString why = op.count() > before     ? op.since(before)
                            : set.txtDate.isEmpty() ? QStringLiteral("no read-back")
                                                    : set.txtDate;
        r.reason = QStringLiteral("The clock was not set: %1").arg(why);
    }
}

QJsonValue orNull(const std::optional<QString>& v) {
    return v ? QJsonValue(*v) : QJsonValue(QJsonValue::Null);
}

QString csvBool(std::optional<bool> v) {
    return !v ? QString() : *v ? QStringLiteral("true") : QStringLiteral("false");
}

} // namespace

bool SurveyResult::driftsMoreThan(int maxMinutes) const {
    if (!driftMinutes)
        return loggerClock.has_value();
    return qAbs(*driftMinutes) > qAbs(qint64(maxMinutes));
}

SurveyTally tallySurvey(const QList<SurveyResult>& results, int maxDriftMinutes) {
    SurveyTally t;
    for (const SurveyResult& r : results) {
        ++t.total;
        (r.reached ? t.reached : t.notReached)++;
        t.incomplete += r.reached && !r.reason.isEmpty();
        t.otherSerial += r.serialMatches == false;
        t.differing += r.differences && !r.differences->isEmpty();
        t.clocksSet += r.clockSet;
        const bool drifted = r.driftsMoreThan(maxDriftMinutes);
        t.drifted += drifted;
        t.driftLeft += drifted && !r.clockSet;
    }
    return t;
}

QJsonObject surveyJson(const SurveyResult& r) {
    QJsonObject o;
    o.insert(QStringLiteral("location"), r.location);
    o.insert(QStringLiteral("reached"), r.reached);
    o.insert(QStringLiteral("reason"),
             r.reason.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(r.reason));
    o.insert(QStringLiteral("serial"), orNull(r.serial));
    o.insert(QStringLiteral("serial_matches"),
             r.serialMatches ? QJsonValue(*r.serialMatches) : QJsonValue(QJsonValue::Null));
    o.insert(QStringLiteral("logger_clock"), orNull(r.loggerClock));
    o.insert(QStringLiteral("drift_minutes"),
             r.driftMinutes ? QJsonValue(*r.driftMinutes) : QJsonValue(QJsonValue::Null));
    o.insert(QStringLiteral("differences"),
             r.differences ? QJsonValue(QJsonArray::fromStringList(*r.differences))
                           : QJsonValue(QJsonValue::Null));
    o.insert(QStringLiteral("clock_set"), r.clockSet);
    return o;
}

QString surveyCsvHeader() {
    return QStringLiteral("location,reached,reason,serial,serial_matches,logger_clock,"
                          "drift_minutes,differences,clock_set");
}

QString surveyCsvLine(const SurveyResult& r) {
    const QStringList fields{
        csvField(r.location),
        csvBool(r.reached),
        csvField(r.reason),
        csvField(r.serial.value_or(QString())),
        csvBool(r.serialMatches),
        r.loggerClock.value_or(QString()),
        r.driftMinutes ? QString::number(*r.driftMinutes) : QString(),
        csvField(r.differences ? r.differences->join(QLatin1Char(';')) : QString()),
        csvBool(r.clockSet),
    };
    return fields.join(QLatin1Char(','));
}

SurveyResult surveyLocation(const QString& programDir, const QString& location,
                            const SurveyOptions& options, const Cancellation* cancel) {
    SurveyResult r;
    r.location = location;
    SharedState state;
    r.reason = loadLocation(programDir, location, state);
    if (!r.reason.isEmpty())
        return r;
    if (cancelled(cancel)) {
        r.reason = cancelledText();
        return r;
    }
    CollectingOperator op;
    Link link(state.settings);
    tellNotices(link, op);
    link.setTimeouts(options.timeouts);
    if (!readSerialAndClock(state, link, op, r) || !r.reason.isEmpty())
        return r;
    if (options.settings) {
        if (cancelled(cancel)) {
            r.reason = cancelledText();
            return r;
        }
        compareSettings(state, link, op, r, cancel);
        if (!r.reason.isEmpty())
            return r;
    }
    // Only the expected logger's clock is set (or any, when the location names no number).
    if (options.syncClock && r.serialMatches.value_or(true) &&
        r.driftsMoreThan(options.maxDriftMinutes)) {
        if (cancelled(cancel))
            r.reason = cancelledText();
        else
            setClock(state, link, op, r, cancel);
    }
    link.CloseLink();
    return r;
}

QString surveySerialDevice(const QString& programDir, const QString& location) {
    SharedState state;
    if (!loadLocation(programDir, location, state).isEmpty() || !isSerial(state.settings))
        return {};
    QString error;
    const std::optional<LinkEndpoint> endpoint = endpointFor(state.settings, &error);
    return endpoint && endpoint->isSerial() ? endpoint->device : QString();
}

} // namespace nodalyx
