#pragma once

#include "LoggerSim.h"

#include <QHostAddress>
#include <QList>
#include <QString>
#include <memory>
#include <vector>

namespace nodalyx::sim {

// Many simulated loggers in one process, each on a TCP port of its own (a site survey's test
// ground). Logger n (1..count) gets the base serial number with n appended, a clock of its own
// and, for silentCount of them spread evenly over the fleet, no answers at all.
class LoggerFleet {
public:
    struct Member {
        QString serial;
        qint64 clockOffsetSecs = 0;
        bool silent = false;
    };

    // Logger n of count (1-based): the first 10 - d characters of baseSerial followed by n with
    // d digits (d the digits of count); a clock within half a minute of the PC, every seventh
    // drifted 2..21 minutes (behind and ahead in turn); silent when it is one of the
    // silentCount spread evenly (200 with 20 silent: the 10th, 20th, ... 200th).
    static Member member(const QString& baseSerial, int count, int silentCount, int n);

    // What every logger starts from: the state (its serial number is the base one), the faults
    // and the block size of file downloads (0: the logger's default).
    struct Plan {
        int count = 1;
        int silentCount = 0;
        LoggerState state = LoggerState::withDefaults();
        SimFaults faults;
        int blockSize = 0;
    };

    explicit LoggerFleet(const Plan& plan);
    // Listens on address: logger n on firstPort + n - 1, or on free ports when firstPort is 0.
    // False (errorString() says which port) when one cannot listen.
    bool listen(const QHostAddress& address, quint16 firstPort);
    QString errorString() const { return m_error; }

    int size() const { return int(m_loggers.size()); }
    LoggerSim& logger(int index) { return *m_loggers.at(size_t(index)); }
    bool isSilent(int index) const { return m_silent.at(index); }
    // "tcp 127.0.0.1:PORT serial S clock offset +N s" (and " silent"), logger by logger.
    QStringList readyLines(const QHostAddress& address) const;

private:
    std::vector<std::unique_ptr<LoggerSim>> m_loggers;
    QList<bool> m_silent;
    QString m_error;
};

} // namespace nodalyx::sim
