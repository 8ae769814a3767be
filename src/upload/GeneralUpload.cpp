#include "GeneralUpload.h"

#include "FormChecks.h"
#include "WriteRequests.h"

#include <QDeadlineTimer>

namespace nodalyx {

namespace {

constexpr int kTextBytes = 10;
constexpr int kExtensionBytes = 6;

QString seconds(int ms) {
    return QString::number(ms / 1000.0);
}

} // namespace

GeneralUpload::GeneralUpload(SharedState& state, Link& link, ReportLine line,
                             const Cancellation* cancel)
    : m_state(state), m_link(link), m_line(std::move(line)), m_cancel(cancel) {}

void GeneralUpload::report(const QString& line) const {
    if (m_line)
        m_line(line);
}

bool GeneralUpload::stop(const QString& why) {
    m_stoppedBy = why;
    report(why); // also a line of the report, so that a copy of it keeps the reason
    return false;
}

// True when the item may be sent: the chain is whole and the operator has not cancelled.
// Otherwise the item is noted as not sent.
bool GeneralUpload::goOn(const QString& item) {
    if (!m_stoppedBy.isEmpty())
        return false;
    if (m_cancelled || (m_cancel && m_cancel->requested())) {
        m_cancelled = true;
        m_skipped << item;
        return false;
    }
    if (!m_ok)
        m_skipped << item;
    return m_ok;
}

// A failed item's reason follows its report line.
void GeneralUpload::fail(const QString& why) {
    m_allOk = false;
    if (!why.isEmpty())
        report(why);
}

void GeneralUpload::reportSkipped() const {
    if (m_skipped.isEmpty())
        return;
    const QString items = m_skipped.join(QStringLiteral(", "));
    report(m_cancelled ? QStringLiteral("Upload cancelled; not sent: %1").arg(items)
                       : QStringLiteral("Not sent after the failure above: %1").arg(items));
}

GeneralUploadResult GeneralUpload::run() {
    m_ok = m_allOk = true;
    m_cancelled = false;
    m_stoppedBy.clear();
    m_acknowledged.clear();
    m_skipped.clear();
    m_values = LocationSettings::from(m_state.settings, m_state.DayNames);
    sendTexts();
    if (m_stoppedBy.isEmpty()) {
        sendExtensions();
        sendDays();
        sendInterval();
        sendAddresses();
        sendPort();
        reportSkipped();
    }
    GeneralUploadResult result;
    result.ok = m_ok && m_allOk && !m_cancelled && m_stoppedBy.isEmpty();
    result.cancelled = m_cancelled;
    result.stoppedBy = m_stoppedBy;
    result.acknowledged = m_acknowledged;
    return result;
}

// Whether a frame went out and was acknowledged; when not, why (naming the field and its
// value) is kept for the line after the item's report line.
bool GeneralUpload::acknowledged(bool sent, AckWait wait, const QString& field) {
    const bool ack = sent && (wait == AckWait::Ack ? m_link.WaitAck() : ackWithin5s());
    if (ack)
        return true;
    QString why;
    if (!sent)
        why = m_link.lastFailure().isEmpty() ? QStringLiteral("the link is not open")
                                             : m_link.lastFailure();
    else if (m_link.nakFlag())
        why = QStringLiteral("the logger refused it (NAK)");
    else if (m_link.lastFailure() == QLatin1String("connection lost"))
        why = m_link.lastFailure();
    else
        why = QStringLiteral("no acknowledgement within %1 s")
                  .arg(seconds(wait == AckWait::Ack ? m_link.timeouts().ackMs
                                                    : m_link.timeouts().replyMs));
    m_why = QStringLiteral("%1: %2").arg(field, why);
    return false;
}

// The start/stop and interval frames get the reply time (5 s) for their acknowledgement. A
// NAK is not an answer: the wait runs on to its end.
bool GeneralUpload::ackWithin5s() {
    QDeadlineTimer deadline(m_link.timeouts().replyMs);
    if (m_link.WaitRaw(1, m_link.timeouts().replyMs) && m_link.ackFlag() && !m_link.nakFlag())
        return true;
    if (m_link.nakFlag() && !deadline.hasExpired())
        m_link.Wait(double(deadline.remainingTime()) / 1000.0);
    return false;
}

// ---- the location texts ----

// Each text goes in three frames: characters 1..5 (the fifth first), 6..10, then an empty
// part 2 that tells the logger the text is complete.
bool GeneralUpload::sendText(LocationText which, const QString& text, const QString& field) {
    if (text.size() > kTextBytes)
        return stop(QStringLiteral("%1 \"%2\" is longer than %3 characters; nothing after it "
                                   "was sent.")
                        .arg(field, text)
                        .arg(kTextBytes));
    const QString named = QStringLiteral("%1 \"%2\"").arg(field, text);
    for (const Command& part : locationTextRequests(which, text)) {
        if (!m_ok)
            break;
        m_ok = acknowledged(m_link.SendCommand(part), AckWait::Ack, named);
    }
    return true;
}

void GeneralUpload::sendTexts() {
    const GeneralSettings& s = m_state.settings;
    const struct {
        LocationText which;
        const QString& text;
        const char* key;
        const char* field;
        const char* name;
    } items[] = {
        {LocationText::Code, s.LocationCode, "LocationCode", "Location code", "locationcode"},
        {LocationText::Name, s.LocationName, "LocationName", "Location name", "locationname"},
        {LocationText::Place, s.LocationPlace, "LocationPlace", "Location place",
         "location place"}};
    for (const auto& item : items) {
        if (item.text.isEmpty()) // an empty text is left out
            continue;
        const QString field = QString::fromLatin1(item.field);
        if (!goOn(field.toLower()))
            continue;
        if (!sendText(item.which, item.text, field))
            return;
        report(
            QStringLiteral("Upload %1 %2").arg(QLatin1String(item.name), m_ok ? "OK" : "FAILED"));
        if (m_ok)
            m_acknowledged << QLatin1String(item.key);
        else
            fail(std::exchange(m_why, {}));
    }
}

// An extension longer than six characters travels as its first six (the logger keeps six); a
// line says so.
void GeneralUpload::sendExtensions() {
    if (!m_stoppedBy.isEmpty() || m_cancelled || (m_cancel && m_cancel->requested())) {
        goOn(QStringLiteral("extensions"));
        return;
    }
    QStringList notes;
    const bool wasOk = m_ok;
    for (int k = 0; k < 4 && m_ok; ++k) {
        const QString& ext = m_state.settings.eExt[k];
        if (ext.size() > kExtensionBytes)
            notes << QStringLiteral("Extension %1 \"%2\" is longer than %3 characters; its first "
                                    "%3 were sent.")
                         .arg(k + 1)
                         .arg(ext)
                         .arg(kExtensionBytes);
        const bool sent = m_link.SendCommand(extensionRequest(k, ext));
        m_ok = acknowledged(sent, AckWait::Ack,
                            QStringLiteral("Extension %1 \"%2\"").arg(k + 1).arg(ext));
        if (m_ok)
            m_acknowledged << QStringLiteral("eExt%1").arg(k + 1);
    }
    // The line is written even when an earlier item failed and no extension was sent.
    report(m_ok ? QStringLiteral("Upload extensions OK")
                : QStringLiteral("Upload extensions FAILED"));
    if (!wasOk)
        m_skipped << QStringLiteral("extensions");
    else if (!m_ok)
        fail(std::exchange(m_why, {}));
    for (const QString& note : notes)
        report(note);
}

// ---- counting windows and interval: a failure fails only its own item ----

void GeneralUpload::sendDays() {
    if (!goOn(QStringLiteral("Start/Stop times")))
        return;
    for (int d = 0; d < 7; ++d) {
        if (d > 0 && m_cancel && m_cancel->requested()) {
            m_cancelled = true;
            m_skipped << (d == 6 ? QStringLiteral("Start/Stop %1").arg(m_state.DayNames[d])
                                 : QStringLiteral("Start/Stop %1..%2")
                                       .arg(m_state.DayNames[d], m_state.DayNames[6]));
            return;
        }
        sendDay(d);
    }
}

bool GeneralUpload::sendDay(int d) {
    const QString name = m_state.DayNames[d];
    const QString named =
        QStringLiteral("Start/Stop %1 \"%2\"").arg(name, m_state.settings.Days[d]);
    const Parsed<DayWindow>& window = m_values.days[d];
    bool sent = false;
    if (!window) {
        report(QStringLiteral("Set remote Start/Stop time FAILED"));
        m_why = window.problem;
    } else {
        sent =
            acknowledged(m_link.SendCommand(startStopRequest(d, *window)), AckWait::Reply, named);
    }
    report(QStringLiteral("Upload Start/Stop %1 %2").arg(name, sent ? "OK" : "FAILED"));
    if (sent)
        m_acknowledged << QLatin1String(dayRowNames()[d]);
    else
        fail(std::exchange(m_why, {}));
    return sent;
}

void GeneralUpload::sendInterval() {
    if (!goOn(QStringLiteral("interval")))
        return;
    const QString& text = m_state.settings.Interval;
    const QString named = QStringLiteral("Interval \"%1\"").arg(text);
    const Parsed<quint8>& minutes = m_values.interval;
    bool sent = false;
    if (!minutes) {
        report(QStringLiteral("Set interval on remote site FAILED"));
        m_why = minutes.problem;
    } else {
        sent =
            acknowledged(m_link.SendCommand(setIntervalRequest(*minutes)), AckWait::Reply, named);
    }
    report(sent ? QStringLiteral("Upload Interval %1 minute OK").arg(text)
                : QStringLiteral("Upload Interval %1 FAILED").arg(text));
    if (sent)
        m_acknowledged << QStringLiteral("Interval");
    else
        fail(std::exchange(m_why, {}));
}

// ---- the logger's network settings ----

// An octet that is missing or not 0..255 fails its item without a frame: sending another
// field's octet in its place could leave the logger unreachable.
void GeneralUpload::sendAddress(NetworkAddress which, const Parsed<Address>& address,
                                const QStringList& octets, const QString& key,
                                const QString& name) {
    if (!goOn(name))
        return;
    if (isEmptyAddress(octets)) { // the location holds no address: left out, as an empty text is
        report(QStringLiteral("Upload %1 left out: the location holds no %1").arg(name));
        return;
    }
    if (address) {
        const QString named =
            QStringLiteral("%1 \"%2\"").arg(name, octets.mid(0, 4).join(QLatin1Char('.')));
        m_ok =
            acknowledged(m_link.SendCommand(addressRequest(which, *address)), AckWait::Ack, named);
    } else {
        m_ok = false;
        m_why = address.problem;
    }
    report(QStringLiteral("Upload %1 %2").arg(name, m_ok ? "OK" : "FAILED"));
    if (m_ok)
        m_acknowledged << key;
    else
        fail(std::exchange(m_why, {}));
}

void GeneralUpload::sendAddresses() {
    const GeneralSettings& s = m_state.settings;
    sendAddress(NetworkAddress::Ip, m_values.ipAddress, s.eIPaddress, QStringLiteral("eIPaddress"),
                QStringLiteral("IP address"));
    sendAddress(NetworkAddress::SubnetMask, m_values.subnetMask, s.eSubnetmask,
                QStringLiteral("eSubnetmask"), QStringLiteral("Subnetmask"));
    sendAddress(NetworkAddress::Gateway, m_values.gateway, s.eGateway, QStringLiteral("eGateway"),
                QStringLiteral("Gateway address"));
}

// An empty port becomes 3101 in the settings and stays so. Ports up to 65535 go as the
// unsigned number; anything else fails the item without a frame.
void GeneralUpload::sendPort() {
    if (!goOn(QStringLiteral("Port number")))
        return;
    QString& text = m_state.settings.ePortnumber;
    if (text.isEmpty())
        text = QString::number(kDefaultLoggerPort);
    const QString named = QStringLiteral("Port number \"%1\"").arg(text);
    const Parsed<quint16>& port = m_values.port;
    if (port) {
        m_ok = acknowledged(m_link.SendCommand(portRequest(*port)), AckWait::Ack, named);
    } else {
        m_ok = false;
        m_why = port.problem;
    }
    report(m_ok ? QStringLiteral("Upload Port number OK")
                : QStringLiteral("Upload Port Number FAILD"));
    if (m_ok)
        m_acknowledged << QStringLiteral("ePortnumber");
    else
        fail(std::exchange(m_why, {}));
}

} // namespace nodalyx
