#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace nodalyx {

// Who carried the bytes: the tool's link to the logger, the file transfer, the highway test.
enum class TrafficSource { Link, Transfer, Highway };
// A frame or packet sent, bytes received, or a note without bytes (input dropped).
enum class TrafficDirection { Sent, Received, Note };

// One line of the communication log and of --trace.
struct TrafficEntry {
    QDateTime time;
    TrafficSource source = TrafficSource::Link;
    TrafficDirection direction = TrafficDirection::Note;
    QByteArray bytes;
    QString name;    // "ReadSerial", "code 11 number 0 L1 15 L2 0", "poll type 1"
    QString verdict; // "ACK", "reply ok", "no answer", "CRC ok", "answered", ...
};

// The one formatter of the log window and of --trace. ASCII only:
//   time (hh:mm:ss.zzz), the source (link, transfer, hwtest), the command's name and the
//   verdict (each padded to a column, never cut), then the direction and the bytes in hex:
//   "10:33:12.345 link     ReadSerial       reply ok     <- FF 3B 20 ..."
// "->" a frame sent, "<-" bytes received (nothing after it: nothing came), "!!" a note. The
// bytes come last, so a script finds the frames with  grep -o '[<>-]* [0-9A-F ]*$'.
QString trafficLine(const TrafficEntry& entry);

// The readable name of a logger command code: "ReadMemory", "SetClock"; "command 42" for a
// code the tool does not know.
QString commandName(int code);
// The name of the command a request frame carries (its third byte); empty for no frame.
QString frameCommandName(const QByteArray& frame);

QString trafficSourceName(TrafficSource source);

} // namespace nodalyx
