// The rules of the Windows sleeper, apart from the system calls so that they
// can be tested anywhere. Windows' Sleep ends on the system timer's ticks,
// 15.6 ms apart by default, so Sleep(1) may last 15.6 ms. A pause here lasts
// what is asked and never less:
// - with a high-resolution waitable timer (Windows 10 1803 and later), it
//   waits on the timer;
// - otherwise it sleeps with the system timer raised to 1 ms, which it raises
//   at the first pause of an operation and restores when the operation ends;
// - in both, it measures the time that passed and waits again for what is
//   left, so an early wake-up never shortens a pause.
#pragma once

#include <cstdint>

namespace pixlor {

// What the rules need of the system.
class PauseSystem {
public:
    virtual ~PauseSystem() = default;
    // A steady clock (QueryPerformanceCounter), in microseconds.
    virtual uint64_t NowMicroseconds() = 0;
    // Waits about `microseconds` on a high-resolution timer; false when the
    // system has none (then it has not waited).
    virtual bool WaitPrecisely(uint32_t microseconds) = 0;
    // timeBeginPeriod(1); false when it cannot be had.
    virtual bool RaiseTimerResolution() = 0;
    // timeEndPeriod(1), after a RaiseTimerResolution that succeeded.
    virtual void RestoreTimerResolution() = 0;
    // Sleep.
    virtual void SleepMilliseconds(uint32_t milliseconds) = 0;
};

class ExactPauses {
public:
    explicit ExactPauses(PauseSystem& system) : system_(system) {}
    ~ExactPauses(); // restores a resolution still held

    void Pause(uint32_t milliseconds);
    void BeginOperation() { ++operations_; }
    void EndOperation();

    // The system timer is raised now.
    bool Raised() const { return raised_; }
    // Operations begun and not ended.
    uint32_t Operations() const { return operations_; }

private:
    PauseSystem& system_;
    uint32_t operations_ = 0;
    bool raised_ = false;
    bool raiseFailed_ = false; // for this operation: Sleep as it is
    bool noPreciseTimer_ = false;
};

} // namespace pixlor
