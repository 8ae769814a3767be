#pragma once

#include "HighwayTimings.h"
#include "Operator.h"
#include "SharedState.h"
#include "TestRow.h"
#include "UnitPort.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <algorithm>
#include <array>

namespace nodalyx {
class Link;
}

namespace nodalyx::hw {

// The highway test: polls every active unit of one highway in turn over a serial port at
// 9600 baud, without the logger, and keeps per unit the polls sent, the valid answers and
// the counters (rows 1..64 for table entries 1..64). It runs pass after pass until stopped;
// a stop lets the running pass complete.
//
// The port is the link's: the test holds the link's lease while it runs, so the link's own
// port and poll timer rest, and the link opens afresh at 19200 8N1 afterwards.
//
// One thread: TestHW returns when the test has ended and lets events run meanwhile, so a
// window stays alive and requestStop() can be called from a click.
class HighwayTest : public QObject {
    Q_OBJECT
public:
    enum class State { Idle, Running, Stopping };

    HighwayTest(SharedState& state, Link& link, Operator& op, QObject* parent = nullptr);

    void setTimings(const HighwayTimings& timings) { m_timings = timings; }
    // Stop by itself after this many passes; 0 runs until requestStop().
    void setPassLimit(int passes) { m_passLimit = passes; }
    // When the port cannot be opened the test is told once and runs without traffic (every
    // unit times out); false makes it end there instead, without a pass.
    void setRunWithoutPort(bool run) { m_runWithoutPort = run; }

    // Runs the test on highway 1 or 2 over serial port number `comport` (the text of the
    // port list). False when it could not start: no port number, the link not free, the
    // test already running, or (see setRunWithoutPort) the port would not open.
    bool TestHW(int highway, const QString& comport);
    // The running pass completes, then the test ends.
    void requestStop();

    State state() const { return m_runState; }
    bool isRunning() const { return m_runState != State::Idle; }
    int passes() const { return m_passes; }
    bool portOpened() const { return m_portOpened; }
    const TestRow& row(int index) const { return m_rows.at(std::clamp(index, 0, 64)); }

    static QString holderName();
    static QString noComportText();

signals:
    void rowsReset();
    void rowChanged(int index);
    void stateChanged(nodalyx::hw::HighwayTest::State state);
    void passFinished(int passes);
    void traffic(bool sent, const QByteArray& bytes);
    void inputDropped(qint64 count);

private:
    bool keepGoing() const;
    void runPass(int highway, const UnitTable& units);
    void pollUnit(int highway, int index, const UnitConfig& unit);
    bool ReceiveData(int type);
    void Verwerkbuffer(int index);
    void tellLoss();
    void setRunState(State state);

    SharedState& m_state;
    Link& m_link;
    Operator& m_op;
    HighwayTimings m_timings;
    UnitPort m_port;
    std::array<TestRow, kUnitTableSize> m_rows{};
    QByteArray m_reply; // the answer last taken from the port, until processed
    State m_runState = State::Idle;
    int m_passLimit = 0;
    int m_passes = 0;
    bool m_runWithoutPort = true;
    bool m_portOpened = false;
    bool m_lossTold = false;
};

} // namespace nodalyx::hw
