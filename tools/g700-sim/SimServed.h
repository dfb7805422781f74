#pragma once
#include "SimFrames.h"

#include <string>

// The values one answer serves, as a line of the simulator's report, so that a client's run can
// be checked against what was served at each address: "served unit 3 registers 40: 45 1 0 ..."
// (one value per register) or "served unit 3 coils 0: 0110..." (one digit per coil). Asked is
// the request the answer was made for; the unit is the one the answer names. Empty for an
// answer that serves no values (a write's echo, an exception).
std::string ServedLine(const TModbusRequest& Asked, const TFrame& Answer);
