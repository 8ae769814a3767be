#include "UnitHighwaySim.h"

#include "SimFaults.h"

#include <QRandomGenerator>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>
#endif

namespace nodalyx::sim {

namespace {
QString pollText(const hw::UnitPoll& poll) {
    if (poll.type == 1)
        return QStringLiteral("1:%1").arg(poll.address, 2, 10, QLatin1Char('0'));
    const QByteArray code(reinterpret_cast<const char*>(poll.code.data()), hw::kUnitCodeSize);
    return QStringLiteral("2:") + QString::fromLatin1(code.toHex().toUpper());
}
} // namespace

UnitHighwaySim::UnitHighwaySim(QObject* parent) : QObject(parent) {
    m_output.setPacing(kBaud, 0, 0);
    m_output.setSink([this](const QByteArray& bytes) { m_pty.write(bytes); });
    connect(&m_pty, &PseudoTerminal::received, this, &UnitHighwaySim::hear);
    connect(&m_growTimer, &QTimer::timeout, this, &UnitHighwaySim::grow);
}

UnitHighwaySim::~UnitHighwaySim() {
#ifdef Q_OS_UNIX
    if (m_slave >= 0)
        ::close(m_slave);
#endif
}

void UnitHighwaySim::setConfig(const UnitSimConfig& config) {
    m_config = config;
    m_growTimer.stop();
    if (m_config.growMs > 0)
        m_growTimer.start(m_config.growMs);
}

bool UnitHighwaySim::openPty(const QString& linkPath) {
    if (!m_pty.open(linkPath))
        return false;
#ifdef Q_OS_UNIX
    if (m_slave >= 0)
        ::close(m_slave);
    m_slave = ::open(m_pty.devicePath().toLocal8Bit().constData(), O_RDONLY | O_NOCTTY | O_CLOEXEC);
#endif
    return true;
}

void UnitHighwaySim::closePty() {
    m_output.clear();
#ifdef Q_OS_UNIX
    if (m_slave >= 0)
        ::close(m_slave);
    m_slave = -1;
#endif
    m_pty.close();
}

int UnitHighwaySim::lineSpeed() const {
#ifdef Q_OS_UNIX
    termios t{};
    if (m_slave < 0 || ::tcgetattr(m_slave, &t) != 0)
        return 0;
    switch (cfgetospeed(&t)) {
    case B4800:
        return 4800;
    case B9600:
        return 9600;
    case B19200:
        return 19200;
    case B38400:
        return 38400;
    default:
        return -1; // some other speed: not ours
    }
#else
    return 0;
#endif
}

void UnitHighwaySim::hear(const QByteArray& bytes) {
    const int speed = lineSpeed();
    if (speed != 0 && speed != kBaud)
        return; // at another speed the units hear only noise
    m_heard.append(bytes);
    while (const auto poll = hw::takePoll(m_heard))
        answer(*poll);
}

SimUnit* UnitHighwaySim::unitFor(const hw::UnitPoll& poll) {
    for (SimUnit& unit : m_config.units) {
        if (unit.type != poll.type)
            continue;
        if (poll.type == 1 ? unit.address == poll.address : unit.code() == poll.code)
            return &unit;
    }
    return nullptr;
}

void UnitHighwaySim::answer(const hw::UnitPoll& poll) {
    const QString text = pollText(poll);
    m_polls << text;
    emit polled(text);
    const SimUnit* unit = unitFor(poll);
    if (!unit || unit->fault == UnitFault::Silent)
        return;
    const int delayMs = unit->fault == UnitFault::Late ? m_config.lateMs : m_config.replyDelayMs;
    const QByteArray reply = replyOf(*unit);
    QTimer::singleShot(delayMs, Qt::PreciseTimer, this, [this, reply] { transmit(reply); });
}

QByteArray UnitHighwaySim::replyOf(const SimUnit& unit) const {
    QByteArray reply = unit.type == 1 ? hw::type1Reply(unit.address, unit.counters)
                                      : hw::type2Reply(unit.code(), unit.counters);
    switch (unit.fault) {
    case UnitFault::Short:
        reply.chop(1);
        break;
    case UnitFault::Long:
        reply.append('\0');
        break;
    case UnitFault::FirstByte:
        reply[0] = char(quint8(reply[0]) ^ 0x01);
        break;
    case UnitFault::NoMarker:
        if (unit.type == 2)
            reply[39] = reply[40] = '\0';
        break;
    case UnitFault::Garbage:
        reply = SimFaults::noise(hw::kLongestReply + 10);
        break;
    default:
        break;
    }
    return reply;
}

void UnitHighwaySim::transmit(const QByteArray& bytes) {
    m_output.send(bytes);
    emit answered(bytes);
}

void UnitHighwaySim::grow() {
    auto* random = QRandomGenerator::global();
    for (SimUnit& unit : m_config.units)
        for (int& c : unit.counters)
            c = (c + int(random->bounded(3))) % hw::kCounterLimit;
}

} // namespace nodalyx::sim
