#include <gtest/gtest.h>

#include "transfer/PictureTime.h"

namespace pixlor {
namespace {

FileTime FromUnix(uint64_t seconds) {
    return FileTime::FromTicks((seconds + 11644473600u) * 10000000u);
}

PictureRecord Taken(uint32_t year, uint8_t month, uint8_t day, uint8_t hour, uint8_t minute,
                    uint8_t second) {
    return PictureRecord{true, 0, 0, day, month, year, hour, minute, second};
}

struct Case {
    PictureRecord record;
    DosDateTime dos;
    uint64_t unixSeconds;
};

class PictureTime : public ::testing::TestWithParam<Case> {};

TEST_P(PictureTime, GoesThroughTheDosEncodingWithoutTimeZone) {
    const Case& c = GetParam();
    EXPECT_EQ(DosFromRecord(c.record), c.dos);
    EXPECT_EQ(PictureFileTime(c.record), FromUnix(c.unixSeconds));
    DosDateTime back;
    ASSERT_TRUE(FileTimeToDos(PictureFileTime(c.record), back));
    EXPECT_EQ(back, c.dos);
}

INSTANTIATE_TEST_SUITE_P(
    Dates, PictureTime,
    ::testing::Values(Case{Taken(2002, 5, 17, 9, 5, 30),
                           {(22 << 9) | (5 << 5) | 17, (9 << 11) | (5 << 5) | 15},
                           1021626330},
                      // Two-second steps: an odd second goes down.
                      Case{Taken(2003, 7, 15, 13, 45, 31),
                           {(23 << 9) | (7 << 5) | 15, (13 << 11) | (45 << 5) | 15},
                           1058276730},
                      Case{Taken(1980, 1, 1, 0, 0, 0), {(1 << 5) | 1, 0}, 315532800},
                      // Dates the encoding cannot hold take the nearest it can.
                      Case{Taken(1979, 12, 31, 23, 59, 59), {(1 << 5) | 1, 0}, 315532800},
                      Case{PictureRecord{}, {(1 << 5) | 1, 0}, 315532800}, // a record not read yet
                      Case{Taken(2107, 12, 31, 23, 59, 59),
                           {(127 << 9) | (12 << 5) | 31, (23 << 11) | (59 << 5) | 29},
                           4354819198},
                      Case{Taken(2108, 1, 1, 0, 0, 0),
                           {(127 << 9) | (12 << 5) | 31, (23 << 11) | (59 << 5) | 29},
                           4354819198},
                      Case{Taken(2024, 2, 31, 25, 61, 61), // fields out of range are moved into it
                           {(44 << 9) | (2 << 5) | 29, (23 << 11) | (59 << 5) | 29},
                           1709251198}));

TEST(DosToFileTime, RefusesFieldsThatNameNoTime) {
    const FileTime untouched{7, 7};
    for (const DosDateTime dos : {DosDateTime{(22 << 9) | 17, 0},            // month 0
                                  DosDateTime{(22 << 9) | (2 << 5) | 30, 0}, // 30 February
                                  DosDateTime{(22 << 9) | (5 << 5), 0},      // day 0
                                  DosDateTime{(22 << 9) | (5 << 5) | 1, 24 << 11}}) {
        FileTime out = untouched;
        EXPECT_FALSE(DosToFileTime(dos, out));
        EXPECT_EQ(out, untouched);
    }
}

} // namespace
} // namespace pixlor
