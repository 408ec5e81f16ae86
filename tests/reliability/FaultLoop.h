// The generated fault loop: every operation of the plugin, driven through its
// entry points over the world of fakes wrapped in the failing seams, with the
// k-th call of one kind failing (once, or from then on) for k = 1, 2, ...
// until the operation completes without reaching it. After each run the
// invariants of a run are checked, then the fault is healed and the next
// opening must find the camera and list its pictures.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "faults/FaultPlan.h"

namespace pixlor::reliability {

enum class LoopOp {
    Startup,     // SetStartupInfo: the ports the system lists
    Open,        // OpenPlugin: the camera's picture list
    Listing,     // the folders, one folder's pictures, the view switched
    F5,          // copy every picture
    F6Photos,    // move the photos
    F6Thumbs,    // move the thumbnails (Shift+F6)
    F6Both,      // move photos and thumbnails, each kind in its own folder (Alt+F6)
    F8,          // delete every picture
    GetFiles,    // the host's own copy
    ConfigStore, // the configuration dialog, confirmed: its values stored
};
const char* LoopOpName(LoopOp op);
const std::vector<LoopOp>& AllLoopOps();

struct LoopFault {
    faults::FaultKind kind;
    uint32_t error;
    faults::FaultMode mode;
    uint32_t k;
};

struct LoopRun {
    bool reached = false; // the k-th call was made
    bool reported = false;
    std::vector<std::string> broken; // invariants that did not hold
};

// One run: a fresh world, `op` with `fault` armed, the invariants, the next opening.
LoopRun RunWithFault(LoopOp op, const LoopFault& fault);

// The calls `op` makes of each kind without a fault.
std::vector<uint32_t> CallsWithoutFault(LoopOp op);

struct LoopFigures {
    uint32_t runs = 0;
    uint32_t reported = 0;
    uint32_t brokenRuns = 0;
};

// Every kind and error, every k (or a sample of k: 1 to 4, then growing by
// half), in one mode; each broken invariant goes to `failures`.
LoopFigures RunLoop(LoopOp op, faults::FaultMode mode, bool full,
                    std::vector<std::string>& failures);

} // namespace pixlor::reliability
