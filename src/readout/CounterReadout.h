#pragma once

#include "Link.h"
#include "LoggerReplies.h" // decodeCounterReply: the pure decoding of a counter reply
#include "LoggerSession.h"
#include "Operator.h"
#include "SharedState.h"
#include "UnitConfig.h"

#include <QString>
#include <array>
#include <optional>

namespace nodalyx {

struct RefreshOutcome {
    bool countersRead = false; // the memory reads of both highways ran
    bool highway1Read = false; // highway 1's table got new values
    bool highway2Read = false;
};

// The texts the messages of the read-out use.
inline constexpr const char* kConnectionFailedText = "Connection with Datalogger failed";

// The memory read of a highway's counter blocks (0x6000 or 0x6400, 769 bytes).
Command counterRequest(int highway);

// How the counter read-out talks to the logger: the serial number read twice and compared,
// "Connection with Datalogger failed" with the reason when it cannot be reached, closed at
// the end.
SessionPolicy refreshPolicy();

// Connects to the location's logger, checks its serial number against eSerialnumber (asking
// the operator to go on when it differs), reads the counters of both highways into HW1Unit
// and HW2Unit and closes the link. A highway whose reply fails keeps its old values.
RefreshOutcome RefreshFromLogger(SharedState& state, Link& link, Operator& op);

// Texts for the columns "In 1", "Out 1", "In 2", "Out 2" of a unit's row; nullopt leaves the
// column as it is (a zero or never-read count; In 2 and Out 2 of a unit without address).
std::array<std::optional<QString>, 4> countColumns(const UnitConfig& unit);

} // namespace nodalyx
