#include <time.h>

#include "platform/SystemBackends.h"

namespace pixlor::system {
namespace {

class PosixClock final : public Clock {
public:
    uint64_t NowUnixSeconds() override {
        timespec now{};
        clock_gettime(CLOCK_REALTIME, &now);
        return now.tv_sec < 0 ? 0 : static_cast<uint64_t>(now.tv_sec);
    }
};

} // namespace

Clock& SystemClock() {
    static PosixClock clock;
    return clock;
}

} // namespace pixlor::system
