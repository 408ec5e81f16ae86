// Hundreds of cycles of open, copy, move and delete with random faults from a
// seeded generator: every cycle ends in a known state, nothing is lost, and
// the memory in use stays flat. PIXLOR_SOAK_SEED and PIXLOR_SOAK_CYCLES
// change the run.
#include <iostream>

#include <gtest/gtest.h>

#include "reliability/Cells.h"
#include "reliability/Soak.h"

namespace pixlor::reliability {
namespace {

TEST(Soak, CyclesWithRandomFaultsLoseNothingAndStayFlat) {
    const uint64_t seed = FromEnvironment("PIXLOR_SOAK_SEED", 20020517);
    const uint64_t cycles = FromEnvironment("PIXLOR_SOAK_CYCLES", 500);
    std::cout << "soak: seed " << seed << ", " << cycles << " cycles\n";

    World world(0);
    const SoakFigures figures = RunSoak(world, AllFaults(), seed, cycles, 50);
    figures.Print(std::cout, 50);
    ExpectSoakKept(figures);
}

} // namespace
} // namespace pixlor::reliability
