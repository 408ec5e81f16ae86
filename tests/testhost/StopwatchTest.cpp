#include <gtest/gtest.h>

#include "tools/host/Stopwatch.h"

namespace pixlor::host {
namespace {

using namespace std::chrono_literals;

const Stopwatch::Clock::time_point t0{};

TEST(Stopwatch, TimesOnlyTheNextCallAfterArming) {
    Stopwatch watch;
    watch.Start(t0);
    watch.Note(t0 + 1s);
    EXPECT_EQ(watch.Stop("OpenPlugin", t0 + 2s), "") << "not armed";

    watch.Arm();
    EXPECT_TRUE(watch.Armed());
    watch.Start(t0);
    EXPECT_FALSE(watch.Armed());
    EXPECT_EQ(watch.Stop("OpenPlugin", t0 + 1500ms),
              "stopwatch: OpenPlugin 1.500000 s, no progress box");

    watch.Start(t0);
    EXPECT_EQ(watch.Stop("GetFiles", t0 + 1s), "") << "one call per arming";
}

TEST(Stopwatch, NotesTheFirstAndLastProgressBoxFromTheCallsStart) {
    Stopwatch watch;
    watch.Arm();
    watch.Note(t0 + 1s); // before the call: not counted
    watch.Start(t0 + 10s);
    watch.Note(t0 + 10s + 250ms);
    watch.Note(t0 + 10s + 500ms);
    watch.Note(t0 + 10s + 750ms);
    EXPECT_EQ(watch.Stop("GetFiles", t0 + 12s),
              "stopwatch: GetFiles 2.000000 s, 3 progress boxes from 0.250000 s to 0.750000 s");

    watch.Arm(); // forgets the last figures
    watch.Start(t0);
    EXPECT_EQ(watch.Stop("ProcessKey(F5)", t0 + 1s),
              "stopwatch: ProcessKey(F5) 1.000000 s, no progress box");
}

} // namespace
} // namespace pixlor::host
