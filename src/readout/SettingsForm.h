#pragma once

#include "ConfigurationControls.h"
#include "Operator.h"
#include "SharedState.h"

namespace nodalyx {

// The configuration window's load and save rules, on the controls as data.

// Fills every control from the location's settings (state.settings and the memory-only
// eDHCPIPaddress). A field no box can show whole is reported through op, its boxes left as
// far as they can be filled and listed in controls.kept, so Save keeps that field; every other
// box is filled all the same. The MAC address and date boxes start empty. False when a field
// was reported.
bool GetGeneralsettings(const SharedState& state, ConfigurationControls& controls, Operator& op);

// Checks the controls (checkControls) and, when they pass, stores them into the settings by
// the save rules; fields whose boxes are in controls.kept keep their values. A refusal is shown
// through op and nothing is stored (false).
bool SaveGeneralsettings(SharedState& state, const ConfigurationControls& controls, Operator& op);

// A box was filled anew (typed into, or written by the read-out): Save stores it again. The
// four local address boxes count as one.
void fillAnew(ConfigurationControls& controls, const BoxKey& box);

} // namespace nodalyx
