#pragma once

#include <QSerialPort>
#include <QString>
#include <optional>

namespace nodalyx {

// A serial line as the settings text gives it: "19200,N,8,1" (speed, parity N/E/O/M/S, data
// bits 5..8, stop bits 1, 1.5 or 2).
struct SerialLine {
    int baud = 19200;
    QSerialPort::Parity parity = QSerialPort::NoParity;
    QSerialPort::DataBits dataBits = QSerialPort::Data8;
    QSerialPort::StopBits stopBits = QSerialPort::OneStop;
};
std::optional<SerialLine> parseSerialLine(const QString& text);

// OpenSerial's last number: the handshaking (0 none, 1 XON/XOFF, 2 RTS/CTS).
std::optional<QSerialPort::FlowControl> flowControlFor(int handshaking);

// The component's time limits, in milliseconds of elapsed (monotonic) time.
struct TransferTimes {
    int replyMs = 5000;    // a reply to begin (Configure's first byte, ReplyDelay)
    int completeMs = 5000; // a begun reply to arrive whole (Configure's second byte)
    int connectMs = 15000; // the TCP connection to come up (OpenTcp's first number)
    int sendMs = 5000;     // a packet to go out (OpenTcp's third number; 5 s on serial)
};

// Seconds as milliseconds, for a time limit; nullopt for a negative, infinite or NaN value.
std::optional<int> secondsToMs(double seconds);

} // namespace nodalyx
