// A clock that shows whatever UTC time the test sets, and counts how often it is read.
#pragma once

#include <cstdint>

#include "camera/UtcDate.h"
#include "platform/Clock.h"

namespace pixlor {

class FakeClock final : public Clock {
public:
    explicit FakeClock(uint64_t unixSeconds = 1021626330) // 2002-05-17 09:05:30 UTC
        : now_(unixSeconds) {}

    uint64_t NowUnixSeconds() override;

    void Set(uint64_t unixSeconds) { now_ = unixSeconds; }
    void Set(const UtcDate& date);
    void Advance(uint64_t seconds) { now_ += seconds; }

    uint64_t now() const { return now_; }
    // Calls of NowUnixSeconds so far.
    uint32_t reads() const { return reads_; }

private:
    uint64_t now_;
    uint32_t reads_ = 0;
};

} // namespace pixlor
