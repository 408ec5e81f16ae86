// A recording serial device for tests. The test owns one FakeSerialDevice and
// installs a FakeSerialFactory over it; every ComPort then talks to it:
//
//     FakeSerialDevice device;
//     FakeSerialFactory factory(device);
//     ScopedPlatform scope(Platform{.serial = &factory, .sleeper = &sleeper});
//
// - Every call is recorded with its arguments in `calls` (CallsOf, CountOf), so a
//   test can also assert that a call was not made.
// - Inbound bytes: the test (playing the camera) queues them with Queue(); a Read
//   delivers what is queued up to its count and returns true, like a Win32 read
//   that timed out; an empty queue is a time-out. `onWrite`, when set, runs after
//   every successful write with the bytes written, so a responder can answer.
//   `onRead`, when set, runs at the start of every read whose queue is empty, so
//   a responder can deliver bytes that come "later" (after a purge).
// - Purge with the RX-clear bit discards the queue, as the system does.
// - Failure injection: FailOn(op, k) makes the k-th call of `op` from now on
//   (k from 1) fail once, or with `persistent` every call from the k-th on. ShortReadOn(k, n)
//   makes the k-th Read deliver at most n bytes even when more are queued.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "platform/SerialDevice.h"

namespace pixlor::fakes {

enum class SerialOp { Open, Purge, GetLine, SetLine, SetTimeouts, Read, Write, ClearErrors, Close };

struct SerialCall {
    explicit SerialCall(SerialOp o) : op(o) {}
    SerialOp op;
    std::string name;           // Open
    uint32_t mask = 0;          // Purge
    LineSetting line;           // SetLine (the setting passed), GetLine (the one returned)
    CommTimeouts timeouts;      // SetTimeouts
    uint32_t count = 0;         // Read, Write: bytes asked
    std::vector<uint8_t> bytes; // Write: bytes written; Read: bytes delivered
    bool ok = true;             // the call's result
};

class FakeSerialDevice final : public SerialDevice {
public:
    FakeSerialDevice();

    // --- The test's side ---
    void Queue(std::span<const uint8_t> bytes);
    void Queue(std::initializer_list<uint8_t> bytes);
    void FailOn(SerialOp op, int k, bool persistent = false, uint32_t error = 1);
    void ShortReadOn(int k, uint32_t maxBytes);

    std::vector<SerialCall> CallsOf(SerialOp op) const;
    int CountOf(SerialOp op) const;
    // Every byte written, in order, across all writes.
    std::vector<uint8_t> Written() const;
    void ClearRecord() { calls.clear(); }

    std::vector<SerialCall> calls;
    std::deque<uint8_t> inbound;
    std::function<void(FakeSerialDevice&, std::span<const uint8_t>)> onWrite;
    std::function<void(FakeSerialDevice&)> onRead;
    // What GetLine reports; SetLine stores its setting here.
    LineSetting line{9600, 8, 0, 0, false};
    bool open = false;

    // --- SerialDevice ---
    bool Open(const char* name) override;
    bool Purge(uint32_t mask) override;
    bool GetLine(LineSetting& out) override;
    bool SetLine(const LineSetting& setting) override;
    bool SetTimeouts(const CommTimeouts& timeouts) override;
    bool Read(void* buffer, uint32_t count, uint32_t& got) override;
    bool Write(const void* buffer, uint32_t count, uint32_t& put) override;
    bool ClearErrors() override;
    void Close() override;
    uint32_t LastError() const override { return lastError_; }

private:
    struct Fault {
        SerialOp op;
        int k; // counted in calls of `op`, absolute
        bool persistent;
        uint32_t error;
    };
    struct ShortRead {
        int k; // absolute
        uint32_t maxBytes;
    };
    // Records a call of `op` (its arguments go into Last()) and decides whether
    // an injected fault fires.
    bool Begin(SerialOp op);
    SerialCall& Last() { return calls.back(); }

    std::vector<Fault> faults_;
    std::vector<ShortRead> shortReads_;
    int counts_[9] = {};
    uint32_t lastError_ = 0;
};

// Hands every ComPort a device that forwards to the test's FakeSerialDevice.
class FakeSerialFactory final : public SerialDeviceFactory {
public:
    explicit FakeSerialFactory(FakeSerialDevice& device) : device_(device) {}
    std::unique_ptr<SerialDevice> NewDevice() override;
    int made = 0; // devices handed out

private:
    FakeSerialDevice& device_;
};

} // namespace pixlor::fakes
