#include "UploadVerify.h"

#include "GeneralReadout.h"
#include "SettingsComparison.h"

namespace nodalyx {

namespace {

// What the read-out reads that the upload does not send.
bool notSent(const QString& name) {
    static const QStringList kNotSent{
        QStringLiteral("Date/Time logger"), QStringLiteral("DHCP IP"),
        QStringLiteral("MAC address"),      QStringLiteral("Host name"),
        QStringLiteral("Serial number"),    QStringLiteral("eHostname"),
        QStringLiteral("eSerialnumber")};
    return kNotSent.contains(name);
}

// The upload leaves out an empty location code, name or place.
bool leftOut(const SettingDifference& d) {
    static const QStringList kSkippedWhenEmpty{QStringLiteral("LocationCode"),
                                               QStringLiteral("LocationName"),
                                               QStringLiteral("LocationPlace")};
    return d.location.isEmpty() && kSkippedWhenEmpty.contains(d.setting);
}

// A read-out step whose setting the upload left out (an empty text).
bool leftOut(const QString& step, const GeneralSettings& sent) {
    return (step == QLatin1String("Location Code") && sent.LocationCode.isEmpty()) ||
           (step == QLatin1String("Location Name") && sent.LocationName.isEmpty()) ||
           (step == QLatin1String("Location Place") && sent.LocationPlace.isEmpty());
}

QString summary(const VerifyResult& r) {
    if (!r.read)
        return QStringLiteral("Verify FAILED: the settings could not be read back");
    if (r.verified())
        return QStringLiteral("Verify OK: the logger holds every setting sent");
    return QStringLiteral("Verify FAILED: %1 setting(s) differ, %2 not read back")
        .arg(r.differences)
        .arg(r.unanswered);
}

} // namespace

VerifyResult VerifyUpload(SharedState& state, Link& link, Operator& op, const ReportLine& line) {
    const GeneralSettings sent = state.settings;
    ConfigurationControls controls;
    const GeneralReadout readout = ReadGeneralSettings(state, link, op, controls);
    state.settings = sent; // the read-out writes the logger's interval into the settings
    link.CloseLink();
    VerifyResult result;
    result.read = readout.connected;
    for (const QString& name : readout.failed) {
        if (notSent(name) || leftOut(name, sent))
            continue;
        ++result.unanswered;
        line(QStringLiteral("Verify %1: no answer from the logger").arg(name));
    }
    for (const SettingDifference& d : compareWithLocation(sent, controls, readout.read)) {
        if (notSent(d.setting) || leftOut(d))
            continue;
        ++result.differences;
        line(QStringLiteral("Verify %1 differs: sent \"%2\", logger holds \"%3\"")
                 .arg(d.setting, d.location, d.logger));
    }
    line(summary(result));
    return result;
}

} // namespace nodalyx
