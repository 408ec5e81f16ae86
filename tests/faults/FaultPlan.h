// Which call fails: counts every call of every kind through the wrappers and
// makes the k-th call of one kind fail, once or from then on. The wrappers ask
// it at every call; it outlives them (the test owns it).
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "faults/FaultKinds.h"

namespace pixlor::faults {

enum class FaultMode { Once, FromK };

inline const char* ModeName(FaultMode mode) {
    return mode == FaultMode::Once ? "once" : "from-k";
}

class FaultPlan {
public:
    // The k-th call of `kind` counted from now (k from 1) fails with `error`;
    // FromK: every later call of it too. Replaces what was armed.
    void Arm(FaultKind kind, uint32_t k, FaultMode mode, uint32_t error);
    // A second fault beside the armed one (a failure that leads to the call
    // the armed one fails: a write that fails, so that a removal is made).
    void AlsoArm(FaultKind kind, uint32_t k, FaultMode mode, uint32_t error);
    // No call fails any more (the counts go on).
    void Disarm() { faults_.clear(); }

    // Counts a call of `kind`: the error to fail it with, or 0 to pass it through.
    uint32_t Decide(FaultKind kind);

    uint32_t Calls(FaultKind kind) const { return counts_[static_cast<size_t>(kind)]; }
    // The call Arm named was made.
    bool Reached() const { return injected_ > 0; }
    uint32_t Injected() const { return injected_; }

private:
    struct Fault {
        FaultKind kind;
        uint32_t at; // absolute call number
        FaultMode mode;
        uint32_t error;
    };

    std::array<uint32_t, kFaultKindCount> counts_{};
    std::vector<Fault> faults_; // the first is Arm's
    uint32_t injected_ = 0;
};

} // namespace pixlor::faults
