#include "platform/ExactPauses.h"

#include "platform/Platform.h"

namespace pixlor {

OperationTiming::OperationTiming() : sleeper_(CurrentPlatform().sleeper) {
    if (sleeper_ != nullptr) {
        sleeper_->BeginOperation();
    }
}

OperationTiming::~OperationTiming() {
    if (sleeper_ != nullptr) {
        sleeper_->EndOperation();
    }
}

ExactPauses::~ExactPauses() {
    if (raised_) {
        system_.RestoreTimerResolution();
    }
}

void ExactPauses::Pause(uint32_t milliseconds) {
    if (milliseconds == 0) {
        system_.SleepMilliseconds(0);
        return;
    }
    const uint64_t start = system_.NowMicroseconds();
    const uint64_t asked = uint64_t{milliseconds} * 1000;
    for (;;) {
        const uint64_t passed = system_.NowMicroseconds() - start;
        if (passed >= asked) {
            return;
        }
        const uint64_t left = asked - passed;
        if (!noPreciseTimer_) {
            if (system_.WaitPrecisely(static_cast<uint32_t>(left))) {
                continue;
            }
            noPreciseTimer_ = true; // the system has none: found once
        }
        if (operations_ > 0 && !raised_ && !raiseFailed_) {
            raised_ = system_.RaiseTimerResolution();
            raiseFailed_ = !raised_;
        }
        // Whole milliseconds, rounded up: Sleep(0) would only give up the slice.
        system_.SleepMilliseconds(static_cast<uint32_t>((left + 999) / 1000));
    }
}

void ExactPauses::EndOperation() {
    if (operations_ == 0) {
        return; // an end without a beginning restores nothing twice
    }
    if (--operations_ == 0) {
        if (raised_) {
            system_.RestoreTimerResolution();
            raised_ = false;
        }
        raiseFailed_ = false;
    }
}

} // namespace pixlor
