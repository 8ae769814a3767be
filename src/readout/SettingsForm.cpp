#include "SettingsForm.h"

#include "FormChecks.h"

#include <QStringList>

namespace nodalyx {

namespace {

const char* const kLocalBoxes[] = {"txtIPaddress7", "txtIPaddress6", "txtIPaddress5",
                                   "txtIPaddress4"};

// Fills the boxes and notes every field that no box can show whole.
class Loader {
public:
    explicit Loader(ConfigurationControls& c) : m_c(c) {}

    // A box of at most `limit` characters: a longer field is cut to fit and kept.
    void text(QString& box, const QString& value, int limit, const QString& name,
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
        QStringList names;
        for (const char* box : kLocalBoxes)
            names << QLatin1String(box);
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
    void octets(std::array<QString, 4>& boxes, const QStringList& list, const char* array,
                const char* key) {
        for (int i = 0; i < 4 && i < list.size(); ++i)
            text(boxes[i], list[i], kOctetBoxLength, boxName(array, i),
                 QStringLiteral("%1(%2)").arg(QLatin1String(key)).arg(i));
    }
    const QStringList& problems() const { return m_problems; }

private:
    void problem(const QString& text, const QStringList& boxes) {
        m_problems << text;
        for (const QString& box : boxes)
            m_c.kept.insert(box);
    }

    ConfigurationControls& m_c;
    QStringList m_problems;
};

QString comportText(float comport) {
    const int port = qRound(comport);
    return comport <= 0 || port < 1 || port > 16 ? QStringLiteral("1") : QString::number(port);
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
    load.octets(ip, s.eIPaddress, "txtIPaddress", "eIPaddress");
    std::copy(ip.begin(), ip.end(), c.txtIPaddress.begin());
    load.octets(c.txtSubnetmask, s.eSubnetmask, "txtSubnetmask", "eSubnetmask");
    load.octets(c.txtGateway, s.eGateway, "txtGateway", "eGateway");
    load.octets(c.txtDHCP, state.eDHCPIPaddress, "txtDHCP", "eDHCPIPaddress");
    c.ChkDHCP = s.eDHCP;
    load.text(c.txtPortNumber, s.ePortnumber, kPortBoxLength, "txtPortNumber", "ePortnumber");
    load.text(c.txtHostName, s.eHostname, kHostNameLength, "txtHostName", "eHostname");
    load.text(c.txtSerialNumber, s.eSerialnumber, kSerialBoxLength, "txtSerialNumber",
              "eSerialnumber");
    for (int k = 0; k < 4; ++k)
        load.text(c.txtExt[k], s.eExt[k], kExtBoxLength, boxName("txtExt", k + 1),
                  QStringLiteral("eExt%1").arg(k + 1));
    c.CboInterval = intervalItem(s.Interval);
}

// Element by element. A list shorter than four grows to four only when a box beyond its end
// holds text: the file keeps an address of fewer than four parts as the key alone.
void storeOctets(QStringList& list, const std::array<QString, 4>& boxes, const char* array,
                 const QSet<QString>& kept) {
    for (int i = int(list.size()); i < 4; ++i) {
        if (!boxes[i].isEmpty() && !kept.contains(boxName(array, i))) {
            while (list.size() < 4)
                list << QString();
        }
    }
    for (int i = 0; i < 4 && i < list.size(); ++i) {
        if (!kept.contains(boxName(array, i)))
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
    auto store = [&c](QString& field, const QString& box, const QString& name) {
        if (!c.kept.contains(name))
            field = box;
    };
    const std::array<QString, 4> ip{c.txtIPaddress[0], c.txtIPaddress[1], c.txtIPaddress[2],
                                    c.txtIPaddress[3]};
    storeOctets(s.eIPaddress, ip, "txtIPaddress", c.kept);
    storeOctets(s.eSubnetmask, c.txtSubnetmask, "txtSubnetmask", c.kept);
    storeOctets(s.eGateway, c.txtGateway, "txtGateway", c.kept);
    storeOctets(state.eDHCPIPaddress, c.txtDHCP, "txtDHCP", c.kept);
    s.Interval = c.CboInterval;
    s.eDHCP = c.ChkDHCP;
    store(s.ePortnumber, c.txtPortNumber, "txtPortNumber");
    store(s.eHostname, c.txtHostName, "txtHostName");
    store(s.eSerialnumber, c.txtSerialNumber, "txtSerialNumber");
    for (int k = 0; k < 4; ++k)
        store(s.eExt[k], c.txtExt[k], boxName("txtExt", k + 1));
}

} // namespace

bool GetGeneralsettings(const SharedState& state, ConfigurationControls& controls, Operator& op) {
    const GeneralSettings& s = state.settings;
    ConfigurationControls c;
    Loader load(c);
    c.CboConnType = s.ConnType == 1 || s.ConnType == 2 ? s.ConnType - 1 : 0;
    c.CboCommport = comportText(s.Comport);
    load.localAddress(s.IPnumber);
    load.text(c.txtPortNumber1, s.Portnumber, kPortBoxLength, "txtPortNumber1", "Portnumber");
    load.text(c.txtCode, s.LocationCode, kLocationTextLength, "txtCode", "LocationCode");
    load.text(c.txtName, s.LocationName, kLocationTextLength, "txtName", "LocationName");
    load.text(c.txtPlace, s.LocationPlace, kLocationTextLength, "txtPlace", "LocationPlace");
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
    auto store = [&c](QString& field, const QString& box, const QString& name) {
        if (!c.kept.contains(name))
            field = box;
    };
    s.ConnType = qint16(c.CboConnType + 1);
    bool ok = false;
    const float comport = c.CboCommport.toFloat(&ok);
    if (ok)
        s.Comport = comport;
    if (!c.txtIPaddress[7].isEmpty() && !c.kept.contains(QLatin1String(kLocalBoxes[0])))
        s.IPnumber =
            QStringList{c.txtIPaddress[7], c.txtIPaddress[6], c.txtIPaddress[5], c.txtIPaddress[4]}
                .join(QLatin1Char('.'));
    store(s.Portnumber, c.txtPortNumber1, "txtPortNumber1");
    store(s.LocationCode, c.txtCode, "txtCode");
    store(s.LocationName, c.txtName, "txtName");
    store(s.LocationPlace, c.txtPlace, "txtPlace");
    for (int i = 0; i < 7; ++i)
        s.Days[i] = dayField(c.txtStart[i], c.txtStop[i]);
    storeRemote(state, c);
    return true;
}

void fillAnew(ConfigurationControls& controls, const QString& box) {
    if (!box.startsWith(QLatin1String("txtIPaddress")) || box.back() < QLatin1Char('4')) {
        controls.kept.remove(box);
        return;
    }
    for (const char* local : kLocalBoxes) // the local address is kept or stored as a whole
        controls.kept.remove(QLatin1String(local));
}

} // namespace nodalyx
