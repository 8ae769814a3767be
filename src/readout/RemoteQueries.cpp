#include "RemoteQueries.h"

#include "LoggerCodes.h"
#include "RemoteReplies.h"

namespace nodalyx {

namespace {

enum class Fit { Exactly, AtLeast };

// FF, code, 20 characters, check byte: the whole host name reply.
constexpr int kHostNameReplySize = 23;

bool send(Link& link, const QueryRequest& r) {
    return link.SendCommand(r);
}

// Sends the request and waits for a data reply of the given length; the reply or nothing.
std::optional<QByteArray> ask(Link& link, const QueryRequest& r, Fit fit, int length) {
    if (!send(link, r))
        return std::nullopt;
    const bool ok = fit == Fit::Exactly ? link.WaitExactly(length) : link.WaitAtLeast(length);
    if (!ok)
        return std::nullopt;
    return link.rxBuffer();
}

// A reply long enough for its decoding may still be on its way in pieces: waits a moment
// for the rest of a reply whose full length is known, so a text is not cut short.
QByteArray completed(Link& link, int fullLength) {
    if (link.rxBuffer().size() < fullLength)
        link.WaitAtLeast(fullLength, 2 * link.timeouts().pollMs);
    return link.rxBuffer();
}

template <std::size_t N>
void write(std::array<QString, N>& boxes, const std::array<QString, N>& values, Box array,
           BoxKeys& read) {
    for (std::size_t i = 0; i < N; ++i) {
        boxes[i] = values[i];
        read.insert({array, int(i)});
    }
}

bool network(Link& link, int first, std::array<QString, 4>& boxes, Box array, BoxKeys& read) {
    const auto reply = ask(link, plainRequest(cmd::ReadNetwork), Fit::AtLeast, first + 3);
    const auto octets = reply ? decodeOctets(*reply, first) : std::nullopt;
    if (!octets)
        return false;
    write(boxes, *octets, array, read);
    return true;
}

struct TextStep {
    int code;
    int count; // bytes the wait looks for
    BoxKey box;
};
const TextStep kTextSteps[] = {
    {cmd::ReadCode, 12, {Box::Code}},        {cmd::ReadName, 12, {Box::Name}},
    {cmd::ReadPlace, 12, {Box::Place}},      {cmd::ReadExtension1, 8, {Box::Ext, 0}},
    {cmd::ReadExtension2, 8, {Box::Ext, 1}}, {cmd::ReadExtension3, 8, {Box::Ext, 2}},
    {cmd::ReadExtension4, 8, {Box::Ext, 3}},
};

QString& textBox(ConfigurationControls& c, int step) {
    QString* boxes[] = {&c.txtCode,   &c.txtName,   &c.txtPlace, &c.txtExt[0],
                        &c.txtExt[1], &c.txtExt[2], &c.txtExt[3]};
    return *boxes[step];
}

} // namespace

bool GetStartStopTime(Link& link, int day, ConfigurationControls& c, BoxKeys& read) {
    const auto reply = ask(link, dayRequest(day), Fit::Exactly, kDayReplySize);
    const auto times = reply ? decodeDayReply(*reply) : std::nullopt;
    if (!times)
        return false;
    c.txtStart[day - 1] = times->start;
    c.txtStop[day - 1] = times->stop;
    read << BoxKey{Box::Start, day - 1} << BoxKey{Box::Stop, day - 1};
    return true;
}

bool GetInterval(GeneralSettings& settings, Link& link, ConfigurationControls& c, BoxKeys& read) {
    const auto reply = ask(link, intervalRequest(), Fit::Exactly, kIntervalReplySize);
    const auto minutes = reply ? decodeIntervalMinutes(*reply) : std::nullopt;
    if (!minutes)
        return false;
    c.loggerInterval = minutes;
    settings.Interval = intervalText(*minutes);
    c.CboInterval = settings.Interval;
    read << BoxKey{Box::Interval};
    return true;
}

bool GetIPaddres(Link& link, ConfigurationControls& c, BoxKeys& read) {
    std::array<QString, 4> ip;
    if (!network(link, 3, ip, Box::IPaddress, read))
        return false;
    std::copy(ip.begin(), ip.end(), c.txtIPaddress.begin());
    return true;
}

bool GetSubnetmask(Link& link, ConfigurationControls& c, BoxKeys& read) {
    return network(link, 7, c.txtSubnetmask, Box::Subnetmask, read);
}

bool GetGateway(Link& link, ConfigurationControls& c, BoxKeys& read) {
    return network(link, 11, c.txtGateway, Box::Gateway, read);
}

bool GetDHCPIPaddres(Link& link, ConfigurationControls& c, BoxKeys& read) {
    const auto reply = ask(link, plainRequest(cmd::ReadDhcpAddress), Fit::AtLeast, 6);
    const auto octets = reply ? decodeOctets(*reply, 3) : std::nullopt;
    if (!octets)
        return false;
    write(c.txtDHCP, *octets, Box::DHCP, read);
    return true;
}

bool GetPortNumber(Link& link, ConfigurationControls& c, BoxKeys& read) {
    const auto reply = ask(link, plainRequest(cmd::ReadPort), Fit::AtLeast, 4);
    const auto port = reply ? decodePortReply(*reply) : std::nullopt;
    if (!port)
        return false;
    c.txtPortNumber = *port;
    read << BoxKey{Box::PortNumber};
    return true;
}

bool GetMACaddress(Link& link, ConfigurationControls& c, BoxKeys& read) {
    const auto reply = ask(link, plainRequest(cmd::ReadMac), Fit::AtLeast, 8);
    const auto mac = reply ? decodeMacReply(*reply) : std::nullopt;
    if (!mac)
        return false;
    write(c.txtMacAddress, *mac, Box::MacAddress, read);
    return true;
}

bool GetHostname(Link& link, ConfigurationControls& c, BoxKeys& read) {
    if (!ask(link, plainRequest(cmd::ReadHostName), Fit::AtLeast, 6))
        return false;
    const auto name = decodeTrimmedText(completed(link, kHostNameReplySize), kHostNameLength);
    if (!name)
        return false;
    c.txtHostName = *name;
    read << BoxKey{Box::HostName};
    return true;
}

bool GetSerialNumber(Link& link, ConfigurationControls& c, BoxKeys& read) {
    if (!ask(link, plainRequest(cmd::ReadSerial), Fit::AtLeast, 1))
        return false;
    const auto serial = decodeTrimmedText(completed(link, kSerialReplySize), kSerialBoxLength);
    if (!serial)
        return false;
    c.txtSerialNumber = *serial;
    read << BoxKey{Box::SerialNumber};
    return true;
}

bool GetLocationText(Link& link, int step, ConfigurationControls& c, BoxKeys& read) {
    const TextStep& s = kTextSteps[step];
    if (!send(link, plainRequest(s.code)))
        return false;
    link.WaitRaw(s.count);
    // The wait ends before the reply's checksum byte; taken in as well, it cannot arrive after
    // the next request and shift that reply's text by a byte.
    const QByteArray reply = completed(link, s.count + 1);
    // Positions 3 .. count: a buffer of two bytes or fewer (an ACK, a NAK) holds none of them.
    if (reply.size() < 3)
        return false;
    textBox(c, step) = locationText(reply, s.count - 2);
    read << s.box;
    return true;
}

std::optional<LoggerClock> GetLoggerDate(Link& link, ConfigurationControls& c, BoxKeys& read) {
    LoggerClock clock;
    if (!link.ReadLoggerClock(clock))
        return std::nullopt;
    c.txtDate = clock.text();
    read << BoxKey{Box::Date};
    return clock;
}

} // namespace nodalyx
