// One cell of the fault matrix: a fault, an operation, and what came of it.
#pragma once

#include <algorithm>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "reliability/World.h"

namespace pixlor::reliability {

enum class Op { Open, F5, F6, F8, HostCopy };
const char* OpName(Op op);

// A fault as the matrix names it ("checksum-once", "vanish", "disk-full", ...).
struct NamedFault {
    const char* name;
    Sabotage what;
    enum Target { Data, Select, Request, Delete, DiskFull, FileExists } target;
    bool always;
    bool lineWorks; // the line still carries commands while the fault lasts
};
const std::vector<NamedFault>& AllFaults();
// The fault of `faults` called `name`; std::invalid_argument if there is none.
template <class F> const F& ByName(const std::vector<F>& faults, const std::string& name) {
    const auto found =
        std::find_if(faults.begin(), faults.end(), [&name](const F& f) { return name == f.name; });
    if (found == faults.end()) {
        throw std::invalid_argument(name);
    }
    return *found;
}
const NamedFault& FaultNamed(const std::string& name);

// Arms `fault` at the operation's second picture.
void ArmFault(World& world, const NamedFault& fault, Op op);
// Runs the operation; its entry point's result.
int RunOp(HostUser& world, Op op);

struct CellResult {
    std::string outcome;
    std::vector<std::string> broken; // invariants that did not hold
};
// A row of a matrix table: the fault, the operation and the outcome written down.
// Outcome: the "Errors" reports (link/packet/port flags, or link/system error),
// "warn" for the not-copied warning, "uncertain" for the closing after a
// deletion that may have happened unseen, then the files and deletions.
struct MatrixCell {
    const char* fault;
    Op op;
    const char* outcome;
};
void PrintTo(const MatrixCell& cell, std::ostream* os);
// "checksum_once_F5": the test's name in ctest.
std::string CellTestName(const MatrixCell& cell);
// The outcome as written down and no broken invariant; with RELIABILITY_PRINT
// set, prints the row as it came out.
void ExpectCell(const MatrixCell& cell, const CellResult& result);

// A fresh world with two pictures; the panel opened (except for Op::Open);
// the fault armed; the operation; the invariants; the fault removed; the next
// operations (copy, configuration, opening again) checked.
CellResult RunCell(const NamedFault& fault, Op op);
// The same in a world of the caller's: World, or EmulatorWorld with its own
// faults (anything with a `lineWorks` and an ArmFault overload).
template <class W, class F> CellResult RunCellIn(W& world, const F& fault, Op op);

// The invariants every operation must keep. `before` are the camera's pictures
// before it; `from` its first message; `screens` the host's saved screens
// outstanding before it.
template <class W>
void CheckInvariants(W& world, const typename W::PictureList& before, Op op, bool lineWorks,
                     size_t from, int screens, std::vector<std::string>& broken);

// With the fault gone: the open panel copies again (and refuses to be
// configured), and after closing the configuration and the next opening work.
template <class W> void CheckRecovery(W& world, std::vector<std::string>& broken);

} // namespace pixlor::reliability
