#include "HighwayTest.h"

#include "Link.h"
#include "SerialPortName.h"
#include "UnitFrames.h"

namespace nodalyx::hw {

HighwayTest::HighwayTest(SharedState& state, Link& link, Operator& op, QObject* parent)
    : QObject(parent), m_state(state), m_link(link), m_op(op) {
    connect(&m_port, &UnitPort::traffic, this, &HighwayTest::traffic);
    connect(&m_port, &UnitPort::dropped, this, &HighwayTest::inputDropped);
}

QString HighwayTest::holderName() {
    return QStringLiteral("the highway test");
}

QString HighwayTest::noComportText() {
    return QStringLiteral("Number of comport not set!");
}

void HighwayTest::setRunState(State state) {
    if (m_runState == state)
        return;
    m_runState = state;
    emit stateChanged(state);
}

void HighwayTest::requestStop() {
    if (m_runState == State::Running) {
        m_stopped = true;
        setRunState(State::Stopping);
    }
}

bool HighwayTest::TestHW(int highway, const QString& comport) {
    if (isRunning())
        return false; // a test inside the test would find its own port open
    m_rows.fill(TestRow{});
    m_passes = 0;
    m_passesBegun = 0;
    m_portOpened = false;
    m_stopped = false;
    emit rowsReset();
    const QString text = comport.trimmed();
    if (text.isEmpty()) {
        m_op.message(noComportText(), Operator::Icon::Information);
        return false;
    }
    bool ok = false;
    const int number = text.toInt(&ok);
    if (!ok || number < 1 || number > 255) {
        m_op.message(QStringLiteral("\"%1\" is not a comport number.").arg(text),
                     Operator::Icon::Critical);
        return false;
    }
    QString why;
    LinkLease lease = m_link.TakeLease(holderName(), &why);
    if (!lease) {
        m_op.message(why, Operator::Icon::Warning);
        return false;
    }
    // The units as they were at the start: editing the tables meanwhile changes nothing here.
    const UnitTable units = m_state.table(highway == 2 ? 2 : 1);
    QString error;
    m_portOpened = m_port.open(serialPortName(number), &error);
    if (!m_portOpened) {
        // Polling into nothing would make every unit look dead: told, and no pass.
        m_op.message(error, Operator::Icon::Critical);
        return false;
    }
    setRunState(State::Running);
    while (keepGoing() && runPass(highway, units))
        emit passFinished(++m_passes);
    m_port.close();
    lease.release();
    setRunState(State::Idle);
    if (portLost()) // told once, with the port closed and the link free again
        m_op.message(m_port.lostText(), Operator::Icon::Critical);
    return true;
}

bool HighwayTest::keepGoing() const {
    if (m_runState != State::Running || !pollsGoOn())
        return false;
    return m_passLimit <= 0 || m_passes < m_passLimit;
}

// Whether the next unit is polled: not after a stop (unless the pass is to complete), nor
// once the device has gone or the program is ending.
bool HighwayTest::pollsGoOn() const {
    if (m_port.abandoned() || !m_port.lostText().isEmpty())
        return false;
    return m_runState == State::Running || m_stopAfterPass;
}

// One pass over the highway; false when it was cut short. A stop during the last poll
// leaves the pass complete.
bool HighwayTest::runPass(int highway, const UnitTable& units) {
    ++m_passesBegun;
    for (int i = 1; i <= kUnitsPerHighway; ++i) {
        if (!pollsGoOn())
            return false;
        const UnitConfig& unit = units[i];
        if (unit.Active && (unit.HWtype == 1 || unit.HWtype == 2))
            pollUnit(highway, i, unit);
    }
    return !m_port.abandoned() && m_port.lostText().isEmpty();
}

void HighwayTest::pollUnit(int highway, int index, const UnitConfig& unit) {
    const int type = unit.HWtype;
    // What an earlier unit left behind (a short, long or late answer) would make this
    // unit's answer the wrong length: start every poll on an empty input.
    m_port.discardInput();
    m_reply.clear();
    m_port.send(type == 1 ? type1Poll(index - 1) : type2Poll(unit.HWaddress),
                m_timings.turnaroundMs);
    if (m_passes > 0) { // polls are counted from the second pass on
        ++m_rows[index].TX;
        emit rowChanged(index);
    }
    int answerMs = m_timings.answerMs;
    if (type == 2 && highway == 1) {
        m_port.pause(m_timings.slowPauseMs);
        answerMs = m_timings.slowAnswerMs;
    }
    // A device that goes away ends the wait: the test ends behind this poll.
    m_port.waitUntil([this, type] { return ReceiveData(type) || !m_port.lostText().isEmpty(); },
                     answerMs);
    Verwerkbuffer(index);
}

bool HighwayTest::ReceiveData(int type) {
    if (!m_port.isOpen())
        return false;
    if (m_port.waiting() == replySize(type)) {
        m_reply = m_port.takeWaiting();
        return firstByteFits(type, m_reply);
    }
    if (m_port.waiting() > kLongestReply)
        m_port.discardInput();
    return false;
}

void HighwayTest::Verwerkbuffer(int index) {
    Answer answer = m_reply.isEmpty() ? Answer::None : Answer::Bad;
    if (!m_reply.isEmpty() && takeReply(m_rows[index], m_reply)) {
        answer = Answer::Valid;
        emit rowChanged(index);
    }
    emit pollEnded(index, answer);
    m_reply.clear();
    m_port.pause(m_timings.afterAnswerMs);
}

} // namespace nodalyx::hw
