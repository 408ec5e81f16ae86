#include <gtest/gtest.h>

#include "fakes/FakeHost.h"
#include "host/Host.h"
#include "plugin/HostNameRules.h"

namespace pixlor {
namespace {

struct RulesCase {
    const char* a;
    const char* b;
    bool sameForTheHost; // ignoring case
    bool sameExactly;    // before the host handed over its functions
};

constexpr RulesCase kCases[] = {
    {"02-05-17", "02-05-17", true, true}, {"Day17", "DAY17", true, false},
    {".JPG", ".jpg", true, false},        {"Day17", "Day18", false, false},
    {"Day1", "Day17", false, false},      {"", "", true, true},
};

TEST(HostNameRules, SameAndStartsWithCompareAsTheHostDoes) {
    FakeHost host;
    host.Start();
    const NameRules& names = HostNameRules();
    for (const RulesCase& c : kCases) {
        EXPECT_EQ(names.Same(c.a, c.b), c.sameForTheHost) << c.a << " " << c.b;
    }
    EXPECT_TRUE(names.StartsWith("PIC17_001.jpg", "pic17_"));
    EXPECT_TRUE(names.StartsWith("pic17_", "pic17_"));
    EXPECT_TRUE(names.StartsWith("pic", ""));
    EXPECT_FALSE(names.StartsWith("pic1", "pic17_"));
    EXPECT_FALSE(names.StartsWith("thumb17_001.jpg", "pic17_"));
}

TEST(HostNameRules, WithoutTheHostsFunctionsNamesCompareExactly) {
    ForgetHostRecords();
    const NameRules& names = HostNameRules();
    for (const RulesCase& c : kCases) {
        EXPECT_EQ(names.Same(c.a, c.b), c.sameExactly) << c.a << " " << c.b;
    }
    EXPECT_TRUE(names.StartsWith("pic17_001.jpg", "pic17_"));
    EXPECT_FALSE(names.StartsWith("PIC17_001.jpg", "pic17_"));
    EXPECT_FALSE(names.StartsWith("pic1", "pic17_"));
}

} // namespace
} // namespace pixlor
