#include "GeneralReadout.h"
#include "LoggerSession.h"

#include "FormChecks.h"
#include "LocationSettings.h"
#include "RemoteQueries.h"
#include "SettingsForm.h"

namespace nodalyx {

namespace {

const char* const kTextNames[] = {"Location Code",      "Location Name",      "Location Place",
                                  "KVR file copy to 1", "KVR file copy to 2", "KVR file copy to 3",
                                  "KVR file copy to 4"};

using Query = bool (*)(Link&, ConfigurationControls&, BoxKeys&);
struct NamedQuery {
    Query query;
    const char* name;
};
// Step 5 of the read-out, after the interval.
const NamedQuery kNetworkQueries[] = {
    {GetIPaddres, "IP address"},  {GetSubnetmask, "Subnetmask"},     {GetGateway, "Gateway"},
    {GetDHCPIPaddres, "DHCP IP"}, {GetPortNumber, "Port number"},    {GetMACaddress, "MAC address"},
    {GetHostname, "Host name"},   {GetSerialNumber, "Serial number"}};

// Runs the steps in order; stops early only when the operator cancels.
class Sequence {
public:
    Sequence(SharedState& state, Link& link, ConfigurationControls& controls,
             const ReadoutHooks& hooks, const Cancellation* cancel, GeneralReadout& out)
        : m_state(state), m_link(link), m_c(controls), m_hooks(hooks), m_cancel(cancel),
          m_out(out) {}

    void run() {
        step();
        for (int i = 0; i < 7 && goOn(); ++i)
            note(GetLocationText(m_link, i, m_c, m_out.read), kTextNames[i]);
        if (goOn())
            readClock();
        for (int d = 1; d <= 7 && goOn(); ++d)
            note(GetStartStopTime(m_link, d, m_c, m_out.read), dayRowNames()[d - 1]);
        if (goOn())
            note(GetInterval(m_state.settings, m_link, m_c, m_out.read), "Interval");
        for (const NamedQuery& q : kNetworkQueries) {
            if (!goOn())
                return;
            note(q.query(m_link, m_c, m_out.read), q.name);
        }
    }
    // The operator has not cancelled: the next query may run.
    bool goOn() {
        if (m_cancel && m_cancel->requested())
            m_out.cancelled = true;
        return !m_out.cancelled;
    }

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
        m_out.clock = GetLoggerDate(m_link, m_c, m_out.read);
        m_out.clockReadAt = m_hooks.now ? m_hooks.now() : QDateTime::currentDateTime();
        if (!m_out.clock)
            m_out.failed << QStringLiteral("Date/Time logger");
        step(2); // the clock is two of the 25 steps
    }

    SharedState& m_state;
    Link& m_link;
    ConfigurationControls& m_c;
    const ReadoutHooks& m_hooks;
    const Cancellation* m_cancel;
    GeneralReadout& m_out;
    int m_value = 0;
};

} // namespace

QString dataLoggerFailedText(const QString& reason) {
    const QString text = QStringLiteral("Connection with Data logger failed");
    return reason.isEmpty() ? text : text + QStringLiteral(": ") + reason;
}

QString dataLoggerFailedText(const Link& link) {
    return dataLoggerFailedText(link.lastFailure());
}

// No serial-number check (the read-out shows the number), the hourglass once the link is open,
// and a serial port left open for the next exchange unless the operator cancelled.
SessionPolicy readoutPolicy() {
    SessionPolicy policy;
    policy.close = SessionPolicy::Close::TcpOnly;
    policy.hourglassFirst = false;
    policy.failureText = [](const Link& link) { return dataLoggerFailedText(link); };
    return policy;
}

GeneralReadout ReadGeneralSettings(SharedState& state, Link& link, Operator& op,
                                   ConfigurationControls& controls, const ReadoutHooks& hooks,
                                   const Cancellation* cancel) {
    GeneralReadout out;
    LoggerSession session(link, op, state.settings, readoutPolicy());
    if (session.start() != LoggerSession::Start::Ready)
        return out;
    out.connected = true;
    session.showHourglass();
    Sequence sequence(state, link, controls, hooks, cancel, out);
    sequence.run();
    for (const BoxKey& box : out.read)
        fillAnew(controls, box);
    if (out.cancelled)
        session.close();
    return out;
}

} // namespace nodalyx
