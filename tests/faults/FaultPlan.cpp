#include "faults/FaultPlan.h"

namespace pixlor::faults {

void FaultPlan::Arm(FaultKind kind, uint32_t k, FaultMode mode, uint32_t error) {
    armed_ = true;
    kind_ = kind;
    at_ = Calls(kind) + k;
    mode_ = mode;
    error_ = error;
    injected_ = 0;
}

uint32_t FaultPlan::Decide(FaultKind kind) {
    const uint32_t n = ++counts_[static_cast<size_t>(kind)];
    if (!armed_ || kind != kind_) {
        return 0;
    }
    const bool fails = mode_ == FaultMode::Once ? n == at_ : n >= at_;
    injected_ += fails ? 1 : 0;
    return fails ? error_ : 0;
}

} // namespace pixlor::faults
