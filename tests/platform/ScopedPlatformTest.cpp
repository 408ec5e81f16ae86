#include <gtest/gtest.h>

#include "platform/Platform.h"

namespace pixlor {
namespace {

class CountingSleeper final : public Sleeper {
public:
    void Sleep(uint32_t milliseconds) override { total += milliseconds; }
    uint32_t total = 0;
};

TEST(ScopedPlatform, OverlaysOnlyTheGivenSeamsAndRestoresThem) {
    const Platform before = CurrentPlatform();
    CountingSleeper sleeper;
    {
        ScopedPlatform scope(Platform{.sleeper = &sleeper});
        EXPECT_EQ(CurrentPlatform().sleeper, &sleeper);
        EXPECT_EQ(CurrentPlatform().clock, before.clock);
        CurrentPlatform().sleeper->Sleep(5);
        {
            CountingSleeper inner;
            ScopedPlatform nested(Platform{.sleeper = &inner});
            CurrentPlatform().sleeper->Sleep(7);
            EXPECT_EQ(inner.total, 7u);
        }
        EXPECT_EQ(CurrentPlatform().sleeper, &sleeper);
    }
    EXPECT_EQ(sleeper.total, 5u);
    EXPECT_EQ(CurrentPlatform().sleeper, before.sleeper);
}

TEST(SystemPlatform, HasEveryBackend) {
    const Platform& system = SystemPlatform();
    EXPECT_NE(system.serial, nullptr);
    EXPECT_NE(system.sleeper, nullptr);
    EXPECT_NE(system.clock, nullptr);
    EXPECT_NE(system.files, nullptr);
    EXPECT_NE(system.registry, nullptr);
    EXPECT_NE(system.console, nullptr);
    EXPECT_NE(system.keyboard, nullptr);
    EXPECT_GT(system.clock->NowUnixSeconds(), 1700000000u); // after 2023
}

} // namespace
} // namespace pixlor
