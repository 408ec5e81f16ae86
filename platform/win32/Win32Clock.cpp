#include <windows.h>

#include "platform/SystemBackends.h"

namespace pixlor::system {
namespace {

// GetSystemTime gives UTC; FILETIME counts 100 ns from 1601, 11644473600 s before 1970.
class Win32Clock final : public Clock {
public:
    uint64_t NowUnixSeconds() override {
        SYSTEMTIME now;
        GetSystemTime(&now);
        FILETIME ft;
        if (!SystemTimeToFileTime(&now, &ft)) {
            return 0;
        }
        const uint64_t ticks = (uint64_t{ft.dwHighDateTime} << 32) | ft.dwLowDateTime;
        const uint64_t seconds = ticks / 10000000u;
        return seconds < 11644473600u ? 0 : seconds - 11644473600u;
    }
};

} // namespace

Clock& SystemClock() {
    static Win32Clock clock;
    return clock;
}

} // namespace pixlor::system
