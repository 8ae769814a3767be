#include "GeneralReadout.h"

#include "FormChecks.h"
#include "RemoteQueries.h"
#include "SettingsForm.h"

#include <QPointer>

namespace nodalyx {

namespace {

const char* const kTextNames[] = {"Location Code",      "Location Name",      "Location Place",
                                  "KVR file copy to 1", "KVR file copy to 2", "KVR file copy to 3",
                                  "KVR file copy to 4"};

using Query = bool (*)(Link&, ConfigurationControls&, QSet<QString>&);
struct NamedQuery {
    Query query;
    const char* name;
};
// Step 5 of the read-out, after the interval.
const NamedQuery kNetworkQueries[] = {
    {GetIPaddres, "IP address"},  {GetSubnetmask, "Subnetmask"},     {GetGateway, "Gateway"},
    {GetDHCPIPaddres, "DHCP IP"}, {GetPortNumber, "Port number"},    {GetMACaddress, "MAC address"},
    {GetHostname, "Host name"},   {GetSerialNumber, "Serial number"}};

// Runs the steps in order; stops early only when the link is gone.
class Sequence {
public:
    Sequence(SharedState& state, Link& link, ConfigurationControls& controls,
             const ReadoutHooks& hooks, GeneralReadout& out)
        : m_state(state), m_link(&link), m_c(controls), m_hooks(hooks), m_out(out) {}

    void run() {
        step();
        for (int i = 0; i < 7 && alive(); ++i)
            note(GetLocationText(*m_link, i, m_c, m_out.read), kTextNames[i]);
        if (alive())
            readClock();
        for (int d = 1; d <= 7 && alive(); ++d)
            note(GetStartStopTime(*m_link, d, m_c, m_out.read), dayRowNames()[d - 1]);
        if (alive())
            note(GetInterval(m_state.settings, *m_link, m_c, m_out.read), "Interval");
        for (const NamedQuery& q : kNetworkQueries) {
            if (!alive())
                return;
            note(q.query(*m_link, m_c, m_out.read), q.name);
        }
    }
    bool alive() const { return !m_link.isNull(); }

private:
    void step(int by = 0) {
        m_value += by;
        if (m_hooks.progress)
            m_hooks.progress(m_value);
    }
    void note(bool ok, const char* name) {
        if (!ok)
            m_out.failed << QLatin1String(name);
        step(1);
    }
    void readClock() {
        m_out.clock = GetLoggerDate(*m_link, m_c, m_out.read);
        m_out.clockReadAt = m_hooks.now ? m_hooks.now() : QDateTime::currentDateTime();
        if (!m_out.clock)
            m_out.failed << QStringLiteral("Date/Time logger");
        step(2); // the clock is two of the 25 steps
    }

    SharedState& m_state;
    QPointer<Link> m_link;
    ConfigurationControls& m_c;
    const ReadoutHooks& m_hooks;
    GeneralReadout& m_out;
    int m_value = 0;
};

} // namespace

QString dataLoggerFailedText(const Link& link) {
    const QString text = QStringLiteral("Connection with Data logger failed");
    const QString reason = link.lastFailure();
    return reason.isEmpty() ? text : text + QStringLiteral(": ") + reason;
}

GeneralReadout ReadGeneralSettings(SharedState& state, Link& link, Operator& op,
                                   ConfigurationControls& controls, const ReadoutHooks& hooks) {
    GeneralReadout out;
    if (link.refuseWhenUnavailable())
        return out;
    if (!link.OpenLink()) {
        op.message(dataLoggerFailedText(link), Operator::Icon::Critical);
        return out;
    }
    out.connected = true;
    BusyGuard hourglass(op);
    Sequence sequence(state, link, controls, hooks, out);
    sequence.run();
    for (const QString& box : out.read)
        fillAnew(controls, box);
    if (sequence.alive() && state.settings.ConnType != 1)
        link.CloseLink();
    return out;
}

} // namespace nodalyx
