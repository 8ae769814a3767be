#include "SettingsComparison.h"

#include "FormChecks.h"
#include "TextConvert.h"

namespace nodalyx {

namespace {

class Comparison {
public:
    explicit Comparison(const BoxKeys& read) : m_read(read) {}

    void text(const QString& setting, const QString& location, const QString& box,
              const BoxKey& name) {
        if (!m_read.contains(name) || trimBlanks(location) == trimBlanks(box))
            return;
        m_out.append({setting, {name}, trimBlanks(location), trimBlanks(box)});
    }
    void day(int i, const QString& location, const QString& start, const QString& stop) {
        const BoxKey startName{Box::Start, i};
        const BoxKey stopName{Box::Stop, i};
        if (!m_read.contains(startName))
            return;
        const QString logger = start.left(2) + start.mid(3, 2) + stop.left(2) + stop.mid(3, 2);
        if (logger == location)
            return;
        QList<BoxKey> boxes;
        if (start.left(2) + start.mid(3, 2) != location.left(4))
            boxes << startName;
        if (stop.left(2) + stop.mid(3, 2) != location.mid(4))
            boxes << stopName;
        m_out.append({QLatin1String(dayRowNames()[i]), boxes, location, logger});
    }
    void octets(const char* setting, const QStringList& location,
                const std::array<QString, 4>& boxes, Box array) {
        if (!m_read.contains({array, 0}))
            return;
        QStringList held;
        QList<BoxKey> names;
        for (int i = 0; i < 4; ++i) {
            held << (i < location.size() ? location[i] : QString());
            if (held[i] != boxes[i])
                names << BoxKey{array, i};
        }
        if (names.isEmpty())
            return;
        m_out.append({QLatin1String(setting), names, held.join(QLatin1Char('.')),
                      QStringList(boxes.begin(), boxes.end()).join(QLatin1Char('.'))});
    }
    const QList<SettingDifference>& result() const { return m_out; }

private:
    const BoxKeys& m_read;
    QList<SettingDifference> m_out;
};

} // namespace

QList<SettingDifference> compareWithLocation(const GeneralSettings& s,
                                             const ConfigurationControls& c, const BoxKeys& read) {
    Comparison cmp(read);
    cmp.text("LocationCode", s.LocationCode, c.txtCode, {Box::Code});
    cmp.text("LocationName", s.LocationName, c.txtName, {Box::Name});
    cmp.text("LocationPlace", s.LocationPlace, c.txtPlace, {Box::Place});
    for (int i = 0; i < 7; ++i)
        cmp.day(i, s.Days[i], c.txtStart[i], c.txtStop[i]);
    cmp.text("Interval", s.Interval, c.CboInterval, {Box::Interval});
    const std::array<QString, 4> ip{c.txtIPaddress[0], c.txtIPaddress[1], c.txtIPaddress[2],
                                    c.txtIPaddress[3]};
    cmp.octets("eIPaddress", s.eIPaddress, ip, Box::IPaddress);
    cmp.octets("eSubnetmask", s.eSubnetmask, c.txtSubnetmask, Box::Subnetmask);
    cmp.octets("eGateway", s.eGateway, c.txtGateway, Box::Gateway);
    cmp.text("ePortnumber", s.ePortnumber, c.txtPortNumber, {Box::PortNumber});
    cmp.text("eHostname", s.eHostname, c.txtHostName, {Box::HostName});
    cmp.text("eSerialnumber", s.eSerialnumber, c.txtSerialNumber, {Box::SerialNumber});
    for (int k = 0; k < 4; ++k)
        cmp.text(QStringLiteral("eExt%1").arg(k + 1), s.eExt[k], c.txtExt[k], {Box::Ext, k});
    return cmp.result();
}

QString differenceLine(const SettingDifference& d) {
    return QStringLiteral("%1: location \"%2\" logger \"%3\"").arg(d.setting, d.location, d.logger);
}

} // namespace nodalyx
