// How many camera panels are open in this module (0 or 1): opening refuses a
// second one, and the configuration dialog refuses to run while one is open.
#pragma once

#include <cstdint>

namespace pixlor {

extern int8_t openPanelCount;

} // namespace pixlor
