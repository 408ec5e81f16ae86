// One serial device, as the Win32 communications API offers it. ComPort is the
// only caller; it turns every failed step into its PortFlags bit, so the
// backends hold no decisions, only system calls.
#pragma once

#include <cstdint>

namespace pixlor {

// The DCB fields the port sets; a backend keeps every other field of the
// state it last read (flow control is left as the system has it on Win32).
struct LineSetting {
    uint32_t baudRate = 0;
    uint8_t byteSize = 8;
    uint8_t parity = 0;   // DCB coding: 0 = none
    uint8_t stopBits = 0; // DCB coding: 0 = one stop bit
    bool abortOnError = false;
    friend bool operator==(const LineSetting&, const LineSetting&) = default;
};

// COMMTIMEOUTS, in milliseconds.
struct CommTimeouts {
    uint32_t readIntervalMs = 0;
    uint32_t readTotalMultiplierMs = 0;
    uint32_t readTotalConstantMs = 0;
    uint32_t writeTotalMultiplierMs = 0;
    uint32_t writeTotalConstantMs = 0;
    friend bool operator==(const CommTimeouts&, const CommTimeouts&) = default;
};

// PurgeComm mask bits.
inline constexpr uint32_t kPurgeTxAbort = 0x0001;
inline constexpr uint32_t kPurgeRxAbort = 0x0002;
inline constexpr uint32_t kPurgeTxClear = 0x0004;
inline constexpr uint32_t kPurgeRxClear = 0x0008;

class SerialDevice {
public:
    virtual ~SerialDevice() = default;

    // CreateFileA(name, GENERIC_READ|GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr).
    // `name` is "COM1" to "COM8"; exclusive: fails when another process holds the port.
    virtual bool Open(const char* name) = 0;
    // PurgeComm(mask).
    virtual bool Purge(uint32_t mask) = 0;
    // GetCommState: the current line setting.
    virtual bool GetLine(LineSetting& out) = 0;
    // SetCommState with the given fields over the state last read (DCBlength = 28).
    virtual bool SetLine(const LineSetting& setting) = 0;
    // SetCommTimeouts.
    virtual bool SetTimeouts(const CommTimeouts& timeouts) = 0;
    // ReadFile of `count` bytes: returns after the count or after the total time-out
    // (constant + multiplier * count ms), with `got` the bytes delivered.
    virtual bool Read(void* buffer, uint32_t count, uint32_t& got) = 0;
    // WriteFile of `count` bytes, `put` the bytes written.
    virtual bool Write(const void* buffer, uint32_t count, uint32_t& put) = 0;
    // ClearCommError: clears the error state that fAbortOnError leaves.
    virtual bool ClearErrors() = 0;
    // CloseHandle; a closed device ignores it.
    virtual void Close() = 0;
    // The system's error code of the last failed call (Windows coding).
    virtual uint32_t LastError() const = 0;
};

} // namespace pixlor
