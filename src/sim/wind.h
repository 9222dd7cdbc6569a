#pragma once
// Wind angles, tack side and drift of the simulated boat, from its state.

#include "sim/sim_state.h"

namespace ventrel {

// Tack side for the current heading and true wind; also sets s.TWA. A wind from
// dead ahead gives tribord, from dead astern babord. Uses s.H180 as left by the
// last tick or start.
TAmure F_amure(SimState& s);
// The same tack side without touching the state (for the sentence builders).
TAmure AmureOf(const SimState& s);

// True when the course over ground lies in the port sector of the heading (the
// drift label then reads "° BABORD"), tested as F_amure tests the wind.
bool CogInPortSector(const SimState& s);

}  // namespace ventrel
