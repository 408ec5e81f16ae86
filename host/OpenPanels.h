// How many camera panels are open (0 or 1): a second panel is refused, and the
// configuration runs only while none is open.
#pragma once

#include <cstdint>

namespace pixlor {

extern int8_t openPanelCount;

} // namespace pixlor
