// The soak over the real line: cycles of open, F5, the host's copy, F6 and F8
// against the emulator with random emulator faults. Real pauses and
// time-outs make a cycle cost seconds, so `make test` runs a short lane and
// `make soak` runs many lanes, one process each, with seeds of their own.
// PIXLOR_EMULATOR_SOAK_SEED and PIXLOR_EMULATOR_SOAK_CYCLES change the run.
#include <algorithm>
#include <iostream>

#include <gtest/gtest.h>

#include "reliability/EmulatorCells.h"
#include "reliability/Soak.h"

namespace pixlor::reliability {
namespace {

TEST(EmulatorSoak, CyclesWithRandomFaultsLoseNothingAndStayFlat) {
    const uint64_t seed = FromEnvironment("PIXLOR_EMULATOR_SOAK_SEED", 20020518);
    const uint64_t cycles = FromEnvironment("PIXLOR_EMULATOR_SOAK_CYCLES", 15);
    // The first cycles fill the caches of the runtime and the sanitizer.
    const uint64_t heapFrom = std::max<uint64_t>(1, cycles / 4);
    std::cout << "soak: emulator, seed " << seed << ", " << cycles << " cycles\n";

    EmulatorWorld world(0);
    ASSERT_TRUE(world.Started()) << world.StartError();
    const SoakFigures figures = RunSoak(world, AllEmulatorFaults(), seed, cycles, heapFrom);
    figures.Print(std::cout, heapFrom);
    ExpectSoakKept(figures);
}

} // namespace
} // namespace pixlor::reliability
