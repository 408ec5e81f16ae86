#include "reliability/Soak.h"

#include <malloc.h>

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <random>

#if defined(__SANITIZE_ADDRESS__)
// The sanitizer's own heap does not answer mallinfo2.
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

#include <gtest/gtest.h>

#include "host/OpenPanels.h"
#include "reliability/Cells.h"
#include "reliability/EmulatorCells.h"

namespace pixlor::reliability {

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

void SoakFigures::Print(std::ostream& os, uint64_t heapFrom) const {
    os << "soak: " << operations << " operations, " << opened << " openings, " << copied
       << " pictures copied, " << reports << " error reports, " << lost << " pictures lost, "
       << failedCycles << " cycles with a broken invariant, " << reconnections
       << " cameras gone and connected again\n";
    os << "soak: faults injected:";
    for (const auto& [name, count] : injected) {
        os << ' ' << name << ' ' << count;
    }
    os << "\nsoak: heap growth from cycle " << heapFrom << " to " << cycles << ": " << heapGrowth
       << " bytes; host screens saved and not restored: " << openScreens
       << " (one per successful opening)\n";
    os << "soak-figures: cycles=" << cycles << " operations=" << operations
       << " openings=" << opened << " copied=" << copied << " reports=" << reports
       << " lost=" << lost << " failed=" << failedCycles << " reconnected=" << reconnections
       << " heap=" << heapGrowth;
    for (const auto& [name, count] : injected) {
        os << " fault:" << name << '=' << count;
    }
    os << '\n';
}

void ExpectSoakKept(const SoakFigures& figures) {
    EXPECT_EQ(figures.lost, 0u);
    EXPECT_EQ(figures.failedCycles, 0u);
    EXPECT_LT(figures.heapGrowth, 64u * 1024u) << "memory in use grows with the cycles";
    EXPECT_EQ(figures.openScreens, figures.opened);
}

template <class W, class F>
SoakFigures RunSoak(W& world, const std::vector<F>& faults, uint64_t seed, uint64_t cycles,
                    uint64_t heapFrom) {
    std::mt19937_64 random(seed);
    SoakFigures figures;
    figures.cycles = cycles;
    // Each cycle starts in the same state: a fresh disk, a camera with three
    // pictures, no records. The heap is measured there.
    auto prepare = [&world] {
        world.NewDisk();
        world.Seed(W::Join(world.PhotosDir(), "keep.jpg"), "the user's own file");
        world.Seed(W::Join(world.HostDir(), "keep.jpg"), "another file of the user");
        world.Refill(3);
        world.ClearRecords();
    };
    size_t heapEarly = 0;
    for (uint64_t cycle = 1; cycle <= cycles; ++cycle) {
        prepare();
        if (cycle == heapFrom) {
            heapEarly = HeapInUse();
        }
        std::vector<Op> ops = {Op::Open, Op::F5, Op::HostCopy, Op::F6, Op::F8};
        if (random() % 2 == 0) {
            std::swap(ops[3], ops[4]);
        }
        std::vector<std::string> broken;
        std::string trace;
        for (Op op : ops) {
            if (op != Op::Open && !world.IsOpen()) {
                break;
            }
            trace += std::string(" ") + OpName(op);
            ++figures.operations;
            const F* fault = nullptr;
            if (random() % 3 == 0) {
                fault = &faults[random() % faults.size()];
                ++figures.injected[fault->name];
                trace += std::string("(") + fault->name + ")";
                ArmFault(world, *fault, op);
            }
            const typename W::PictureList before = world.Pictures();
            const size_t from = world.host.Messages().size();
            const int screens = world.host.Kit().OpenScreens();
            const size_t completeBefore = world.CompleteFiles(before);
            const int result = RunOp(world, op);
            figures.opened += op == Op::Open && result == 1 ? 1 : 0;
            CheckInvariants(world, before, op, fault == nullptr || fault->lineWorks, from, screens,
                            broken);
            if (op != Op::F8) {
                figures.lost += world.LostPictures(before);
            }
            figures.copied += world.CompleteFiles(before) - completeBefore;
            figures.reports += world.Reports(from).size();
            figures.reconnections += world.Heal() ? 0 : 1;
            if (world.IsOpen() && world.panel->camera->PictureCount() == 0) {
                broken.emplace_back("an empty camera's panel stayed open");
            }
        }
        world.Close();
        if (openPanelCount != 0 || !world.LeftOpen().empty()) {
            broken.emplace_back("the cycle left a panel, a file or a registry key open");
        }
        for (const std::string& b : broken) {
            ADD_FAILURE() << "cycle " << cycle << ": " << b;
        }
        figures.failedCycles += broken.empty() ? 0 : 1;
        if (std::getenv("PIXLOR_SOAK_TRACE") != nullptr) {
            std::cout << "soak: cycle " << cycle << ", heap " << HeapInUse() << ":" << trace
                      << "\n";
        }
    }
    if (heapFrom != 0 && cycles >= heapFrom) {
        prepare();
        const size_t late = HeapInUse();
        figures.heapGrowth = late > heapEarly ? late - heapEarly : 0;
    }
    figures.openScreens = static_cast<uint64_t>(world.host.Kit().OpenScreens());
    return figures;
}

template SoakFigures RunSoak(World&, const std::vector<NamedFault>&, uint64_t, uint64_t, uint64_t);
template SoakFigures RunSoak(EmulatorWorld&, const std::vector<EmulatorFault>&, uint64_t, uint64_t,
                             uint64_t);

} // namespace pixlor::reliability
