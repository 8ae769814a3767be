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
// a stop ends it after the poll in progress (or, see setStopAfterPass, after the pass). A port
// that cannot be opened, or a device lost during the run, is told once and ends the test.
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
    // How a poll ended: a valid answer, none, or bytes that were no valid answer.
    enum class Answer { Valid, None, Bad };

    HighwayTest(SharedState& state, Link& link, Operator& op, QObject* parent = nullptr);

    void setTimings(const HighwayTimings& timings) { m_timings = timings; }
    // Stop by itself after this many passes; 0 runs until requestStop().
    void setPassLimit(int passes) { m_passLimit = passes; }
    // A stop lets the running pass complete, so every unit has been polled equally often
    // (the command line's list); by default the test ends after the poll in progress.
    void setStopAfterPass(bool afterPass) { m_stopAfterPass = afterPass; }

    // Runs the test on highway 1 or 2 over serial port number `comport` (the text of the
    // port list). False when it could not start: no port number, the link not free, the
    // test already running, or the port would not open (no pass is run).
    bool TestHW(int highway, const QString& comport);
    // The poll in progress (see setStopAfterPass: the pass) completes, then the test ends.
    void requestStop();

    State state() const { return m_runState; }
    bool isRunning() const { return m_runState != State::Idle; }
    // Complete passes of the last run: a pass cut short by a stop or a lost device is not
    // counted.
    int passes() const { return m_passes; }
    // Passes begun: one more than passes() when the last was cut short.
    int passesBegun() const { return m_passesBegun; }
    bool portOpened() const { return m_portOpened; }
    // How the last run ended: by a stop, or by the device going away.
    bool stopped() const { return m_stopped; }
    bool portLost() const { return m_portOpened && !m_port.lostText().isEmpty(); }
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
    // The poll of row `index` ended (for the communication log).
    void pollEnded(int index, nodalyx::hw::HighwayTest::Answer answer);

private:
    bool keepGoing() const;
    bool pollsGoOn() const;
    bool runPass(int highway, const UnitTable& units);
    void pollUnit(int highway, int index, const UnitConfig& unit);
    bool ReceiveData(int type);
    void Verwerkbuffer(int index);
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
    int m_passesBegun = 0;
    bool m_stopAfterPass = false;
    bool m_portOpened = false;
    bool m_stopped = false;
};

} // namespace nodalyx::hw
