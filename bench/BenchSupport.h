// What the benchmarks share: a quiet operator, a simulated logger on a pseudo-terminal paced
// at 19200 baud, and the line that prints elapsed time against wire time.
#pragma once

#include "LoggerSim.h"
#include "Operator.h"
#include "SharedState.h"

#include <QTextStream>

namespace nodalyx::bench {

class QuietOperator : public Operator {
public:
    void message(const QString& text, Icon, const QString&) override {
        QTextStream(stderr) << "message: " << text << Qt::endl;
        ++messages;
    }
    bool askYesNo(const QString&, Icon, const QString&, Answer) override { return true; }
    void setBusy(bool) override {}
    void beep() override {}
    void progress(const QString&, int, int) override {}
    int messages = 0;
};

inline constexpr int kBaud = 19200;

// Opens the logger on a pseudo-terminal paced at 19200 baud and points the location at it as
// serial port 9; false, with the reason printed, when no pseudo-terminal can be had.
inline bool pacedPty(sim::LoggerSim& logger, SharedState& state, QTextStream& out,
                     const char* label) {
    if (!logger.openPty()) {
        out << label << " pseudo-terminal: not available: " << logger.errorString() << Qt::endl;
        return false;
    }
    logger.faults().baud = kBaud;
    qputenv("NODALYX_COM9", logger.ptyDevice().toLocal8Bit());
    state.settings.ConnType = 1;
    state.settings.Comport = 9;
    return true;
}

// "... N bytes both ways, wire time W s, elapsed E s, ratio R (target <= 1.10)": the wire time
// of every byte the logger took and sent at 10 bits a byte.
inline void printWireRatio(QTextStream& out, const sim::LoggerSim& logger, double seconds) {
    const qint64 bytes = logger.bytesIn() + logger.bytesOut();
    const double wire = double(bytes) * 10.0 / kBaud;
    out << bytes << " bytes both ways, wire time " << QString::number(wire, 'f', 3)
        << " s, elapsed " << QString::number(seconds, 'f', 3) << " s, ratio "
        << QString::number(seconds / wire, 'f', 3) << " (target <= 1.10)" << Qt::endl;
}

} // namespace nodalyx::bench
