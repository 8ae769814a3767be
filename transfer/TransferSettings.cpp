#include "TransferSettings.h"

#include <QStringList>
#include <cmath>

namespace nodalyx {

namespace {

std::optional<QSerialPort::Parity> parityFor(const QString& letter) {
    const QString p = letter.trimmed().toUpper();
    if (p == QLatin1String("N"))
        return QSerialPort::NoParity;
    if (p == QLatin1String("E"))
        return QSerialPort::EvenParity;
    if (p == QLatin1String("O"))
        return QSerialPort::OddParity;
    if (p == QLatin1String("M"))
        return QSerialPort::MarkParity;
    if (p == QLatin1String("S"))
        return QSerialPort::SpaceParity;
    return std::nullopt;
}

std::optional<QSerialPort::StopBits> stopBitsFor(const QString& text) {
    const QString s = text.trimmed();
    if (s == QLatin1String("1"))
        return QSerialPort::OneStop;
    if (s == QLatin1String("1.5"))
        return QSerialPort::OneAndHalfStop;
    if (s == QLatin1String("2"))
        return QSerialPort::TwoStop;
    return std::nullopt;
}

} // namespace

std::optional<SerialLine> parseSerialLine(const QString& text) {
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 4)
        return std::nullopt;
    bool baudOk = false, bitsOk = false;
    const int baud = parts[0].trimmed().toInt(&baudOk);
    const int bits = parts[2].trimmed().toInt(&bitsOk);
    const auto parity = parityFor(parts[1]);
    const auto stop = stopBitsFor(parts[3]);
    if (!baudOk || baud <= 0 || !bitsOk || bits < 5 || bits > 8 || !parity || !stop)
        return std::nullopt;
    return SerialLine{baud, *parity, QSerialPort::DataBits(bits), *stop};
}

std::optional<QSerialPort::FlowControl> flowControlFor(int handshaking) {
    switch (handshaking) {
    case 0:
        return QSerialPort::NoFlowControl;
    case 1:
        return QSerialPort::SoftwareControl;
    case 2:
        return QSerialPort::HardwareControl;
    default:
        return std::nullopt;
    }
}

std::optional<int> secondsToMs(double seconds) {
    if (!std::isfinite(seconds) || seconds < 0 || seconds > 3600)
        return std::nullopt;
    return int(std::lround(seconds * 1000.0));
}

} // namespace nodalyx
