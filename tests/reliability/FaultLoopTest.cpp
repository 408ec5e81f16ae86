// The generated fault loop over every operation, in both modes. Under `make
// test` k is sampled (1 to 4, then growing by half); PIXLOR_FAULT_LOOP=full
// (`make fault-loop`) tries every k. Each test prints its runs.
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "platform/SystemError.h"
#include "reliability/FaultLoop.h"

namespace pixlor::reliability {
namespace {

using faults::FaultMode;

struct LoopCase {
    LoopOp op;
    FaultMode mode;
};

void PrintTo(const LoopCase& c, std::ostream* os) {
    *os << LoopOpName(c.op) << " " << faults::ModeName(c.mode);
}

std::vector<LoopCase> AllCases() {
    std::vector<LoopCase> cases;
    for (const LoopOp op : AllLoopOps()) {
        cases.push_back({op, FaultMode::Once});
        cases.push_back({op, FaultMode::FromK});
    }
    return cases;
}

class FaultLoop : public testing::TestWithParam<LoopCase> {};

TEST_P(FaultLoop, EveryCallFailsAtEveryPoint) {
    const LoopCase& c = GetParam();
    const char* env = std::getenv("PIXLOR_FAULT_LOOP");
    const bool full = env != nullptr && std::string(env) == "full";
    std::vector<std::string> failures;
    const LoopFigures figures = RunLoop(c.op, c.mode, full, failures);
    constexpr size_t kShown = 40;
    for (size_t i = 0; i < failures.size() && i < kShown; ++i) {
        ADD_FAILURE() << failures[i];
    }
    EXPECT_EQ(figures.brokenRuns, 0u) << failures.size() << " broken invariants";
    std::cout << "fault loop " << (full ? "full" : "sampled") << ": " << LoopOpName(c.op) << " "
              << faults::ModeName(c.mode) << ": " << figures.runs << " runs, " << figures.reported
              << " with a report, " << figures.brokenRuns << " broke an invariant\n";
}

INSTANTIATE_TEST_SUITE_P(Ops, FaultLoop, testing::ValuesIn(AllCases()),
                         [](const testing::TestParamInfo<LoopCase>& param) {
                             return std::string(LoopOpName(param.param.op)) + "_" +
                                    (param.param.mode == FaultMode::Once ? "Once" : "FromK");
                         });

// A fault-free run of each operation reaches the calls the loop fails in turn.
// The runs that once broke an invariant, each kept as a case of its own.
struct FoundRun {
    const char* what;
    LoopOp op;
    LoopFault fault;
};

class FaultLoopFound : public testing::TestWithParam<FoundRun> {};

TEST_P(FaultLoopFound, KeepsEveryInvariant) {
    const FoundRun& c = GetParam();
    const LoopRun run = RunWithFault(c.op, c.fault);
    EXPECT_TRUE(run.reached);
    for (const std::string& b : run.broken) {
        ADD_FAILURE() << b;
    }
}

using faults::FaultKind;
INSTANTIATE_TEST_SUITE_P(
    Mended, FaultLoopFound,
    testing::Values(
        // The port list could not be read at start-up: no later opening found the camera.
        FoundRun{"StartupListRefused",
                 LoopOp::Startup,
                 {FaultKind::RegistryOpen, syserr::kAccessDenied, FaultMode::Once, 1}},
        FoundRun{"StartupEnumerationRefused",
                 LoopOp::Startup,
                 {FaultKind::RegistryEnumerate, syserr::kAccessDenied, FaultMode::FromK, 1}},
        // The hand-back after the last whole file failed: the copy counted as
        // not made ("1 pictures were not copied"; the host's copy returned 0, untold).
        FoundRun{"HostCopyHandBackFails",
                 LoopOp::GetFiles,
                 {FaultKind::SerialSetLine, syserr::kInvalidParameter, FaultMode::Once, 2}},
        FoundRun{"ThumbnailMoveHandBackFails",
                 LoopOp::F6Thumbs,
                 {FaultKind::SerialSetLine, syserr::kInvalidParameter, FaultMode::Once, 2}},
        // The second request's write failed: the NAK after the silence brought the
        // first thumbnail again, stored under the second one's name as a copy.
        FoundRun{"RequestNeverWritten",
                 LoopOp::F6Thumbs,
                 {FaultKind::SerialWrite, syserr::kGenFailure, FaultMode::Once, 19}},
        // The second request's second piece failed and the resent packet ran
        // into the first piece's byte: the camera never saw a request, and
        // the NAK after the silence brought the first thumbnail's packet again.
        FoundRun{
            "RequestGarbled", LoopOp::F6Thumbs, {FaultKind::SerialWrite, 121, FaultMode::Once, 20}},
        // The registry refused: the dialog stored defaults over the user's
        // settings, or stored nothing, and said nothing.
        FoundRun{"ConfigReadRefused",
                 LoopOp::ConfigStore,
                 {FaultKind::RegistryRead, syserr::kAccessDenied, FaultMode::Once, 3}},
        FoundRun{"ConfigStoreRefused",
                 LoopOp::ConfigStore,
                 {FaultKind::RegistryWrite, syserr::kAccessDenied, FaultMode::FromK, 1}}),
    [](const testing::TestParamInfo<FoundRun>& param) { return std::string(param.param.what); });

// PIXLOR_FAULT_LOOP_ONE="F6Photos SerialSetLine 87 1 2" (op, kind, error,
// mode 0 once or 1 from-k, k) runs that one run; with PIXLOR_FAULT_LOOP_TRACE
// set it prints the boxes shown.
TEST(FaultLoopOne, TheRunNamed) {
    const char* one = std::getenv("PIXLOR_FAULT_LOOP_ONE");
    if (one == nullptr) {
        GTEST_SKIP() << "PIXLOR_FAULT_LOOP_ONE names no run";
    }
    std::istringstream in(one);
    std::string opName;
    std::string kindName;
    LoopFault fault{};
    int mode = 0;
    in >> opName >> kindName >> fault.error >> mode >> fault.k;
    fault.mode = mode == 0 ? FaultMode::Once : FaultMode::FromK;
    for (const auto& info : faults::kFaultKinds) {
        fault.kind = kindName == info.name ? info.kind : fault.kind;
    }
    for (const LoopOp op : AllLoopOps()) {
        if (opName == LoopOpName(op)) {
            for (const std::string& b : RunWithFault(op, fault).broken) {
                ADD_FAILURE() << b;
            }
        }
    }
}

TEST(FaultLoopReach, TheOperationsMakeTheCallsTheLoopFails) {
    const auto copy = CallsWithoutFault(LoopOp::F5);
    EXPECT_GT(copy[static_cast<size_t>(faults::FaultKind::SerialRead)], 10u);
    EXPECT_GT(copy[static_cast<size_t>(faults::FaultKind::FileWrite)], 3u);
    EXPECT_GT(copy[static_cast<size_t>(faults::FaultKind::FolderCreate)], 0u);
    EXPECT_GT(CallsWithoutFault(
                  LoopOp::Startup)[static_cast<size_t>(faults::FaultKind::RegistryEnumerate)],
              0u);
    EXPECT_GT(CallsWithoutFault(
                  LoopOp::ConfigStore)[static_cast<size_t>(faults::FaultKind::RegistryWrite)],
              0u);
    EXPECT_GT(CallsWithoutFault(LoopOp::Open)[static_cast<size_t>(faults::FaultKind::SerialOpen)],
              0u);
}

} // namespace
} // namespace pixlor::reliability
