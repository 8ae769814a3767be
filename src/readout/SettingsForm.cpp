#include "SettingsForm.h"

#include "FormChecks.h"
#include "LocationSettings.h"
#include "ValueRules.h"

#include <QStringList>

namespace nodalyx {

namespace {

const BoxKey kLocalBoxes[] = {
    {Box::IPaddress, 7}, {Box::IPaddress, 6}, {Box::IPaddress, 5}, {Box::IPaddress, 4}};

// Fills the boxes and notes every field that no box can show whole.
class Loader {
public:
    explicit Loader(ConfigurationControls& c) : m_c(c) {}

    // A box of at most `limit` characters: a longer field is cut to fit and kept.
    void text(QString& box, const QString& value, int limit, const BoxKey& name,
              const QString& key) {
        box = value.left(limit);
        if (value.size() > limit)
            problem(QStringLiteral("%1 \"%2\" is longer than its box (%3 characters).")
                        .arg(key, value)
                        .arg(limit),
                    {name});
    }
    void localAddress(const QString& ip) {
        if (ip.isEmpty())
            return;
        const QStringList parts = ip.split(QLatin1Char('.'));
        const QList<BoxKey> names(std::begin(kLocalBoxes), std::end(kLocalBoxes));
        bool fits = parts.size() == 4;
        for (const QString& part : parts)
            fits = fits && part.size() <= kOctetBoxLength;
        if (!fits) {
            problem(
                QStringLiteral("IPnumber \"%1\" is not four numbers separated by dots.").arg(ip),
                names);
            return;
        }
        for (int i = 0; i < 4; ++i)
            m_c.txtIPaddress[7 - i] = parts[i];
    }
    void octets(std::array<QString, 4>& boxes, const QStringList& list, Box array,
                const char* key) {
        for (int i = 0; i < 4 && i < list.size(); ++i)
            text(boxes[i], list[i], kOctetBoxLength, {array, i},
                 QStringLiteral("%1(%2)").arg(QLatin1String(key)).arg(i));
    }
    const QStringList& problems() const { return m_problems; }

private:
    void problem(const QString& text, const QList<BoxKey>& boxes) {
        m_problems << text;
        for (const BoxKey& box : boxes)
            m_c.kept.insert(box);
    }

    ConfigurationControls& m_c;
    QStringList m_problems;
};

QString comportText(float comport) {
    const int port = qRound(comport);
    // The box takes any number 1..255 (an adapter the port map numbers, one not plugged in).
    return comport <= 0 || port < 1 || port > kHighestComport ? QStringLiteral("1")
                                                              : QString::number(port);
}

QString intervalItem(const QString& interval) {
    for (const char* item : kIntervalItems) {
        if (interval == QLatin1String(item))
            return interval;
    }
    return QStringLiteral("30");
}

void loadDays(const GeneralSettings& s, ConfigurationControls& c) {
    for (int i = 0; i < 7; ++i) {
        const QString& d = s.Days[i];
        if (d.isEmpty())
            continue; // an empty day shows empty boxes
        c.txtStart[i] = d.mid(0, 2) + QLatin1Char(':') + d.mid(2, 2);
        c.txtStop[i] = d.mid(4, 2) + QLatin1Char(':') + d.mid(6, 2);
    }
}

void loadRemote(const SharedState& state, ConfigurationControls& c, Loader& load) {
    const GeneralSettings& s = state.settings;
    std::array<QString, 4> ip;
    load.octets(ip, s.eIPaddress, Box::IPaddress, "eIPaddress");
    std::copy(ip.begin(), ip.end(), c.txtIPaddress.begin());
    load.octets(c.txtSubnetmask, s.eSubnetmask, Box::Subnetmask, "eSubnetmask");
    load.octets(c.txtGateway, s.eGateway, Box::Gateway, "eGateway");
    load.octets(c.txtDHCP, state.eDHCPIPaddress, Box::DHCP, "eDHCPIPaddress");
    c.ChkDHCP = s.eDHCP;
    load.text(c.txtPortNumber, s.ePortnumber, kPortBoxLength, {Box::PortNumber}, "ePortnumber");
    load.text(c.txtHostName, s.eHostname, kHostNameLength, {Box::HostName}, "eHostname");
    load.text(c.txtSerialNumber, s.eSerialnumber, kSerialBoxLength, {Box::SerialNumber},
              "eSerialnumber");
    for (int k = 0; k < 4; ++k)
        load.text(c.txtExt[k], s.eExt[k], kExtBoxLength, {Box::Ext, k},
                  QStringLiteral("eExt%1").arg(k + 1));
    c.CboInterval = intervalItem(s.Interval);
}

// Element by element. A list shorter than four grows to four only when a box beyond its end
// holds text: the file keeps an address of fewer than four parts as the key alone.
void storeOctets(QStringList& list, const std::array<QString, 4>& boxes, Box array,
                 const BoxKeys& kept) {
    for (int i = int(list.size()); i < 4; ++i) {
        if (!boxes[i].isEmpty() && !kept.contains({array, i})) {
            while (list.size() < 4)
                list << QString();
        }
    }
    for (int i = 0; i < 4 && i < list.size(); ++i) {
        if (!kept.contains({array, i}))
            list[i] = boxes[i];
    }
}

QString dayField(const QString& start, const QString& stop) {
    if (start.isEmpty() && stop.isEmpty())
        return {};
    return start.mid(0, 2) + start.mid(3, 2) + stop.mid(0, 2) + stop.mid(3, 2);
}

void storeRemote(SharedState& state, const ConfigurationControls& c) {
    GeneralSettings& s = state.settings;
    auto store = [&c](QString& field, const QString& box, const BoxKey& name) {
        if (!c.kept.contains(name))
            field = box;
    };
    const std::array<QString, 4> ip{c.txtIPaddress[0], c.txtIPaddress[1], c.txtIPaddress[2],
                                    c.txtIPaddress[3]};
    storeOctets(s.eIPaddress, ip, Box::IPaddress, c.kept);
    storeOctets(s.eSubnetmask, c.txtSubnetmask, Box::Subnetmask, c.kept);
    storeOctets(s.eGateway, c.txtGateway, Box::Gateway, c.kept);
    storeOctets(state.eDHCPIPaddress, c.txtDHCP, Box::DHCP, c.kept);
    s.Interval = c.CboInterval;
    s.eDHCP = c.ChkDHCP;
    store(s.ePortnumber, c.txtPortNumber, {Box::PortNumber});
    store(s.eHostname, c.txtHostName, {Box::HostName});
    store(s.eSerialnumber, c.txtSerialNumber, {Box::SerialNumber});
    for (int k = 0; k < 4; ++k)
        store(s.eExt[k], c.txtExt[k], {Box::Ext, k});
}

} // namespace

bool GetGeneralsettings(const SharedState& state, ConfigurationControls& controls, Operator& op) {
    const GeneralSettings& s = state.settings;
    ConfigurationControls c;
    Loader load(c);
    c.CboConnType = isLan(s) ? 1 : 0; // the window offers "Com port" and "LAN"
    c.CboCommport = comportText(s.Comport);
    load.localAddress(s.IPnumber);
    load.text(c.txtPortNumber1, s.Portnumber, kPortBoxLength, {Box::PortNumber1}, "Portnumber");
    load.text(c.txtCode, s.LocationCode, kLocationTextLength, {Box::Code}, "LocationCode");
    load.text(c.txtName, s.LocationName, kLocationTextLength, {Box::Name}, "LocationName");
    load.text(c.txtPlace, s.LocationPlace, kLocationTextLength, {Box::Place}, "LocationPlace");
    loadDays(s, c);
    loadRemote(state, c, load);
    controls = c;
    if (load.problems().isEmpty())
        return true;
    op.message(QStringLiteral("These settings of the location do not fit the window; Save "
                              "keeps them as they are unless their boxes are filled anew:") +
                   QLatin1String("\r\n") + load.problems().join(QLatin1String("\r\n")),
               Operator::Icon::Warning);
    return false;
}

bool SaveGeneralsettings(SharedState& state, const ConfigurationControls& c, Operator& op) {
    const QString refusal = checkControls(c);
    if (!refusal.isEmpty()) {
        op.message(refusal, Operator::Icon::Warning);
        return false;
    }
    GeneralSettings& s = state.settings;
    auto store = [&c](QString& field, const QString& box, const BoxKey& name) {
        if (!c.kept.contains(name))
            field = box;
    };
    s.ConnType = qint16(c.CboConnType + 1);
    bool ok = false;
    const float comport = c.CboCommport.toFloat(&ok);
    if (ok)
        s.Comport = comport;
    if (!c.txtIPaddress[7].isEmpty() && !c.kept.contains(kLocalBoxes[0]))
        s.IPnumber =
            QStringList{c.txtIPaddress[7], c.txtIPaddress[6], c.txtIPaddress[5], c.txtIPaddress[4]}
                .join(QLatin1Char('.'));
    store(s.Portnumber, c.txtPortNumber1, {Box::PortNumber1});
    store(s.LocationCode, c.txtCode, {Box::Code});
    store(s.LocationName, c.txtName, {Box::Name});
    store(s.LocationPlace, c.txtPlace, {Box::Place});
    for (int i = 0; i < 7; ++i)
        s.Days[i] = dayField(c.txtStart[i], c.txtStop[i]);
    storeRemote(state, c);
    return true;
}

void fillAnew(ConfigurationControls& controls, const BoxKey& box) {
    if (box.box != Box::IPaddress || box.index < 4) {
        controls.kept.remove(box);
        return;
    }
    for (const BoxKey& local : kLocalBoxes) // the local address is kept or stored as a whole
        controls.kept.remove(local);
}

} // namespace nodalyx
