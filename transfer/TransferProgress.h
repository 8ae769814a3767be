#pragma once

#include <QElapsedTimer>
#include <QString>
#include <functional>

namespace nodalyx {

// How far a file transfer is, for the window's progress bar of its highway and a line of text
// beside it.
struct TransferProgress {
    QString file;    // "HW01.ini"
    int highway = 1; // 1 or 2: whose bar shows it
    int value = 0;   // the bar's value and maximum as the routine sets them
    int maximum = 0;
    int blocksDone = 0; // 0 of 0 while the file request is out
    int blocksTotal = 0;
    int secondsLeft = -1; // an estimate; -1 while none can be made
    bool finished = false;

    // "HW01.ini: 12/108 blocks, about 9 s left".
    QString text() const;
};

using ProgressSink = std::function<void(const TransferProgress&)>;

// The time left of a run of blocks, from the pace of the blocks done so far.
class TimeLeft {
public:
    void start() { m_clock.start(); }
    // -1 until a block is done.
    int seconds(int done, int total) const;

private:
    QElapsedTimer m_clock;
};

} // namespace nodalyx
