#include <gtest/gtest.h>

#include "camera/UtcDate.h"

namespace pixlor {
namespace {

struct DateCase {
    uint64_t seconds;
    UtcDate date;
};

class UtcDateTest : public testing::TestWithParam<DateCase> {};

TEST_P(UtcDateTest, BreaksDownAndBack) {
    const DateCase& c = GetParam();
    EXPECT_EQ(BreakDownUtc(c.seconds), c.date);
    EXPECT_EQ(UtcSeconds(c.date), c.seconds);
}

INSTANTIATE_TEST_SUITE_P(
    Dates, UtcDateTest,
    testing::Values(DateCase{0, {1970, 1, 1, 0, 0, 0}},
                    DateCase{0x3D0B3375, {2002, 6, 15, 12, 30, 45}},
                    DateCase{951782400, {2000, 2, 29, 0, 0, 0}},   // leap day of a century year
                    DateCase{0x7FFFFFFF, {2038, 1, 19, 3, 14, 7}}, // last signed 32-bit second
                    DateCase{0x80000000, {2038, 1, 19, 3, 14, 8}},
                    DateCase{0xFFFFFFFE, {2106, 2, 7, 6, 28, 14}}));

} // namespace
} // namespace pixlor
