// Plain pauses (Win32 Sleep). Tests inject a recorder so that no unit test sleeps.
#pragma once

#include <cstdint>

namespace pixlor {

class Sleeper {
public:
    virtual ~Sleeper() = default;
    virtual void Sleep(uint32_t milliseconds) = 0;
};

} // namespace pixlor
