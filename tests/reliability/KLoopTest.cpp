// The k-th call of one seam operation fails once, for k = 1, 2, ... until a
// run no longer reaches it: F5 and F6 of two pictures must keep every
// invariant whichever call it is, and the next operation must work.
#include <iostream>

#include <gtest/gtest.h>

#include "reliability/Cells.h"

namespace pixlor::reliability {
namespace {

enum class Seam { SerialRead, SerialWrite, FileWrite, CreateNew, MakeDirectory, FindFirst };

struct KLoopCase {
    const char* name;
    Op op;
    Seam seam;
};

// Arms the k-th call from now; returns a check whether the run reached it.
std::function<bool()> FailKth(World& world, Seam seam, int k) {
    using fakes::SerialOp;
    auto serial = [&world, k](SerialOp op) {
        const int before = world.device.CountOf(op);
        world.device.FailOn(op, k);
        return [&world, op, before, k] { return world.device.CountOf(op) - before >= k; };
    };
    auto file = [&world, k](FileOp op) {
        const uint32_t nth = world.files->Calls(op) + static_cast<uint32_t>(k);
        if (op == FileOp::Write) {
            world.files->FailWrite(nth);
        } else {
            world.files->FailCall(op, nth, 5);
        }
        return [&world, op, nth] { return world.files->Calls(op) >= nth; };
    };
    switch (seam) {
    case Seam::SerialRead:
        return serial(SerialOp::Read);
    case Seam::SerialWrite:
        return serial(SerialOp::Write);
    case Seam::FileWrite:
        return file(FileOp::Write);
    case Seam::CreateNew:
        return file(FileOp::CreateNew);
    case Seam::MakeDirectory:
        return file(FileOp::MakeDirectory);
    case Seam::FindFirst:
        return file(FileOp::FindFirst);
    }
    return [] { return false; };
}

void PrintTo(const KLoopCase& c, std::ostream* os) {
    *os << c.name;
}

class KLoop : public testing::TestWithParam<KLoopCase> {};

TEST_P(KLoop, EveryCallMayFailOnce) {
    const KLoopCase& c = GetParam();
    constexpr int kLimit = 2000;
    int k = 1;
    int reported = 0;
    for (; k < kLimit; ++k) {
        World world;
        world.Seed(std::string(kPhotos) + "\\keep.jpg", "the user's own file");
        ASSERT_TRUE(world.Open());
        const std::vector<fakes::FakePicture> before = world.fake.pictures;
        const size_t from = world.host.Messages().size();
        const int screens = world.host.Kit().OpenScreens();
        const std::function<bool()> fired = FailKth(world, c.seam, k);
        RunOp(world, c.op);
        std::vector<std::string> broken;
        CheckInvariants(world, before, c.op, true, from, screens, broken);
        reported += world.Reports(from).empty() ? 0 : 1;
        const bool reached = fired();
        world.files->ClearFaults();
        CheckRecovery(world, broken);
        for (const std::string& b : broken) {
            ADD_FAILURE() << "k = " << k << ": " << b;
        }
        if (!reached) {
            break;
        }
    }
    EXPECT_LT(k, kLimit) << "the run never got past the fault";
    std::cout << c.name << ": " << k - 1 << " calls failed in turn, " << reported
              << " runs reported a failure\n";
}

INSTANTIATE_TEST_SUITE_P(Seams, KLoop,
                         testing::Values(KLoopCase{"F5_SerialRead", Op::F5, Seam::SerialRead},
                                         KLoopCase{"F5_SerialWrite", Op::F5, Seam::SerialWrite},
                                         KLoopCase{"F5_FileWrite", Op::F5, Seam::FileWrite},
                                         KLoopCase{"F5_CreateNew", Op::F5, Seam::CreateNew},
                                         KLoopCase{"F5_MakeDirectory", Op::F5, Seam::MakeDirectory},
                                         KLoopCase{"F5_FindFirst", Op::F5, Seam::FindFirst},
                                         KLoopCase{"F6_SerialRead", Op::F6, Seam::SerialRead},
                                         KLoopCase{"F6_SerialWrite", Op::F6, Seam::SerialWrite},
                                         KLoopCase{"F6_FileWrite", Op::F6, Seam::FileWrite},
                                         KLoopCase{"F6_CreateNew", Op::F6, Seam::CreateNew},
                                         KLoopCase{"F6_MakeDirectory", Op::F6, Seam::MakeDirectory},
                                         KLoopCase{"F6_FindFirst", Op::F6, Seam::FindFirst}),
                         [](const testing::TestParamInfo<KLoopCase>& param) {
                             return param.param.name;
                         });

} // namespace
} // namespace pixlor::reliability
