// Every fault of the camera, the line and the disk against every operation of
// the panel, on two pictures with the fault on the second. Each cell names its
// outcome; every cell also checks that no file was overwritten, that nothing
// left the camera without a complete copy, that the camera is back at 19200
// bit/s where the line still works, and that everything works again once the
// fault is gone.
#include <gtest/gtest.h>

#include "reliability/Cells.h"

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
    {"oversized", Op::Open, "Errors 3/10/0x2; not opened"},
    {"oversized", Op::F5, "Errors 4/0/0x0; copied 1, partial 0, deleted 0"},
    {"oversized", Op::F6, "Errors 4/0/0x0; copied 1, partial 0, deleted 0"},
    {"oversized", Op::F8, "ok; copied 0, partial 0, deleted 2, closed"},
    {"oversized", Op::HostCopy, "Errors 4/0/0x0; copied 1, partial 0, deleted 0, result 0"},
    {"silence", Op::Open, "Errors 3/10/0x20; not opened"},
    {"silence", Op::F5, "ok; copied 2, partial 0, deleted 0"},
    {"silence", Op::F6, "ok; copied 2, partial 0, deleted 2, closed"},
    {"silence", Op::F8, "ok; copied 0, partial 0, deleted 2, closed"},
    {"silence", Op::HostCopy, "ok; copied 2, partial 0, deleted 0, result 1"},
    {"nak-once", Op::Open, "ok; opened"},
    {"nak-once", Op::F5, "ok; copied 2, partial 0, deleted 0"},
    {"nak-once", Op::F6, "ok; copied 2, partial 0, deleted 2, closed"},
    {"nak-once", Op::F8, "ok; copied 0, partial 0, deleted 2, closed"},
    {"nak-once", Op::HostCopy, "ok; copied 2, partial 0, deleted 0, result 1"},
    {"nak-storm", Op::Open, "Errors 3/10/0x10, 6/6/0x10; not opened"},
    {"nak-storm", Op::F5, "Errors 4/10/0x10, 6/6/0x10; copied 1, partial 0, deleted 0"},
    {"nak-storm", Op::F6, "Errors 4/10/0x10, 6/6/0x10; copied 1, partial 0, deleted 0"},
    {"nak-storm", Op::F8, "Errors 0/7/0x10, 6/6/0x10; copied 0, partial 0, deleted 0"},
    {"nak-storm", Op::HostCopy,
     "Errors 4/10/0x10, 6/6/0x10; copied 1, partial 0, deleted 0, result 0"},
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
    {"delete-answer-lost", Op::Open, "ok; opened"},
    {"delete-answer-lost", Op::F5, "ok; copied 2, partial 0, deleted 0"},
    {"delete-answer-lost", Op::F6,
     "Errors 7/9/0x20, uncertain; copied 2, partial 0, deleted 2, closed"},
    {"delete-answer-lost", Op::F8,
     "Errors 7/9/0x20, uncertain; copied 0, partial 0, deleted 2, closed"},
    {"delete-answer-lost", Op::HostCopy, "ok; copied 2, partial 0, deleted 0, result 1"},
    {"junk", Op::Open, "Errors 3/10/0x2; not opened"},
    {"junk", Op::F5, "Errors 4/0/0x0; copied 1, partial 0, deleted 0"},
    {"junk", Op::F6, "Errors 4/0/0x0; copied 1, partial 0, deleted 0"},
    {"junk", Op::F8, "ok; copied 0, partial 0, deleted 2, closed"},
    {"junk", Op::HostCopy, "Errors 4/0/0x0; copied 1, partial 0, deleted 0, result 0"},
    {"vanish", Op::Open, "Errors 3/6/0x20; not opened"},
    {"vanish", Op::F5, "Errors 4/11/0x20; copied 1, partial 0, deleted 0"},
    {"vanish", Op::F6, "Errors 4/11/0x20; copied 1, partial 0, deleted 0"},
    {"vanish", Op::F8, "Errors 2/8/0x20; copied 0, partial 0, deleted 0"},
    {"vanish", Op::HostCopy, "Errors 4/11/0x20; copied 1, partial 0, deleted 0, result 0"},
    {"slow", Op::Open, "Errors 3/10/0x20; not opened"},
    {"slow", Op::F5, "Errors 4/11/0x20; copied 1, partial 0, deleted 0"},
    {"slow", Op::F6, "Errors 4/11/0x20; copied 1, partial 0, deleted 0"},
    {"slow", Op::F8, "Errors 0/7/0x20; copied 0, partial 0, deleted 0"},
    {"slow", Op::HostCopy, "Errors 4/11/0x20; copied 1, partial 0, deleted 0, result 0"},
    {"disk-full", Op::Open, "ok; opened"},
    {"disk-full", Op::F5, "Errors 9/sys112; copied 1, partial 0, deleted 0"},
    {"disk-full", Op::F6, "Errors 9/sys112; copied 1, partial 0, deleted 0"},
    {"disk-full", Op::F8, "ok; copied 0, partial 0, deleted 2, closed"},
    {"disk-full", Op::HostCopy, "Errors 9/sys112; copied 1, partial 0, deleted 0, result 0"},
    {"file-exists", Op::Open, "ok; opened"},
    {"file-exists", Op::F5, "ok; copied 2, partial 0, deleted 0"},
    {"file-exists", Op::F6, "ok; copied 2, partial 0, deleted 2, closed"},
    {"file-exists", Op::F8, "ok; copied 0, partial 0, deleted 2, closed"},
    {"file-exists", Op::HostCopy, "Errors 9/sys80; copied 1, partial 0, deleted 0, result 0"},
};

class FaultMatrix : public testing::TestWithParam<Cell> {};

TEST_P(FaultMatrix, OutcomeAndInvariants) {
    const Cell& cell = GetParam();
    const CellResult result = RunCell(FaultNamed(cell.fault), cell.op);
    ExpectCell(cell, result);
}

INSTANTIATE_TEST_SUITE_P(Cells, FaultMatrix, testing::ValuesIn(kCells),
                         [](const testing::TestParamInfo<Cell>& param) {
                             return CellTestName(param.param);
                         });

} // namespace
} // namespace pixlor::reliability
