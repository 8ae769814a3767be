#include "GeneralUpload.h"

#include "LoggerCodes.h"

#include <QDeadlineTimer>
#include <QRegularExpression>

namespace nodalyx {

namespace {

constexpr int kTextBytes = 10;
constexpr int kExtensionBytes = 6;

quint8 at(const QByteArray& bytes, int index) {
    return quint8(bytes.at(index));
}

} // namespace

GeneralUpload::GeneralUpload(SharedState& state, Link& link, ReportLine line)
    : m_state(state), m_link(link), m_line(std::move(line)) {}

QByteArray GeneralUpload::textBuffer(const QString& text) {
    QByteArray bytes(kTextBytes, '\0');
    for (int i = 0; i < text.size() && i < kTextBytes; ++i)
        bytes[i] = char(text.at(i).unicode() & 0xFF);
    return bytes;
}

void GeneralUpload::report(const QString& line) const {
    if (m_line)
        m_line(line);
}

bool GeneralUpload::stop(const QString& why) {
    m_stoppedBy = why;
    return false;
}

GeneralUploadResult GeneralUpload::run() {
    m_ok = true;
    m_stoppedBy.clear();
    if (sendTexts() && sendExtensions() && sendDays() && sendInterval()) {
        sendAddresses();
        if (m_ok)
            sendPort();
    }
    return {m_ok && m_stoppedBy.isEmpty(), m_stoppedBy};
}

// Each text goes in three frames: characters 1..5 (the fifth first), 6..10, then an empty
// part 2 that tells the logger the text is complete.
bool GeneralUpload::sendText(int code, const QString& text, const QString& field) {
    if (text.size() > kTextBytes)
        return stop(QStringLiteral("%1 \"%2\" is longer than %3 characters; nothing after it "
                                   "was sent.")
                        .arg(field, text)
                        .arg(kTextBytes));
    const QByteArray buf = textBuffer(text);
    for (int part = 0; part < 3 && m_ok; ++part) {
        const int f = part * 5; // first character of the part
        const bool data = part < 2;
        m_ok = m_link.SendCommand(code, data ? at(buf, f + 4) : 0, data ? at(buf, f + 3) : 0,
                                  data ? at(buf, f + 2) : 0, data ? at(buf, f + 1) : 0,
                                  data ? at(buf, f) : 0, part) &&
               m_link.WaitAck();
    }
    return true;
}

bool GeneralUpload::sendTexts() {
    const GeneralSettings& s = m_state.settings;
    const struct {
        int code;
        const QString& text;
        const char* field;
        const char* name;
    } items[] = {{cmd::WriteCode, s.LocationCode, "Location code", "locationcode"},
                 {cmd::WriteName, s.LocationName, "Location name", "locationname"},
                 {cmd::WritePlace, s.LocationPlace, "Location place", "location place"}};
    for (const auto& item : items) {
        if (item.text.isEmpty() || !m_ok)
            continue;
        if (!sendText(item.code, item.text, QString::fromLatin1(item.field)))
            return false;
        report(
            QStringLiteral("Upload %1 %2").arg(QLatin1String(item.name), m_ok ? "OK" : "FAILED"));
    }
    return true;
}

bool GeneralUpload::sendExtensions() {
    for (int k = 0; k < 4 && m_ok; ++k) {
        const QString& ext = m_state.settings.eExt[k];
        if (ext.size() > kExtensionBytes)
            return stop(QStringLiteral("Extension %1 \"%2\" is longer than %3 characters; "
                                       "nothing after it was sent.")
                            .arg(k + 1)
                            .arg(ext)
                            .arg(kExtensionBytes));
        const QByteArray buf = textBuffer(ext);
        m_ok = m_link.SendCommand(cmd::WriteExtension1 + 2 * k, at(buf, 5), at(buf, 4), at(buf, 3),
                                  at(buf, 2), at(buf, 1), at(buf, 0)) &&
               m_link.WaitAck();
    }
    report(m_ok ? QStringLiteral("Upload extensions OK")
                : QStringLiteral("Upload extensions FAILED"));
    return true;
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

bool GeneralUpload::sendDays() {
    if (!m_ok)
        return true;
    static const QRegularExpression eightDigits(QStringLiteral("^[0-9]{8}$"));
    for (int d = 0; d < 7; ++d) {
        const QString& day = m_state.settings.Days[d];
        const QString name = m_state.DayNames[d];
        if (!eightDigits.match(day).hasMatch())
            return stop(QStringLiteral("Start/Stop %1 \"%2\" is not eight digits (hhmmhhmm); "
                                       "nothing after it was sent.")
                            .arg(name, day));
        auto n = [&day](int pos) { return day.mid(pos, 2).toInt(); };
        const bool sent = m_link.SendCommand(cmd::SetStartStop, n(6), n(4), n(2), n(0), 0, d + 1) &&
                          ackWithin5s();
        report(QStringLiteral("Upload Start/Stop %1 %2").arg(name, sent ? "OK" : "FAILED"));
    }
    return true;
}

bool GeneralUpload::sendInterval() {
    if (!m_ok)
        return true;
    const QString& text = m_state.settings.Interval;
    bool number = false;
    const int minutes = text.trimmed().toInt(&number);
    if (!number || minutes < 0 || minutes > 255)
        return stop(QStringLiteral("Interval \"%1\" is not a number from 0 to 255; nothing "
                                   "after it was sent.")
                        .arg(text));
    const bool sent = m_link.SendCommand(cmd::SetInterval, 0, 0, 0, 0, 0, minutes) && ackWithin5s();
    report(sent ? QStringLiteral("Upload Interval %1 minute OK").arg(text)
                : QStringLiteral("Upload Interval %1 FAILED").arg(text));
    return true;
}

// An octet that is missing or not 0..255 fails its item without a frame: sending another
// field's octet in its place could leave the logger unreachable. Answers why, or empty.
QString GeneralUpload::octetProblem(const QStringList& octets, const QString& field) {
    for (int i = 0; i < 4; ++i) {
        const QString text = i < octets.size() ? octets.at(i).trimmed() : QString();
        if (text.isEmpty())
            return QStringLiteral("%1 not sent: octet %2 is missing").arg(field).arg(i + 1);
        bool number = false;
        const int value = text.toInt(&number);
        if (!number || value < 0 || value > 255)
            return QStringLiteral("%1 not sent: octet %2 \"%3\" is not a number from 0 to 255")
                .arg(field)
                .arg(i + 1)
                .arg(octets.at(i));
    }
    return {};
}

void GeneralUpload::sendAddress(int code, const QStringList& octets, const QString& field,
                                const QString& okLine, const QString& failedLine) {
    const QString problem = octetProblem(octets, field);
    if (problem.isEmpty()) {
        auto octet = [&octets](int i) { return octets.at(i).trimmed().toInt(); };
        m_ok = m_link.SendCommand(code, 0, 0, octet(3), octet(2), octet(1), octet(0)) &&
               m_link.WaitAck();
    } else {
        m_ok = false;
    }
    report(m_ok ? okLine : failedLine);
    if (!problem.isEmpty())
        report(problem);
}

void GeneralUpload::sendAddresses() {
    const GeneralSettings& s = m_state.settings;
    const struct {
        int code;
        const QStringList& octets;
        const char* field;
        const char* name;
    } items[] = {{cmd::SetIpAddress, s.eIPaddress, "IP address", "IP address"},
                 {cmd::SetSubnetMask, s.eSubnetmask, "Subnetmask", "Subnetmask"},
                 {cmd::SetGateway, s.eGateway, "Gateway address", "Gateway address"}};
    for (const auto& item : items) {
        if (!m_ok)
            return;
        const QString name = QString::fromLatin1(item.name);
        sendAddress(item.code, item.octets, QString::fromLatin1(item.field),
                    QStringLiteral("Upload %1 OK").arg(name),
                    QStringLiteral("Upload %1 FAILED").arg(name));
    }
}

// An empty port becomes 3101 in the settings and stays so. Ports up to 65535 go as the
// unsigned number; anything else fails the item without a frame.
void GeneralUpload::sendPort() {
    QString& text = m_state.settings.ePortnumber;
    if (text.isEmpty())
        text = QStringLiteral("3101");
    bool number = false;
    const int port = text.trimmed().toInt(&number);
    m_ok = number && port >= 0 && port <= 65535 &&
           m_link.SendCommand(cmd::SetPort, 0, 0, 0, 0, port / 256, port % 256) && m_link.WaitAck();
    report(m_ok ? QStringLiteral("Upload Port number OK")
                : QStringLiteral("Upload Port Number FAILD"));
}

} // namespace nodalyx
