#pragma once

#include "CountChange.h"
#include "MonitorRow.h"

#include "Link.h"
#include "LoggerSession.h"
#include "Operator.h"
#include "SharedState.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>
#include <array>
#include <optional>

namespace nodalyx {

// One read of both highways while monitoring.
struct MonitorRead {
    int number = 0;  // 1 for the first read
    QDateTime time;  // when it began
    bool ok = false; // both highways answered
    QString failure; // why not, for the status bar
    std::array<bool, 2> highwayRead{};
    QList<MonitorRow> rows; // one per active unit channel of the highways that answered
    qint64 durationMs = 0;
};

// Repeats the counter read-out of a location every so many seconds over one link, following
// the change of every counter since the first read (16-bit wrap counted forward).
//
// The link is opened and the logger's serial number checked once, at the start (the operator
// is asked when it is another logger's). A read that fails is reported and the monitor goes on
// (opening the link again when it was lost); after kMaxFailures failed reads in a row it ends.
// A read never begins before the previous one has ended, whatever the interval.
class CounterMonitor : public QObject {
    Q_OBJECT
public:
    static constexpr int kMaxFailures = 3;
    static constexpr int kMinimumSeconds = 1;
    static constexpr int kMaximumSeconds = 3600;

    enum class End {
        Stopped,  // stop() was called
        Counted,  // the number of reads asked for was made
        Failures, // kMaxFailures failed reads in a row
    };

    CounterMonitor(SharedState& state, Link& link, Operator& op, QObject* parent = nullptr);
    ~CounterMonitor() override;

    // Opens the link, checks the serial number and makes the first read at once; later reads
    // follow every intervalMs. count > 0 ends after that many reads. False (the operator told
    // why) when the logger could not be reached or the operator declined another logger.
    bool start(int intervalMs, int count = 0);
    // Ends after the read under way (at once between reads); finished() follows.
    void stop();
    bool isRunning() const { return m_session.has_value(); }
    int failuresInRow() const { return m_failuresInRow; }

    // The change of a counter since the first read; nullopt before it was read.
    std::optional<qint64> change(int highway, int address, int channel, bool in) const;
    // Whether any counter of the unit changed in the last read.
    bool changedInLastRead(int highway, int address) const;

    // "Monitoring stopped after three failed reads in a row."
    static QString failuresText();

signals:
    void readDone(const nodalyx::MonitorRead& read);
    void finished(nodalyx::CounterMonitor::End end);

private:
    void readNow();
    bool readHighway(int highway);
    void follow(MonitorRead& read);
    void scheduleNext(qint64 tookMs);
    void finish(End end);
    CountChange& counter(int highway, int address, int channel, bool in);
    const CountChange& counter(int highway, int address, int channel, bool in) const;

    SharedState& m_state;
    Link& m_link;
    Operator& m_op;
    std::optional<LoggerSession> m_session;
    QTimer m_next;
    // [highway][address][channel][in, out]
    std::array<std::array<std::array<std::array<CountChange, 2>, 2>, kUnitsPerHighway>, 2>
        m_counters;
    int m_intervalMs = 1000;
    int m_count = 0;
    int m_reads = 0;
    int m_failuresInRow = 0;
    bool m_reading = false;
    bool m_stopAsked = false;
};

// The active unit channels of a highway as rows, their counts from the table (the changes
// left at 0): channel 1 of every active unit, channel 2 of those with a unit code.
QList<MonitorRow> activeChannelRows(const UnitTable& table, int highway, const QDateTime& time);

// The unit's location as the main window shows it: Name1, with "\" and Name3 when given.
QString unitLocationText(const UnitConfig& unit);

} // namespace nodalyx
