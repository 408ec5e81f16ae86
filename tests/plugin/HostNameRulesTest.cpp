#include <gtest/gtest.h>

#include "fakes/FakeHost.h"
#include "host/Host.h"
#include "plugin/HostNameRules.h"

namespace pixlor {
namespace {

// Same(name, other) and StartsWith(name, other), as the host compares (case
// ignored) and exactly (before the host has handed over its functions).
struct RulesCase {
    const char* name;
    const char* other;
    bool sameForTheHost;
    bool sameExactly;
    bool startsForTheHost;
    bool startsExactly;
};

constexpr RulesCase kCases[] = {
    {"02-05-17", "02-05-17", true, true, true, true},
    {"Day17", "DAY17", true, false, true, false},
    {".JPG", ".jpg", true, false, true, false},
    {"Day17", "Day18", false, false, false, false},
    {"Day17", "Day1", false, false, true, true},
    {"Day1", "Day17", false, false, false, false},
    {"PIC17_001.jpg", "pic17_", false, false, true, false},
    {"thumb17_001.jpg", "pic17_", false, false, false, false},
    {"pic", "", false, false, true, true},
    {"", "", true, true, true, true},
};

TEST(HostNameRules, CompareAsTheHostDoesAndExactlyWithoutItsFunctions) {
    FakeHost host;
    const NameRules& names = HostNameRules();
    for (const bool started : {true, false}) {
        if (started) {
            host.Start();
        } else {
            ForgetHostRecords();
        }
        for (const RulesCase& c : kCases) {
            EXPECT_EQ(names.Same(c.name, c.other), started ? c.sameForTheHost : c.sameExactly)
                << started << " " << c.name << " " << c.other;
            EXPECT_EQ(names.StartsWith(c.name, c.other),
                      started ? c.startsForTheHost : c.startsExactly)
                << started << " " << c.name << " " << c.other;
        }
    }
}

} // namespace
} // namespace pixlor
