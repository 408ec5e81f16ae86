#include "fakes/FakeClock.h"

namespace pixlor {

uint64_t FakeClock::NowUnixSeconds() {
    ++reads_;
    return now_;
}

void FakeClock::Set(const UtcDate& date) {
    now_ = UtcSeconds(date);
}

} // namespace pixlor
