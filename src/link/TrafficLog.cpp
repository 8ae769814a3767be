#include "TrafficLog.h"

#include "LoggerCodes.h"

#include <array>
#include <utility>

namespace nodalyx {

namespace {

constexpr int kSourceWidth = 8;
constexpr int kNameWidth = 16;
constexpr int kVerdictWidth = 12;

constexpr std::array<std::pair<int, const char*>, 30> kCommandNames{{
    {cmd::SetClock, "SetClock"},
    {cmd::ReadClock, "ReadClock"},
    {cmd::ReadMemory, "ReadMemory"},
    {cmd::SetStartStop, "SetStartStop"},
    {cmd::ReadNetwork, "ReadNetwork"},
    {cmd::SetIpAddress, "SetIpAddress"},
    {cmd::SetSubnetMask, "SetSubnetMask"},
    {cmd::SetGateway, "SetGateway"},
    {cmd::ReadPort, "ReadPort"},
    {cmd::SetPort, "SetPort"},
    {cmd::ReadMac, "ReadMac"},
    {cmd::ReadSerial, "ReadSerial"},
    {cmd::SetInterval, "SetInterval"},
    {cmd::ReadHostName, "ReadHostName"},
    {cmd::ReadDhcpAddress, "ReadDhcpAddress"},
    {cmd::ReadDhcp, "ReadDhcp"},
    {cmd::ReadCode, "ReadCode"},
    {cmd::WriteCode, "WriteCode"},
    {cmd::ReadName, "ReadName"},
    {cmd::WriteName, "WriteName"},
    {cmd::ReadPlace, "ReadPlace"},
    {cmd::WritePlace, "WritePlace"},
    {cmd::ReadExtension1, "ReadExtension1"},
    {cmd::WriteExtension1, "WriteExtension1"},
    {cmd::ReadExtension2, "ReadExtension2"},
    {cmd::WriteExtension2, "WriteExtension2"},
    {cmd::ReadExtension3, "ReadExtension3"},
    {cmd::WriteExtension3, "WriteExtension3"},
    {cmd::ReadExtension4, "ReadExtension4"},
    {cmd::WriteExtension4, "WriteExtension4"},
}};

QString arrow(TrafficDirection direction) {
    switch (direction) {
    case TrafficDirection::Sent:
        return QStringLiteral("->");
    case TrafficDirection::Received:
        return QStringLiteral("<-");
    case TrafficDirection::Note:
        break;
    }
    return QStringLiteral("!!");
}

} // namespace

QString commandName(int code) {
    for (const auto& [known, name] : kCommandNames)
        if (known == code)
            return QString::fromLatin1(name);
    return QStringLiteral("command %1").arg(code);
}

QString frameCommandName(const QByteArray& frame) {
    return frame.size() < 3 ? QString() : commandName(quint8(frame.at(2)));
}

QString trafficSourceName(TrafficSource source) {
    switch (source) {
    case TrafficSource::Link:
        return QStringLiteral("link");
    case TrafficSource::Transfer:
        return QStringLiteral("transfer");
    case TrafficSource::Highway:
        break;
    }
    return QStringLiteral("hwtest");
}

QString trafficLine(const TrafficEntry& entry) {
    QString line = entry.time.toString(QStringLiteral("HH:mm:ss.zzz"));
    line += QLatin1Char(' ') + trafficSourceName(entry.source).leftJustified(kSourceWidth);
    line += QLatin1Char(' ') + entry.name.leftJustified(kNameWidth);
    line += QLatin1Char(' ') + entry.verdict.leftJustified(kVerdictWidth);
    line += QLatin1Char(' ') + arrow(entry.direction);
    if (!entry.bytes.isEmpty())
        line += QLatin1Char(' ') + QString::fromLatin1(entry.bytes.toHex(' ').toUpper());
    return line;
}

} // namespace nodalyx
