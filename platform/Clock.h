// The current time (Win32 GetSystemTime), as UTC seconds since 1970-01-01.
#pragma once

#include <cstdint>

namespace pixlor {

class Clock {
public:
    virtual ~Clock() = default;
    virtual uint64_t NowUnixSeconds() = 0;
};

} // namespace pixlor
