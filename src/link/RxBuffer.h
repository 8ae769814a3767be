#pragma once

#include "SharedState.h"

#include <QByteArray>

namespace nodalyx {

// The receive buffer never grows beyond this; bytes beyond it are dropped, so an oversized
// reply fails its length check instead of eating memory.
inline constexpr int kRxBufferLimit = 64 * 1024;

// Appends received bytes to the buffer (up to the limit) and sets the ACK or NAK flag when
// the buffer starts with 6 or 21. Flags are only ever set here, never cleared. Answers the
// number of bytes dropped.
int appendReceived(LinkState& link, const QByteArray& bytes, int limit = kRxBufferLimit);

} // namespace nodalyx
