#include "faults/FaultPlan.h"

namespace pixlor::faults {

void FaultPlan::Arm(FaultKind kind, uint32_t k, FaultMode mode, uint32_t error) {
    faults_.clear();
    injected_ = 0;
    AlsoArm(kind, k, mode, error);
}

void FaultPlan::AlsoArm(FaultKind kind, uint32_t k, FaultMode mode, uint32_t error) {
    faults_.push_back({kind, Calls(kind) + k, mode, error});
}

uint32_t FaultPlan::Decide(FaultKind kind) {
    const uint32_t n = ++counts_[static_cast<size_t>(kind)];
    for (size_t i = 0; i < faults_.size(); ++i) {
        const Fault& f = faults_[i];
        const bool fails = f.kind == kind && (f.mode == FaultMode::Once ? n == f.at : n >= f.at);
        if (fails) {
            injected_ += i == 0 ? 1 : 0;
            return f.error;
        }
    }
    return 0;
}

} // namespace pixlor::faults
