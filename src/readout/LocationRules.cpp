#include "LocationRules.h"

#include "ConfigurationControls.h"
#include "FormChecks.h"
#include "HighwayFileCodec.h"
#include "LocationFileCodec.h"
#include "LocationSettings.h"
#include "ValueRules.h"

#include <cmath>

namespace nodalyx {

namespace {

const char* const kAddressRule = "four numbers from 0 to 255 separated by dots";

// Collects the problems of one location, each value with the first rule it breaks.
class Problems {
public:
    explicit Problems(const GeneralSettings& s) : m_s(s) {}

    void require(const QString& key, bool ok, const QString& rule) {
        if (!ok)
            m_list << LocationProblem{key, settingText(m_s, key), rule};
    }
    // A text of at most `limit` characters that comes back from the file as written.
    void text(const QString& key, const QString& value, int limit) {
        if (value.size() > limit) {
            require(key, false, QStringLiteral("at most %1 characters").arg(limit));
            return;
        }
        const QString problem = unitValueProblem(value);
        require(key, problem.isEmpty(), problem);
    }
    void port(const char* key, const QString& value, bool needed) {
        const int lowest = needed ? 1 : 0;
        require(QLatin1String(key),
                (!needed && value.isEmpty()) || isNumberIn(value, lowest, kHighestPort),
                QStringLiteral("a number from %1 to %2").arg(lowest).arg(kHighestPort));
    }
    // The logger's own addresses: the upload sends all four octets of each, or leaves an
    // address out whose octets are all empty.
    void octets(const char* key, const QStringList& list) {
        const bool ok = isEmptyAddress(list) ||
                        (list.size() >= 4 && std::all_of(list.begin(), list.begin() + 4, isOctet));
        require(QLatin1String(key), ok, QLatin1String(kAddressRule) + QStringLiteral(", or empty"));
    }
    const QList<LocationProblem>& list() const { return m_list; }

private:
    const GeneralSettings& m_s;
    QList<LocationProblem> m_list;
};

// The serial port a location names: a whole port number, or 0 when it is not reached serially.
void checkComport(Problems& p, const GeneralSettings& s) {
    const float port = s.Comport;
    const bool whole = port == std::floor(port); // false for NaN
    const bool serial = isSerial(s);
    const bool ok = whole && ((port >= 1 && port <= kHighestComport) || (port == 0 && !serial));
    p.require(QStringLiteral("Comport"), ok,
              serial ? QStringLiteral("a whole number from 1 to %1").arg(kHighestComport)
                     : QStringLiteral("0 or a whole number from 1 to %1").arg(kHighestComport));
}

void checkConnection(Problems& p, const GeneralSettings& s) {
    p.require(QStringLiteral("ConnType"), s.ConnType >= 0 && s.ConnType <= kHighestConnType,
              QStringLiteral("a number from 0 to %1").arg(kHighestConnType));
    checkComport(p, s);
    const bool lan = isLan(s);
    p.require(QStringLiteral("IPnumber"),
              (!lan && s.IPnumber.isEmpty()) || isIPv4Address(s.IPnumber),
              QLatin1String(kAddressRule));
    p.port("Portnumber", s.Portnumber, lan);
}

void checkSchedule(Problems& p, const GeneralSettings& s) {
    for (size_t i = 0; i < s.Days.size(); ++i) {
        const Parsed<DayWindow> window = parseDayWindow(s.Days[i], {});
        p.require(QLatin1String(dayRowNames()[i]), window && window->validTimes(),
                  QStringLiteral("eight digits hhmmhhmm with times 00:00..23:59"));
    }
    p.require(QStringLiteral("Interval"), isNumberUpTo(s.Interval, kHighestInterval),
              QStringLiteral("a number from 0 to %1").arg(kHighestInterval));
}

void checkLogger(Problems& p, const GeneralSettings& s) {
    p.octets("eIPaddress", s.eIPaddress);
    p.octets("eSubnetmask", s.eSubnetmask);
    p.octets("eGateway", s.eGateway);
    p.port("ePortnumber", s.ePortnumber, false);
    p.text(QStringLiteral("eHostname"), s.eHostname, kHostNameLength);
    p.text(QStringLiteral("eSerialnumber"), s.eSerialnumber, kSerialBoxLength);
    for (size_t k = 0; k < s.eExt.size(); ++k)
        p.text(QStringLiteral("eExt%1").arg(k + 1), s.eExt[k], kExtBoxLength);
}

} // namespace

QList<LocationProblem> locationProblems(const GeneralSettings& s) {
    Problems p(s);
    checkConnection(p, s);
    p.text(QStringLiteral("LocationCode"), s.LocationCode, kLocationTextLength);
    p.text(QStringLiteral("LocationName"), s.LocationName, kLocationTextLength);
    p.text(QStringLiteral("LocationPlace"), s.LocationPlace, kLocationTextLength);
    checkSchedule(p, s);
    checkLogger(p, s);
    return p.list();
}

QString problemLine(const LocationProblem& problem) {
    return QStringLiteral("%1: \"%2\" - %3").arg(problem.key, problem.value, problem.rule);
}

} // namespace nodalyx
