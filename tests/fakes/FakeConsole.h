// A queue of console input records behind the Console seam, with failures of
// the pending count on plan. A read of an empty queue would block on Windows:
// it delivers nothing here and is counted, so a test can insist it never happens.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>

#include "platform/Console.h"

namespace pixlor {

class FakeConsole final : public Console {
public:
    static constexpr uint16_t kVkEscape = 0x1B;

    // A key record for `character`; its virtual key is derived (letters upper-cased,
    // Esc 0x1B, Enter 0x0D) unless given.
    void QueueKey(char character, bool keyDown = true, uint16_t virtualKey = 0);
    // Press and release, the two records a typed key makes.
    void QueueKeyPress(char character);
    void QueueKeyUp(char character) { QueueKey(character, false); }
    void QueueEscape(bool keyDown = true) { QueueKey(27, keyDown, kVkEscape); }
    // A mouse, window or focus record.
    void QueueOther();
    void QueueEvent(const ConsoleEvent& event) { queue_.push_back(event); }
    // Esc as Wine's console on a terminal gives it: virtual key 0x1B, character 0.
    void QueueWineEscape(bool keyDown = true) { QueueKey(0, keyDown, kVkEscape); }
    // A record typed on a console that queues it only when a program next lets
    // it take in its input (TakeInTyped), as Wine's console on a terminal does.
    void Type(const ConsoleEvent& event) { typed_.push_back(event); }

    // The k-th PendingEvents call (from 1, counted from now) fails; with
    // `persistent`, every call from the k-th on.
    void FailPending(uint32_t k = 1, bool persistent = false);
    // Every ReadEvent fails without consuming.
    void FailReads(bool fail = true) { failReads_ = fail; }

    size_t Queued() const { return queue_.size(); }
    const std::deque<ConsoleEvent>& Queue() const { return queue_; }
    size_t Typed() const { return typed_.size(); }
    uint32_t TakeInCalls() const { return takeInCalls_; }
    uint32_t PendingCalls() const { return pendingCalls_; }
    uint32_t ReadCalls() const { return readCalls_; }
    uint32_t ReadsWhileEmpty() const { return readsWhileEmpty_; }

    void TakeInTyped() override;
    bool PendingEvents(uint32_t& count) override;
    bool ReadEvent(ConsoleEvent& event, uint32_t& read) override;

private:
    std::deque<ConsoleEvent> queue_;
    std::deque<ConsoleEvent> typed_;
    uint32_t takeInCalls_ = 0;
    uint32_t pendingCalls_ = 0;
    uint32_t readCalls_ = 0;
    uint32_t readsWhileEmpty_ = 0;
    uint32_t failFrom_ = 0; // 0: no failure planned
    bool failPersistent_ = false;
    bool failReads_ = false;
};

} // namespace pixlor
