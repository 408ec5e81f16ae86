// Calendar breakdown of UTC seconds since 1970, without time zones, in 64-bit
// arithmetic so that every unsigned 32-bit time (up to 2106) has its date.
#pragma once

#include <cstdint>

namespace pixlor {

struct UtcDate {
    uint32_t year = 1970;
    uint8_t month = 1; // 1 to 12
    uint8_t day = 1;   // 1 to 31
    uint8_t hour = 0;
    uint8_t minute = 0;
    uint8_t second = 0;
    friend bool operator==(const UtcDate&, const UtcDate&) = default;
};

UtcDate BreakDownUtc(uint64_t secondsSince1970);

// The inverse, for tools and tests that make picture times from dates.
uint64_t UtcSeconds(const UtcDate& date);

} // namespace pixlor
