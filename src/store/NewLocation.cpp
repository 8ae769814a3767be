#include "NewLocation.h"

#include "HighwayStore.h"
#include "LocationSettings.h"
#include "LocationStore.h"
#include "TextConvert.h"
#include "ValueRules.h"

#include <QDir>
#include <QFileInfo>

namespace nodalyx {

namespace {

QString checkSerial(const NewLocationRequest& request) {
    if (request.comport.isEmpty())
        return QStringLiteral("Choose the Comm port of the Com port connection.");
    if (!isNumberIn(request.comport, 1, kHighestComport))
        return QStringLiteral("The Comm port \"%1\" is not a port number 1..255.")
            .arg(request.comport);
    return {};
}

QString checkLan(const NewLocationRequest& request) {
    if (!isIPv4Address(request.IPnumber))
        return QStringLiteral("The IP address \"%1\" is not four numbers 0..255 separated by "
                              "dots.")
            .arg(request.IPnumber);
    if (!isNumberIn(request.Portnumber, 1, kHighestPort))
        return QStringLiteral("The port number \"%1\" is not a number 1..65535.")
            .arg(request.Portnumber);
    return {};
}

QString checkConnection(const NewLocationRequest& request) {
    switch (ConnectionKind(request.ConnType)) {
    case ConnectionKind::None:
        return {};
    case ConnectionKind::Serial:
        return checkSerial(request);
    case ConnectionKind::Lan:
        return checkLan(request);
    default:
        return QStringLiteral("Choose the connection type: Com port or LAN.");
    }
}

QString checkNotExisting(const QString& programDir, const QString& name) {
    const QDir dir(programDir);
    if (QFileInfo::exists(dir.filePath(name + QLatin1String(".fgr"))))
        return QStringLiteral("The location \"%1\" already exists.").arg(name);
    if (QFileInfo::exists(dir.filePath(name)))
        return QStringLiteral("A file or folder \"%1\" is already in the way of the location's "
                              "folder.")
            .arg(name);
    return {};
}

// Elements 0..3 emptied where the list has them.
void emptyOctets(QStringList& list) {
    for (int i = 0; i < 4 && i < list.size(); ++i)
        list[i].clear();
}

} // namespace

QString checkNewLocation(const QString& programDir, const NewLocationRequest& request) {
    QString refusal = checkLocationName(request.name);
    if (refusal.isEmpty())
        refusal = checkConnection(request);
    if (refusal.isEmpty())
        refusal = checkNotExisting(programDir, request.name);
    return refusal;
}

void applyNewLocationDefaults(SharedState& state, const NewLocationRequest& request) {
    GeneralSettings& s = state.settings;
    s.ConnType = request.ConnType;
    double port = 0;
    s.Comport = toNumber(request.comport, port).isEmpty() ? float(port) : 0.0f;
    s.IPnumber = request.IPnumber;
    s.Portnumber = request.Portnumber;
    s.PhoneNumber.clear();
    s.LocationCode = QStringLiteral("001");
    s.LocationName = QStringLiteral("Location01");
    s.LocationPlace = QStringLiteral("Place01");
    s.Days.fill(QStringLiteral("07002200"));
    // The interval is kept from the location loaded before; without one (a fresh program
    // directory, the command line) it is the configuration window's own fallback, so that a new
    // location can be uploaded as it is.
    if (s.Interval.trimmed().isEmpty())
        s.Interval = QString::fromLatin1(kNewLocationInterval);
    emptyOctets(s.eIPaddress);
    emptyOctets(s.eSubnetmask);
    emptyOctets(s.eGateway);
    emptyOctets(state.eDHCPIPaddress);
    s.eDHCP = false;
    s.ePortnumber.clear();
    s.eHostname.clear();
    s.eSerialnumber.clear();
    s.eExt.fill(QString());
}

namespace {

// Writes the new location's files from the prepared state; false (reported) on a failure.
bool writeNewLocation(SharedState& draft, const QString& name, Operator& op) {
    if (!WriteFGR(draft, name, op))
        return false;
    if (!QDir(draft.programDir).mkdir(name)) {
        op.message(
            QStringLiteral("Cannot create the folder \"%1/%2\".").arg(draft.programDir, name),
            Operator::Icon::Critical);
        return false;
    }
    ResetHW01(draft);
    if (!WriteHW01(draft, name, op))
        return false;
    ResetHW02(draft);
    return WriteHW02(draft, name, op);
}

} // namespace

bool createLocation(SharedState& state, const NewLocationRequest& request, Operator& op) {
    const QString refusal = checkNewLocation(state.programDir, request);
    if (!refusal.isEmpty()) {
        op.message(refusal, Operator::Icon::Warning);
        return false;
    }
    // The shared state takes the new location only once all its files are written, so a
    // failure leaves the location shown before intact in memory.
    SharedState draft = state;
    applyNewLocationDefaults(draft, request);
    if (!writeNewLocation(draft, request.name, op))
        return false;
    state.settings = draft.settings;
    state.eDHCPIPaddress = draft.eDHCPIPaddress;
    state.HW1Unit = draft.HW1Unit;
    state.HW2Unit = draft.HW2Unit;
    return true;
}

} // namespace nodalyx
