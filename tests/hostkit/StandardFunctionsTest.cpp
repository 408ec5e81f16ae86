#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tools/hostkit/StandardFunctions.h"

namespace pixlor::hostkit {
namespace {

struct TruncCase {
    const char* path;
    int max;
    const char* expected;
};

class TruncPathTest : public ::testing::TestWithParam<TruncCase> {};

TEST_P(TruncPathTest, KeepsRootAndTail) {
    char buffer[300];
    std::strcpy(buffer, GetParam().path);
    EXPECT_EQ(StdTruncPathStr(buffer, GetParam().max), buffer);
    EXPECT_STREQ(buffer, GetParam().expected);
    EXPECT_LE(std::strlen(buffer), static_cast<std::size_t>(GetParam().max));
}

INSTANTIATE_TEST_SUITE_P(
    Paths, TruncPathTest,
    ::testing::Values(TruncCase{"C:\\short", 52, "C:\\short"},
                      TruncCase{"C:\\Photos\\02-05-17\\pic.jpg", 16, "C:\\...17\\pic.jpg"},
                      TruncCase{"\\\\srv\\share\\a\\b\\c\\d.jpg", 20, "\\\\srv\\share\\...d.jpg"},
                      // No root: the tail alone.
                      TruncCase{"relative\\folder\\file.jpg", 10, "...ile.jpg"},
                      // Root too long for the limit: the tail alone.
                      TruncCase{"C:\\abcdefgh", 7, "...efgh"}));

TEST(AddEndSlashTest, AppendsTheDominantSlashOnce) {
    char a[16] = "D:\\Photos";
    char b[16] = "D:\\Photos\\";
    char c[16] = "D:/Photos";
    char d[16] = "";
    EXPECT_EQ(StdAddEndSlash(a), 1);
    EXPECT_EQ(StdAddEndSlash(b), 1);
    EXPECT_EQ(StdAddEndSlash(c), 1);
    EXPECT_EQ(StdAddEndSlash(d), 1);
    EXPECT_STREQ(a, "D:\\Photos\\");
    EXPECT_STREQ(b, "D:\\Photos\\");
    EXPECT_STREQ(c, "D:/Photos/");
    EXPECT_STREQ(d, "\\");
    EXPECT_EQ(StdAddEndSlash(nullptr), 0);
}

TEST(CompareTest, IgnoresCaseAndStopsAtTheLimit) {
    EXPECT_EQ(StdStricmp("COM3", "com3"), 0);
    EXPECT_EQ(StdStricmp("a", "B"), -1);
    EXPECT_EQ(StdStricmp("b", "A"), 1);
    EXPECT_EQ(StdStrnicmp("COM10", "com", 3), 0);
    EXPECT_EQ(StdStrnicmp("CO", "com", 3), -1);
    EXPECT_EQ(StdStrnicmp("LPT1", "COM", 3), 1);
}

TEST(FormatTest, BehavesAsTheCLibrary) {
    char buffer[64];
    EXPECT_EQ(StdSprintf(buffer, "%s%03ld", "pic", 7L), 6);
    EXPECT_STREQ(buffer, "pic007");
    int number = -1;
    EXPECT_EQ(StdSscanf("10", "%d", &number), 1);
    EXPECT_EQ(number, 10);
    EXPECT_EQ(StdSscanf("x", "%d", &number), 0);
    EXPECT_EQ(StdSprintf(nullptr, "%d", 1), 0);
    EXPECT_EQ(StdAtoi(nullptr), 0);
    EXPECT_EQ(StdAtoi("12x"), 12);
}

TEST(StandardTableTest, EverySlotIsFilledExceptTheReservedOnes) {
    const FarStandardFunctions table = MakeStandardFunctions();
    EXPECT_EQ(table.StructSize, static_cast<int>(sizeof table));
    const auto* slots = reinterpret_cast<const unsigned char*>(&table);
    const auto check = [&](std::size_t from, std::size_t to) {
        for (std::size_t at = from; at < to; at += sizeof(void*)) {
            void* slot = nullptr;
            std::memcpy(&slot, slots + at, sizeof slot);
            EXPECT_NE(slot, nullptr) << "offset " << at;
        }
    };
    check(offsetof(FarStandardFunctions, atoi), offsetof(FarStandardFunctions, Reserved));
    check(offsetof(FarStandardFunctions, LIsLower), sizeof table);
}

} // namespace
} // namespace pixlor::hostkit
