#include "UploadVerify.h"

#include "FormChecks.h"
#include "GeneralReadout.h"
#include "LocationFileCodec.h"
#include "LocationSettings.h"
#include "SettingsComparison.h"

namespace nodalyx {

namespace {

// What the upload sends: the location file's key (as the comparison names it), the read-out
// step that reads it back, and the item's name in the report.
struct Checked {
    QString key;
    QString step;
    QString item;
};

QList<Checked> checkedSettings() {
    QList<Checked> list{{"LocationCode", "Location Code", "location code"},
                        {"LocationName", "Location Name", "location name"},
                        {"LocationPlace", "Location Place", "location place"}};
    for (int k = 1; k <= 4; ++k)
        list.append({QStringLiteral("eExt%1").arg(k), QStringLiteral("KVR file copy to %1").arg(k),
                     QStringLiteral("extension %1").arg(k)});
    for (const char* day : dayRowNames())
        list.append({QLatin1String(day), QLatin1String(day),
                     QStringLiteral("Start/Stop %1").arg(QLatin1String(day))});
    list.append({{"Interval", "Interval", "interval"},
                 {"eIPaddress", "IP address", "IP address"},
                 {"eSubnetmask", "Subnetmask", "Subnetmask"},
                 {"eGateway", "Gateway", "Gateway address"},
                 {"ePortnumber", "Port number", "Port number"}});
    return list;
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

// The values as they travelled: an extension goes as its first six characters.
GeneralSettings asSent(const GeneralSettings& settings) {
    GeneralSettings sent = settings;
    for (QString& ext : sent.eExt)
        ext = ext.left(6);
    return sent;
}

// The window's interval box shows 30 for minutes that are none of its items: the interval sent
// is compared with the minutes the logger holds instead.
QList<SettingDifference> withLoggerInterval(QList<SettingDifference> differences,
                                            const GeneralSettings& sent,
                                            const ConfigurationControls& read) {
    differences.removeIf([](const SettingDifference& d) { return d.setting == "Interval"; });
    if (!read.loggerInterval)
        return differences;
    const QString held = QString::number(*read.loggerInterval);
    const Parsed<quint8> interval = parseInterval(sent.Interval);
    if (!interval.value || int(*interval.value) != *read.loggerInterval)
        differences.append(
            {QStringLiteral("Interval"), {BoxKey{Box::Interval}}, sent.Interval.trimmed(), held});
    return differences;
}

} // namespace

VerifyResult VerifyUpload(SharedState& state, Link& link, Operator& op, const ReportLine& line,
                          const QStringList& acknowledged, const Cancellation* cancel) {
    const GeneralSettings sent = asSent(state.settings);
    const GeneralSettings kept = state.settings;
    ConfigurationControls controls;
    const GeneralReadout readout = ReadGeneralSettings(state, link, op, controls, {}, cancel);
    state.settings = kept; // the read-out writes the logger's interval into the settings
    link.CloseLink();
    VerifyResult result;
    result.read = readout.connected;
    if (readout.cancelled) {
        result.cancelled = true;
        line(QStringLiteral("Verify cancelled: the settings were not all read back"));
        return result;
    }
    QStringList notChecked;
    const QList<SettingDifference> differences = compareWithLocation(sent, controls, readout.read);
    for (const Checked& c : checkedSettings()) {
        if (!acknowledged.contains(c.key)) {
            // An empty location code, name or place is left out by design, not unchecked.
            const bool leftOut =
                c.key.startsWith(QLatin1String("Location")) && settingText(sent, c.key).isEmpty();
            if (!leftOut)
                notChecked << c.item;
            continue;
        }
        if (readout.failed.contains(c.step)) {
            ++result.unanswered;
            line(QStringLiteral("Verify %1: no answer from the logger").arg(c.step));
        }
    }
    for (const SettingDifference& d : withLoggerInterval(differences, sent, controls)) {
        if (!acknowledged.contains(d.setting))
            continue;
        ++result.differences;
        line(QStringLiteral("Verify %1 differs: sent \"%2\", logger holds \"%3\"")
                 .arg(d.setting, d.location, d.logger));
    }
    if (!notChecked.isEmpty())
        line(QStringLiteral("Verify did not check (not sent or not acknowledged): %1")
                 .arg(notChecked.join(QStringLiteral(", "))));
    line(summary(result));
    return result;
}

} // namespace nodalyx
