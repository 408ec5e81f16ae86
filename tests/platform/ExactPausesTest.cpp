// The Windows sleeper's rules over a system of the test's making: a clock
// that moves only when the sleeper waits, a timer and a Sleep that may end
// early, and the system timer's resolution with its raises counted.
#include "platform/ExactPauses.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "fakes/FakeSleeper.h"
#include "platform/Platform.h"

namespace pixlor {
namespace {

constexpr uint64_t kTick = 15625; // the default system timer, 64 Hz, in microseconds

class FakePauseSystem final : public PauseSystem {
public:
    bool hasTimer = true;
    bool hasWinmm = true;
    // Waits longer than twice these end this much early.
    uint64_t timerEarly = 0; // the timer
    uint64_t sleepEarly = 0; // a Sleep with the system timer raised

    uint64_t now = 1000000;
    int timerWaits = 0, sleeps = 0, raiseCalls = 0, raises = 0, restores = 0;
    bool raised = false;

    uint64_t NowMicroseconds() override { return now; }
    bool WaitPrecisely(uint32_t microseconds) override {
        if (!hasTimer) {
            return false;
        }
        ++timerWaits;
        now += microseconds > 2 * timerEarly ? microseconds - timerEarly : microseconds;
        return true;
    }
    bool RaiseTimerResolution() override {
        ++raiseCalls;
        raised = hasWinmm;
        raises += raised ? 1 : 0;
        return raised;
    }
    void RestoreTimerResolution() override {
        ++restores;
        raised = false;
    }
    void SleepMilliseconds(uint32_t milliseconds) override {
        ++sleeps;
        const uint64_t asked = uint64_t{milliseconds} * 1000;
        if (raised) {
            now += asked > 2 * sleepEarly ? asked - sleepEarly : asked;
        } else {
            now += (asked / kTick + 1) * kTick; // to the next tick after the time asked
        }
    }
};

struct PauseCase {
    const char* name;
    bool hasTimer, hasWinmm, inOperation;
    uint64_t timerEarly, sleepEarly;
    uint32_t milliseconds;
    int timerWaits, sleeps, raises;
    uint64_t longest; // microseconds the pause may take
};

class ExactPausesTest : public testing::TestWithParam<PauseCase> {};

TEST_P(ExactPausesTest, NeverShorterThanAsked) {
    const PauseCase& c = GetParam();
    FakePauseSystem system;
    system.hasTimer = c.hasTimer;
    system.hasWinmm = c.hasWinmm;
    system.timerEarly = c.timerEarly;
    system.sleepEarly = c.sleepEarly;
    ExactPauses pauses(system);
    if (c.inOperation) {
        pauses.BeginOperation();
    }

    const uint64_t start = system.now;
    pauses.Pause(c.milliseconds);
    const uint64_t took = system.now - start;

    EXPECT_GE(took, uint64_t{c.milliseconds} * 1000);
    EXPECT_LE(took, c.longest);
    EXPECT_EQ(system.timerWaits, c.timerWaits);
    EXPECT_EQ(system.sleeps, c.sleeps);
    EXPECT_EQ(system.raises, c.raises);
    pauses.EndOperation();
    EXPECT_EQ(system.restores, system.raises) << "restored when the operation ends";
    EXPECT_FALSE(pauses.Raised());
}

INSTANTIATE_TEST_SUITE_P(
    Paths, ExactPausesTest,
    testing::Values(
        PauseCase{"TimerExact", true, true, true, 0, 0, 1, 1, 0, 0, 1000},
        PauseCase{"TimerFiresEarlyAndIsWaitedAgain", true, true, true, 300, 0, 5, 2, 0, 0, 5000},
        PauseCase{"NoTimerRaisesTheSystemTimer", false, true, true, 0, 0, 1, 0, 1, 1, 1000},
        PauseCase{"RaisedSleepEndingEarlyIsSleptAgain", false, true, true, 0, 400, 5, 0, 2, 1,
                  5600},
        PauseCase{"NoTimerAndNoWinmmSleepsAsItIs", false, false, true, 0, 0, 1, 0, 1, 0, kTick},
        PauseCase{"OutsideAnOperationNothingIsRaised", false, true, false, 0, 0, 1, 0, 1, 0,
                  kTick}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(ExactPausesOperationTest, RaisesOnceAnOperationAndRestoresAtItsEnd) {
    FakePauseSystem system;
    system.hasTimer = false;
    ExactPauses pauses(system);
    for (int operation = 0; operation < 2; ++operation) {
        pauses.BeginOperation();
        pauses.BeginOperation(); // a move deletes inside its copy
        for (int i = 0; i < 6; ++i) {
            pauses.Pause(i % 2 == 0 ? 1 : 5);
        }
        pauses.EndOperation();
        EXPECT_TRUE(pauses.Raised()) << "the outer operation still runs";
        pauses.EndOperation();
        EXPECT_FALSE(pauses.Raised());
    }
    EXPECT_EQ(system.raises, 2);
    EXPECT_EQ(system.restores, 2);
    pauses.EndOperation(); // an end without a beginning
    EXPECT_EQ(system.restores, 2);
}

TEST(ExactPausesOperationTest, AFailedRaiseIsNotTriedAgainInTheSameOperation) {
    FakePauseSystem system;
    system.hasTimer = false;
    system.hasWinmm = false;
    ExactPauses pauses(system);
    pauses.BeginOperation();
    pauses.Pause(1);
    pauses.Pause(5);
    pauses.EndOperation();
    EXPECT_EQ(system.raiseCalls, 1);
    EXPECT_EQ(system.restores, 0);
}

TEST(ExactPausesOperationTest, TheTimerIsLookedForOnce) {
    FakePauseSystem system;
    system.hasTimer = false;
    ExactPauses pauses(system);
    pauses.Pause(1);
    system.hasTimer = true; // not asked again
    pauses.Pause(1);
    EXPECT_EQ(system.timerWaits, 0);
}

TEST(ExactPausesOperationTest, AResolutionStillHeldIsRestoredWithTheSleeper) {
    FakePauseSystem system;
    system.hasTimer = false;
    {
        ExactPauses pauses(system);
        pauses.BeginOperation();
        pauses.Pause(1);
    }
    EXPECT_EQ(system.restores, 1);
}

// The marks of an operation reach the sleeper in force, also when the
// operation ends by an exception.
TEST(OperationTimingTest, EveryWayOutEndsTheOperation) {
    fakes::FakeSleeper sleeper;
    ScopedPlatform scope(Platform{.sleeper = &sleeper});
    try {
        OperationTiming outer;
        OperationTiming inner;
        EXPECT_EQ(sleeper.operations, 2);
        throw std::runtime_error("out of memory");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(sleeper.operations, 0);
    EXPECT_EQ(sleeper.begun, 2);
}

} // namespace
} // namespace pixlor
