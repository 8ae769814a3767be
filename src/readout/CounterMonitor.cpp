#include "CounterMonitor.h"

#include "CounterReadout.h"
#include "LoggerCodes.h"
#include "LoggerReplies.h"
#include "TextConvert.h"

#include <QCoreApplication>

namespace nodalyx {

namespace {

struct MonitorText {
    Q_DECLARE_TR_FUNCTIONS(CounterMonitor)
};

quint16 countOf(const QString& text) {
    return quint16(text.trimmed().toUInt());
}

bool hasSecondChannel(const UnitConfig& unit) {
    return !trimBlanks(unit.HWaddress).isEmpty();
}

SessionPolicy monitorPolicy() {
    SessionPolicy policy = refreshPolicy();
    policy.close = SessionPolicy::Close::Always;
    policy.hourglassFirst = false; // the window stays usable (Stop) while it runs
    return policy;
}

} // namespace

QString unitLocationText(const UnitConfig& unit) {
    if (unit.Name3.isEmpty())
        return unit.Name1;
    return unit.Name1 + QLatin1Char('\\') + unit.Name3;
}

QList<MonitorRow> activeChannelRows(const UnitTable& table, int highway, const QDateTime& time) {
    QList<MonitorRow> rows;
    for (int i = 1; i <= kUnitsPerHighway; ++i) {
        const UnitConfig& unit = table[i];
        if (!unit.Active)
            continue;
        for (int channel = 1; channel <= (hasSecondChannel(unit) ? 2 : 1); ++channel) {
            MonitorRow row;
            row.time = time;
            row.highway = highway;
            row.address = i - 1;
            row.location = unitLocationText(unit);
            row.channel = channel;
            row.in = countOf(channel == 1 ? unit.In1 : unit.In2);
            row.out = countOf(channel == 1 ? unit.Out1 : unit.Out2);
            rows << row;
        }
    }
    return rows;
}

CounterMonitor::CounterMonitor(SharedState& state, Link& link, Operator& op, QObject* parent)
    : QObject(parent), m_state(state), m_link(link), m_op(op) {
    m_next.setSingleShot(true);
    connect(&m_next, &QTimer::timeout, this, &CounterMonitor::readNow);
}

CounterMonitor::~CounterMonitor() = default;

QString CounterMonitor::failuresText() {
    return MonitorText::tr("Monitoring stopped after three failed reads in a row.");
}

bool CounterMonitor::start(int intervalMs, int count) {
    if (isRunning())
        return false;
    m_session.emplace(m_link, m_op, m_state.settings, monitorPolicy());
    m_stopAsked = false;
    m_reading = true; // a stop() meanwhile waits for the start to end
    const bool ready = m_session->start() == LoggerSession::Start::Ready;
    m_reading = false;
    if (!ready) {
        m_session.reset();
        return false;
    }
    m_intervalMs = qMax(0, intervalMs);
    m_count = count;
    m_reads = 0;
    m_failuresInRow = 0;
    for (auto& highway : m_counters)
        for (auto& unit : highway)
            for (auto& channel : unit)
                for (CountChange& c : channel)
                    c = CountChange();
    m_next.start(0);
    return true;
}

void CounterMonitor::stop() {
    if (!isRunning())
        return;
    if (m_reading)
        m_stopAsked = true; // the read under way ends first
    else
        finish(End::Stopped);
}

void CounterMonitor::readNow() {
    if (!isRunning() || m_reading)
        return;
    if (m_stopAsked) { // asked while the start checked the serial number
        finish(End::Stopped);
        return;
    }
    m_reading = true;
    QElapsedTimer clock;
    clock.start();
    MonitorRead read;
    read.number = ++m_reads;
    read.time = QDateTime::currentDateTime();
    // The connection the start opened serves every read; it is opened again only when it was
    // lost meanwhile.
    const bool open = m_link.transport().isOpen() || m_link.OpenLink();
    for (int hw = 1; open && hw <= 2; ++hw) {
        read.highwayRead[hw - 1] = readHighway(hw);
        if (!read.highwayRead[hw - 1] && read.failure.isEmpty())
            read.failure =
                m_link.lastFailure().isEmpty()
                    ? MonitorText::tr("Highway %1: no valid counter reply.").arg(hw)
                    : MonitorText::tr("Highway %1: %2").arg(hw).arg(m_link.lastFailure());
    }
    if (!open)
        read.failure = m_link.connectionFailedText();
    read.ok = read.highwayRead[0] && read.highwayRead[1];
    follow(read);
    read.durationMs = clock.elapsed();
    m_failuresInRow = read.ok ? 0 : m_failuresInRow + 1;
    m_reading = false;
    emit readDone(read);
    if (m_failuresInRow >= kMaxFailures)
        finish(End::Failures);
    else if (m_stopAsked)
        finish(End::Stopped);
    else if (m_count > 0 && m_reads >= m_count)
        finish(End::Counted);
    else
        scheduleNext(read.durationMs);
}

bool CounterMonitor::readHighway(int highway) {
    if (!m_link.SendCommand(counterRequest(highway)) || !m_link.WaitReply(kCounterReplySize))
        return false;
    // Decoded into a copy first: a reply that does not decode leaves the table as it was.
    UnitTable table = m_state.table(highway);
    if (!decodeCounterReply(m_link.rxBuffer(), table))
        return false;
    m_state.table(highway) = table;
    return true;
}

// Follows the counters of the highways that answered and makes their rows.
void CounterMonitor::follow(MonitorRead& read) {
    for (int hw = 1; hw <= 2; ++hw) {
        if (!read.highwayRead[hw - 1])
            continue;
        const UnitTable& table = m_state.table(hw);
        for (int i = 1; i <= kUnitsPerHighway; ++i) {
            const UnitConfig& unit = table[i];
            counter(hw, i - 1, 1, true).next(countOf(unit.In1));
            counter(hw, i - 1, 1, false).next(countOf(unit.Out1));
            counter(hw, i - 1, 2, true).next(countOf(unit.In2));
            counter(hw, i - 1, 2, false).next(countOf(unit.Out2));
        }
        for (MonitorRow row : activeChannelRows(table, hw, read.time)) {
            row.inChange = counter(hw, row.address, row.channel, true).total();
            row.outChange = counter(hw, row.address, row.channel, false).total();
            read.rows << row;
        }
    }
}

void CounterMonitor::scheduleNext(qint64 tookMs) {
    m_next.start(int(qMax<qint64>(0, m_intervalMs - tookMs)));
}

void CounterMonitor::finish(End end) {
    m_next.stop();
    m_session.reset(); // closes the link
    emit finished(end);
}

CountChange& CounterMonitor::counter(int highway, int address, int channel, bool in) {
    return m_counters[highway - 1][address][channel - 1][in ? 0 : 1];
}

const CountChange& CounterMonitor::counter(int highway, int address, int channel, bool in) const {
    return m_counters[highway - 1][address][channel - 1][in ? 0 : 1];
}

std::optional<qint64> CounterMonitor::change(int highway, int address, int channel, bool in) const {
    const CountChange& c = counter(highway, address, channel, in);
    if (!c.started())
        return std::nullopt;
    return c.total();
}

bool CounterMonitor::changedInLastRead(int highway, int address) const {
    for (int channel = 1; channel <= 2; ++channel)
        for (bool in : {true, false})
            if (counter(highway, address, channel, in).lastStep() != 0)
                return true;
    return false;
}

} // namespace nodalyx
