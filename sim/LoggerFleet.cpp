#include "LoggerFleet.h"

namespace nodalyx::sim {

namespace {
constexpr int kSerialLength = 10;
constexpr int kDriftEvery = 7;

int digitsOf(int value) {
    return int(QString::number(value).size());
}
} // namespace

LoggerFleet::Member LoggerFleet::member(const QString& baseSerial, int count, int silentCount,
                                        int n) {
    Member m;
    const int digits = digitsOf(count);
    m.serial = baseSerial.left(kSerialLength - digits) +
               QStringLiteral("%1").arg(n, digits, 10, QLatin1Char('0'));
    m.clockOffsetSecs = (n * 37) % 61 - 30; // -30..30 s
    if (n % kDriftEvery == 0) {
        const int turn = n / kDriftEvery;
        const qint64 minutes = 2 + turn % 20;
        m.clockOffsetSecs += (turn % 2 ? -60 : 60) * minutes;
    }
    // Exactly silentCount of the count loggers, evenly apart.
    m.silent = count > 0 && qint64(n) * silentCount / count > qint64(n - 1) * silentCount / count;
    return m;
}

LoggerFleet::LoggerFleet(const Plan& plan) {
    for (int n = 1; n <= plan.count; ++n) {
        const Member m = member(plan.state.serial, plan.count, plan.silentCount, n);
        auto sim = std::make_unique<LoggerSim>();
        sim->state() = plan.state;
        sim->state().serial = m.serial;
        sim->state().clockOffsetSecs = m.clockOffsetSecs;
        if (plan.blockSize > 0)
            sim->fileResponder().setBlockSize(plan.blockSize);
        sim->setGrowing(plan.state.growing);
        SimFaults faults = plan.faults;
        faults.silent = faults.silent || m.silent;
        sim->setFaults(faults);
        m_silent << faults.silent;
        m_loggers.push_back(std::move(sim));
    }
}

bool LoggerFleet::listen(const QHostAddress& address, quint16 firstPort) {
    for (int i = 0; i < size(); ++i) {
        const quint16 port = firstPort == 0 ? 0 : quint16(firstPort + i);
        if (!logger(i).listenTcp(address, port)) {
            m_error = QStringLiteral("port %1: %2").arg(port).arg(logger(i).errorString());
            return false;
        }
    }
    return true;
}

QStringList LoggerFleet::readyLines(const QHostAddress& address) const {
    QStringList lines;
    for (int i = 0; i < int(m_loggers.size()); ++i) {
        LoggerSim& sim = *m_loggers[size_t(i)];
        const qint64 offset = sim.state().clockOffsetSecs;
        lines << QStringLiteral("tcp %1:%2 serial %3 clock offset %4%5 s%6")
                     .arg(address.toString())
                     .arg(sim.tcpPort())
                     .arg(sim.state().serial,
                          offset < 0 ? QStringLiteral("-") : QStringLiteral("+"))
                     .arg(qAbs(offset))
                     .arg(m_silent.at(i) ? QStringLiteral(" silent") : QString());
    }
    return lines;
}

} // namespace nodalyx::sim
