#pragma once

#include <QString>
#include <QtGlobal>

namespace nodalyx {

// The status the transfer operations answer: 0 is success, every other value says why not.
// The values are part of the component's documentation (docs/TRANSFER.md); never renumber.
namespace transfer {
inline constexpr qint16 Ok = 0;
inline constexpr qint16 NotOpen = 1;        // no port or connection is open
inline constexpr qint16 OpenFailed = 2;     // the port would not open, the connection not come up
inline constexpr qint16 PortInUse = 3;      // the link would not hand its device over
inline constexpr qint16 BadArgument = 4;    // a text over 4096 bytes, a bad port or setting
inline constexpr qint16 SendFailed = 5;     // the packet did not go out within the send time
inline constexpr qint16 NoReply = 6;        // nothing arrived within the reply time
inline constexpr qint16 BadReply = 7;       // bytes came, but no valid packet for this request
inline constexpr qint16 ConnectionLost = 8; // the port or connection went away
inline constexpr qint16 Busy = 9;           // called while another call of the component waits
inline constexpr qint16 Cancelled = 10;     // the operator cancelled the transfer
} // namespace transfer

// "no reply within the reply time", ... for messages and the trace.
QString transferStatusText(qint16 status);

} // namespace nodalyx
