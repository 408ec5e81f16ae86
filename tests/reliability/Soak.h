// The soak: cycles of open, F5, the host's copy, F6 and F8 (F6 and F8 in
// random order) with random faults from a seeded generator, in any world.
// Every cycle must end in a known state: nothing lost, no panel, file or key
// left open, an empty camera's panel closed.
#pragma once

#include <cstdint>
#include <map>
#include <ostream>
#include <string>
#include <vector>

namespace pixlor::reliability {

// The memory in use on the heap (the sanitizer's heap under ASan).
size_t HeapInUse();
// An unsigned number from the environment, or `fallback`.
uint64_t FromEnvironment(const char* name, uint64_t fallback);

struct SoakFigures {
    uint64_t cycles = 0;
    uint64_t operations = 0;
    uint64_t opened = 0;
    uint64_t copied = 0;
    uint64_t reports = 0;
    uint64_t lost = 0;
    uint64_t failedCycles = 0;
    uint64_t reconnections = 0; // a camera gone, started again
    uint64_t heapGrowth = 0;    // from the start of cycle `heapFrom` to the end of the last
    uint64_t openScreens = 0;
    std::map<std::string, uint64_t> injected;

    // The human lines, prefixed "soak: ", and one line "soak-figures: k=v ..." for
    // a script that adds up several runs.
    void Print(std::ostream& os, uint64_t heapFrom) const;
};

// What every soak must show: nothing lost, no broken cycle, a flat heap (less
// than 64 KiB of growth), one saved screen left per successful opening.
void ExpectSoakKept(const SoakFigures& figures);

// Runs `cycles` cycles; every broken invariant is a test failure named by its
// cycle. `heapFrom`: the cycle after which the heap is measured (0: not at all).
template <class W, class F>
SoakFigures RunSoak(W& world, const std::vector<F>& faults, uint64_t seed, uint64_t cycles,
                    uint64_t heapFrom);

} // namespace pixlor::reliability
