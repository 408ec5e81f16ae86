// Plain pauses (Win32 Sleep). Tests inject a recorder so that no unit test sleeps.
#pragma once

#include <cstdint>

namespace pixlor {

class Sleeper {
public:
    virtual ~Sleeper() = default;
    // Waits `milliseconds`, never less.
    virtual void Sleep(uint32_t milliseconds) = 0;
    // One operation (an opening, a copy, a deletion) begins or ends. A sleeper
    // may hold a system resource for precise pauses between the two; the
    // calls nest and come in pairs (OperationTiming below).
    virtual void BeginOperation() {}
    virtual void EndOperation() {}
};

// Marks one operation for the sleeper in force when it is made, for its
// lifetime: whatever way the operation ends, the end is told.
class OperationTiming {
public:
    OperationTiming();
    ~OperationTiming();
    OperationTiming(const OperationTiming&) = delete;
    OperationTiming& operator=(const OperationTiming&) = delete;

private:
    Sleeper* sleeper_;
};

} // namespace pixlor
