#include "SettingsComparison.h"

#include "FormChecks.h"
#include "TextConvert.h"

namespace nodalyx {

namespace {

class Comparison {
public:
    explicit Comparison(const QSet<QString>& read) : m_read(read) {}

    void text(const QString& setting, const QString& location, const QString& box,
              const QString& name) {
        if (!m_read.contains(name) || trimBlanks(location) == trimBlanks(box))
            return;
        m_out.append({setting, {name}, trimBlanks(location), trimBlanks(box)});
    }
    void day(int i, const QString& location, const QString& start, const QString& stop) {
        const QString startName = boxName("txtStart", i);
        const QString stopName = boxName("txtStop", i);
        if (!m_read.contains(startName))
            return;
        const QString logger = start.left(2) + start.mid(3, 2) + stop.left(2) + stop.mid(3, 2);
        if (logger == location)
            return;
        QStringList boxes;
        if (start.left(2) + start.mid(3, 2) != location.left(4))
            boxes << startName;
        if (stop.left(2) + stop.mid(3, 2) != location.mid(4))
            boxes << stopName;
        m_out.append({QLatin1String(dayRowNames()[i]), boxes, location, logger});
    }
    void octets(const char* setting, const QStringList& location,
                const std::array<QString, 4>& boxes, const char* array) {
        if (!m_read.contains(boxName(array, 0)))
            return;
        QStringList held;
        QStringList names;
        for (int i = 0; i < 4; ++i) {
            held << (i < location.size() ? location[i] : QString());
            if (held[i] != boxes[i])
                names << boxName(array, i);
        }
        if (names.isEmpty())
            return;
        m_out.append({QLatin1String(setting), names, held.join(QLatin1Char('.')),
                      QStringList(boxes.begin(), boxes.end()).join(QLatin1Char('.'))});
    }
    const QList<SettingDifference>& result() const { return m_out; }

private:
    const QSet<QString>& m_read;
    QList<SettingDifference> m_out;
};

} // namespace

QList<SettingDifference> compareWithLocation(const GeneralSettings& s,
                                             const ConfigurationControls& c,
                                             const QSet<QString>& read) {
    Comparison cmp(read);
    cmp.text("LocationCode", s.LocationCode, c.txtCode, QStringLiteral("txtCode"));
    cmp.text("LocationName", s.LocationName, c.txtName, QStringLiteral("txtName"));
    cmp.text("LocationPlace", s.LocationPlace, c.txtPlace, QStringLiteral("txtPlace"));
    for (int i = 0; i < 7; ++i)
        cmp.day(i, s.Days[i], c.txtStart[i], c.txtStop[i]);
    cmp.text("Interval", s.Interval, c.CboInterval, QStringLiteral("CboInterval"));
    const std::array<QString, 4> ip{c.txtIPaddress[0], c.txtIPaddress[1], c.txtIPaddress[2],
                                    c.txtIPaddress[3]};
    cmp.octets("eIPaddress", s.eIPaddress, ip, "txtIPaddress");
    cmp.octets("eSubnetmask", s.eSubnetmask, c.txtSubnetmask, "txtSubnetmask");
    cmp.octets("eGateway", s.eGateway, c.txtGateway, "txtGateway");
    cmp.text("ePortnumber", s.ePortnumber, c.txtPortNumber, QStringLiteral("txtPortNumber"));
    cmp.text("eHostname", s.eHostname, c.txtHostName, QStringLiteral("txtHostName"));
    cmp.text("eSerialnumber", s.eSerialnumber, c.txtSerialNumber,
             QStringLiteral("txtSerialNumber"));
    for (int k = 0; k < 4; ++k)
        cmp.text(QStringLiteral("eExt%1").arg(k + 1), s.eExt[k], c.txtExt[k],
                 boxName("txtExt", k + 1));
    return cmp.result();
}

QString differenceLine(const SettingDifference& d) {
    return QStringLiteral("%1: location \"%2\" logger \"%3\"").arg(d.setting, d.location, d.logger);
}

} // namespace nodalyx
