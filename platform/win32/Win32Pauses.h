// The Windows side of ExactPauses: QueryPerformanceCounter, a high-resolution
// waitable timer and the system timer's resolution, each found at run time so
// that the DLL imports only what every Windows has.
#pragma once

#include <memory>

#include "platform/ExactPauses.h"

namespace pixlor::system {

// `highResolutionTimer` false leaves the timer out (the fallback's check).
std::unique_ptr<PauseSystem> NewWin32PauseSystem(bool highResolutionTimer = true);

} // namespace pixlor::system
