#include "camera/UtcDate.h"

namespace pixlor {
namespace {

// Days since 1970-01-01 to a proleptic Gregorian date (H. Hinnant's algorithm).
void CivilFromDays(int64_t z, int64_t& y, unsigned& m, unsigned& d) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y = static_cast<int64_t>(yoe) + era * 400 + (m <= 2 ? 1 : 0);
}

int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
    y -= m <= 2 ? 1 : 0;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

} // namespace

UtcDate BreakDownUtc(uint64_t secondsSince1970) {
    const auto days = static_cast<int64_t>(secondsSince1970 / 86400);
    const auto rest = static_cast<uint32_t>(secondsSince1970 % 86400);
    int64_t y = 0;
    unsigned m = 0;
    unsigned d = 0;
    CivilFromDays(days, y, m, d);
    UtcDate date;
    date.year = static_cast<uint32_t>(y);
    date.month = static_cast<uint8_t>(m);
    date.day = static_cast<uint8_t>(d);
    date.hour = static_cast<uint8_t>(rest / 3600);
    date.minute = static_cast<uint8_t>(rest / 60 % 60);
    date.second = static_cast<uint8_t>(rest % 60);
    return date;
}

uint64_t UtcSeconds(const UtcDate& date) {
    const int64_t days = DaysFromCivil(date.year, date.month, date.day);
    return static_cast<uint64_t>(days * 86400 + date.hour * 3600 + date.minute * 60 + date.second);
}

} // namespace pixlor
