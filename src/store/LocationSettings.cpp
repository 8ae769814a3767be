#include "LocationSettings.h"

#include "ValueRules.h"

#include "TextMatch.h"

namespace nodalyx {

namespace {

// A whole number low..high, blanks around it allowed.
std::optional<int> numberIn(const QString& text, int low, int high) {
    bool number = false;
    const int value = text.trimmed().toInt(&number);
    if (!number || value < low || value > high)
        return std::nullopt;
    return value;
}

} // namespace

ConnectionKind connectionKind(const GeneralSettings& settings) {
    return ConnectionKind(settings.ConnType);
}

bool isSerial(const GeneralSettings& settings) {
    return connectionKind(settings) == ConnectionKind::Serial;
}

bool isLan(const GeneralSettings& settings) {
    return connectionKind(settings) == ConnectionKind::Lan;
}

bool DayWindow::validTimes() const {
    return startHour < 24 && startMinute < 60 && stopHour < 24 && stopMinute < 60;
}

Parsed<DayWindow> parseDayWindow(const QString& text, const QString& named) {
    if (!isAsciiDigits(text, 8, 8))
        return {std::nullopt,
                named + QStringLiteral(" is not eight digits hhmmhhmm; it was not sent")};
    auto n = [&text](int pos) { return quint8(text.mid(pos, 2).toInt()); };
    return {DayWindow{n(0), n(2), n(4), n(6)}, {}};
}

namespace {
// "Interval "x" is not a number from 0 to 255; it was not sent"
QString notANumberText(const char* field, const QString& text, int highest) {
    return QStringLiteral("%1 \"%2\" is not a number from 0 to %3; it was not sent")
        .arg(QLatin1String(field), text)
        .arg(highest);
}
} // namespace

Parsed<quint8> parseInterval(const QString& text) {
    if (const auto minutes = numberIn(text, 0, kHighestInterval))
        return {quint8(*minutes), {}};
    return {std::nullopt, notANumberText("Interval", text, kHighestInterval)};
}

Parsed<Address> parseAddress(const QStringList& octets, const QString& field) {
    Address address{};
    for (int i = 0; i < 4; ++i) {
        const QString text = i < octets.size() ? octets.at(i).trimmed() : QString();
        if (text.isEmpty())
            return {std::nullopt,
                    QStringLiteral("%1 not sent: octet %2 is missing").arg(field).arg(i + 1)};
        const auto value = numberIn(text, 0, kHighestOctet);
        if (!value)
            return {std::nullopt,
                    QStringLiteral("%1 not sent: octet %2 \"%3\" is not a number from 0 to %4")
                        .arg(field)
                        .arg(i + 1)
                        .arg(octets.at(i))
                        .arg(kHighestOctet)};
        address[i] = quint8(*value);
    }
    return {address, {}};
}

bool isEmptyAddress(const QStringList& octets) {
    return std::all_of(octets.begin(), octets.end(),
                       [](const QString& octet) { return octet.trimmed().isEmpty(); });
}

Parsed<quint16> parseLoggerPort(const QString& text) {
    if (text.isEmpty())
        return {kDefaultLoggerPort, {}};
    if (const auto port = numberIn(text, 0, kHighestPort))
        return {quint16(*port), {}};
    return {std::nullopt, notANumberText("Port number", text, kHighestPort)};
}

namespace {

Parsed<Address> loggerAddress(const QStringList& octets, const QString& field) {
    return isEmptyAddress(octets) ? Parsed<Address>{} : parseAddress(octets, field);
}

} // namespace

LocationSettings LocationSettings::from(const GeneralSettings& s,
                                        const std::array<QString, 7>& dayNames) {
    LocationSettings t;
    t.kind = connectionKind(s);
    for (int d = 0; d < 7; ++d)
        t.days[d] = parseDayWindow(
            s.Days[d], QStringLiteral("Start/Stop %1 \"%2\"").arg(dayNames[d], s.Days[d]));
    t.interval = parseInterval(s.Interval);
    t.ipAddress = loggerAddress(s.eIPaddress, QStringLiteral("IP address"));
    t.subnetMask = loggerAddress(s.eSubnetmask, QStringLiteral("Subnetmask"));
    t.gateway = loggerAddress(s.eGateway, QStringLiteral("Gateway address"));
    t.port = parseLoggerPort(s.ePortnumber);
    return t;
}

} // namespace nodalyx
