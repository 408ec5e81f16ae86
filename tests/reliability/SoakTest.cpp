// Hundreds of cycles of open, copy, move and delete with random faults from a
// seeded generator: every cycle ends in a known state, nothing is lost, and
// the memory in use stays flat. PIXLOR_SOAK_SEED and PIXLOR_SOAK_CYCLES
// change the run.
#include <malloc.h>

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <map>
#include <random>

#if defined(__SANITIZE_ADDRESS__)
// The sanitizer's own heap does not answer mallinfo2.
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

#include <gtest/gtest.h>

#include "plugin/OpenPanels.h"
#include "reliability/Cells.h"

namespace pixlor::reliability {
namespace {

size_t HeapInUse() {
#if defined(__SANITIZE_ADDRESS__)
    return __sanitizer_get_current_allocated_bytes();
#else
    return mallinfo2().uordblks;
#endif
}

uint64_t FromEnvironment(const char* name, uint64_t fallback) {
    const char* text = std::getenv(name);
    return text != nullptr && text[0] != '\0' ? std::strtoull(text, nullptr, 0) : fallback;
}

TEST(Soak, CyclesWithRandomFaultsLoseNothingAndStayFlat) {
    const uint64_t seed = FromEnvironment("PIXLOR_SOAK_SEED", 20020517);
    const uint64_t cycles = FromEnvironment("PIXLOR_SOAK_CYCLES", 500);
    std::cout << "soak: seed " << seed << ", " << cycles << " cycles\n";
    std::mt19937_64 random(seed);
    const std::vector<NamedFault>& faults = AllFaults();

    World world(0);
    std::map<std::string, int> injected;
    uint64_t copied = 0;
    uint64_t lost = 0;
    uint64_t opened = 0;
    uint64_t reports = 0;
    uint64_t operations = 0;
    size_t heapEarly = 0;
    size_t heapGrowth = 0;
    int failedCycles = 0;
    for (uint64_t cycle = 1; cycle <= cycles; ++cycle) {
        world.NewDisk();
        world.Seed(std::string(kPhotos) + "\\keep.jpg", "the user's own file");
        world.Seed(std::string(kHostDir) + "\\keep.jpg", "another file of the user");
        while (world.fake.pictures.size() < 3) {
            world.AddPicture();
        }
        world.ClearRecords();
        std::vector<Op> ops = {Op::Open, Op::F5, Op::HostCopy, Op::F6, Op::F8};
        if (random() % 2 == 0) {
            std::swap(ops[3], ops[4]);
        }
        std::vector<std::string> broken;
        for (Op op : ops) {
            if (op != Op::Open && !world.IsOpen()) {
                break;
            }
            ++operations;
            const NamedFault* fault = nullptr;
            if (random() % 3 == 0) {
                fault = &faults[random() % faults.size()];
                ++injected[fault->name];
                ArmFault(world, *fault, op);
            }
            const std::vector<fakes::FakePicture> before = world.fake.pictures;
            const size_t from = world.host.Messages().size();
            const int screens = world.host.Kit().OpenScreens();
            const size_t completeBefore = world.CompleteFiles(before);
            const int result = RunOp(world, op);
            opened += op == Op::Open && result == 1 ? 1 : 0;
            CheckInvariants(world, before, op, fault == nullptr || fault->lineWorks, from, screens,
                            broken);
            if (op != Op::F8) {
                lost += world.LostPictures(before);
            }
            copied += world.CompleteFiles(before) - completeBefore;
            reports += world.Reports(from).size();
            world.line.Disarm();
            world.files->ClearFaults();
            if (world.IsOpen() && world.panel->camera->PictureCount() == 0) {
                broken.emplace_back("an empty camera's panel stayed open");
            }
        }
        world.Close();
        if (openPanelCount != 0 || world.files->OpenFiles() != 0 ||
            world.registry.OpenHandles() != 0) {
            broken.emplace_back("the cycle left a panel, a file or a registry key open");
        }
        for (const std::string& b : broken) {
            ADD_FAILURE() << "cycle " << cycle << ": " << b;
        }
        failedCycles += broken.empty() ? 0 : 1;
        if (cycle == 50) {
            heapEarly = HeapInUse();
        }
        if (cycle == cycles && cycles >= 50) {
            const size_t late = HeapInUse();
            heapGrowth = late > heapEarly ? late - heapEarly : 0;
        }
    }

    std::cout << "soak: " << operations << " operations, " << opened << " openings, " << copied
              << " pictures copied, " << reports << " error reports, " << lost << " pictures lost, "
              << failedCycles << " cycles with a broken invariant\n";
    std::cout << "soak: faults injected:";
    for (const auto& [name, count] : injected) {
        std::cout << ' ' << name << ' ' << count;
    }
    std::cout << "\nsoak: heap growth from cycle 50 to " << cycles << ": " << heapGrowth
              << " bytes; host screens saved and not restored: " << world.host.Kit().OpenScreens()
              << " (one per successful opening)\n";
    EXPECT_EQ(lost, 0u);
    EXPECT_EQ(failedCycles, 0);
    EXPECT_LT(heapGrowth, 64u * 1024u) << "memory in use grows with the cycles";
    EXPECT_EQ(static_cast<uint64_t>(world.host.Kit().OpenScreens()), opened);
}

} // namespace
} // namespace pixlor::reliability
