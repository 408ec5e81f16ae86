// The fault matrix over the real line: every fault the emulator can play
// against every operation, on two pictures with the fault on the second. Each
// cell names its outcome and keeps the invariants of the matrix over fakes;
// after the fault the panel copies again, the configuration works and the
// panel opens again. Each cell is a test of its own, so that ctest can overlap
// their real time-outs.
#include <gtest/gtest.h>

#include "reliability/EmulatorCells.h"

namespace pixlor::reliability {
namespace {

using Cell = MatrixCell;

const Cell kCells[] = {
    {"checksum-once", Op::Open, "Errors 3/10/0x1; not opened"},
    {"checksum-once", Op::F5, "ok; copied 2, partial 0, deleted 0"},
    {"checksum-once", Op::F6, "ok; copied 2, partial 0, deleted 2, closed"},
    {"checksum-once", Op::F8, "ok; copied 0, partial 0, deleted 2, closed"},
    {"checksum-once", Op::HostCopy, "ok; copied 2, partial 0, deleted 0, result 1"},
    {"checksum-always", Op::Open, "Errors 3/10/0x1; not opened"},
    {"checksum-always", Op::F5, "Errors 4/11/0x1; copied 1, partial 0, deleted 0"},
    {"checksum-always", Op::F6, "Errors 4/11/0x1; copied 1, partial 0, deleted 0"},
    {"checksum-always", Op::F8, "Errors 0/7/0x1; copied 0, partial 0, deleted 0"},
    {"checksum-always", Op::HostCopy, "Errors 4/11/0x1; copied 1, partial 0, deleted 0, result 0"},
    {"cut", Op::Open, "Errors 3/10/0x20; not opened"},
    {"cut", Op::F5, "ok; copied 2, partial 0, deleted 0"},
    {"cut", Op::F6, "ok; copied 2, partial 0, deleted 2, closed"},
    {"cut", Op::F8, "ok; copied 0, partial 0, deleted 2, closed"},
    {"cut", Op::HostCopy, "ok; copied 2, partial 0, deleted 0, result 1"},
    {"silence", Op::Open, "Errors 3/10/0x20; not opened"},
    {"silence", Op::F5, "Errors 4/11/0x20; copied 1, partial 0, deleted 0"},
    {"silence", Op::F6, "Errors 4/11/0x20; copied 1, partial 0, deleted 0"},
    {"silence", Op::F8, "ok; copied 0, partial 0, deleted 2, closed"},
    {"silence", Op::HostCopy, "Errors 4/11/0x20; copied 1, partial 0, deleted 0, result 0"},
    {"nak-once", Op::Open, "ok; opened"},
    {"nak-once", Op::F5, "ok; copied 2, partial 0, deleted 0"},
    {"nak-once", Op::F6, "ok; copied 2, partial 0, deleted 2, closed"},
    {"nak-once", Op::F8, "ok; copied 0, partial 0, deleted 2, closed"},
    {"nak-once", Op::HostCopy, "ok; copied 2, partial 0, deleted 0, result 1"},
    {"nak-storm", Op::Open, "Errors 3/10/0x10; not opened"},
    {"nak-storm", Op::F5, "Errors 4/10/0x10; copied 1, partial 0, deleted 0"},
    {"nak-storm", Op::F6, "Errors 4/10/0x10; copied 1, partial 0, deleted 0"},
    {"nak-storm", Op::F8, "Errors 0/7/0x10; copied 0, partial 0, deleted 0"},
    {"nak-storm", Op::HostCopy, "Errors 4/10/0x10; copied 1, partial 0, deleted 0, result 0"},
    {"refuse-select", Op::Open, "Errors 2/8/0x4; not opened"},
    {"refuse-select", Op::F5, "Errors warn; copied 1, partial 0, deleted 0"},
    {"refuse-select", Op::F6, "Errors warn; copied 1, partial 0, deleted 1"},
    {"refuse-select", Op::F8, "Errors 2/8/0x4; copied 0, partial 0, deleted 0"},
    {"refuse-select", Op::HostCopy, "ok; copied 1, partial 0, deleted 0, result 0"},
    {"refuse-request", Op::Open, "Errors 3/10/0x4; not opened"},
    {"refuse-request", Op::F5, "Errors 4/10/0x4; copied 1, partial 0, deleted 0"},
    {"refuse-request", Op::F6, "Errors 4/10/0x4; copied 1, partial 0, deleted 0"},
    {"refuse-request", Op::F8, "ok; copied 0, partial 0, deleted 2, closed"},
    {"refuse-request", Op::HostCopy, "Errors 4/10/0x4; copied 1, partial 0, deleted 0, result 0"},
    {"refuse-delete", Op::Open, "ok; opened"},
    {"refuse-delete", Op::F5, "ok; copied 2, partial 0, deleted 0"},
    {"refuse-delete", Op::F6, "ok; copied 2, partial 0, deleted 2, closed"},
    {"refuse-delete", Op::F8, "ok; copied 0, partial 0, deleted 2, closed"},
    {"refuse-delete", Op::HostCopy, "ok; copied 2, partial 0, deleted 0, result 1"},
    {"junk", Op::Open, "Errors 3/10/0x2; not opened"},
    {"junk", Op::F5, "ok; copied 2, partial 0, deleted 0"},
    {"junk", Op::F6, "ok; copied 2, partial 0, deleted 2, closed"},
    {"junk", Op::F8, "ok; copied 0, partial 0, deleted 2, closed"},
    {"junk", Op::HostCopy, "ok; copied 2, partial 0, deleted 0, result 1"},
    {"vanish", Op::Open, "Errors 3/6/0x1020; not opened; reconnected"},
    {"vanish", Op::F5, "Errors 4/11/0x1020; copied 1, partial 0, deleted 0; reconnected"},
    {"vanish", Op::F6, "Errors 4/11/0x1020; copied 1, partial 0, deleted 0; reconnected"},
    {"vanish", Op::F8, "Errors 2/8/0x1020; copied 0, partial 0, deleted 0; reconnected"},
    {"vanish", Op::HostCopy,
     "Errors 4/11/0x1020; copied 1, partial 0, deleted 0, result 0; reconnected"},
    {"slow", Op::Open, "Errors 1/4/0x20; not opened"},
    {"slow", Op::F5, "Errors 4/4/0x20; copied 0, partial 0, deleted 0"},
    {"slow", Op::F6, "Errors 4/4/0x20; copied 0, partial 0, deleted 0"},
    {"slow", Op::F8, "Errors 0/4/0x20; copied 0, partial 0, deleted 0"},
    {"slow", Op::HostCopy, "Errors 4/4/0x20; copied 0, partial 0, deleted 0, result 0"},
    {"file-exists", Op::Open, "ok; opened"},
    {"file-exists", Op::F5, "ok; copied 2, partial 0, deleted 0"},
    {"file-exists", Op::F6, "ok; copied 2, partial 0, deleted 2, closed"},
    {"file-exists", Op::F8, "ok; copied 0, partial 0, deleted 2, closed"},
    {"file-exists", Op::HostCopy, "Errors 9/sys80; copied 1, partial 0, deleted 0, result 0"},
};

class EmulatorMatrix : public testing::TestWithParam<Cell> {};

TEST_P(EmulatorMatrix, OutcomeAndInvariants) {
    const Cell& cell = GetParam();
    EmulatorWorld world;
    ASSERT_TRUE(world.Started()) << world.StartError();
    CellResult result = RunCellIn(world, EmulatorFaultNamed(cell.fault), cell.op);
    // A camera that is gone comes back only when it is connected again.
    if (world.reconnected != 0) {
        result.outcome += "; reconnected";
    }
    ExpectCell(cell, result);
}

INSTANTIATE_TEST_SUITE_P(Cells, EmulatorMatrix, testing::ValuesIn(kCells),
                         [](const testing::TestParamInfo<Cell>& param) {
                             return CellTestName(param.param);
                         });

} // namespace
} // namespace pixlor::reliability
