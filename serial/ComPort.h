// One serial port (COM1 to COM8) opened for exclusive, blocking use. Every
// failure becomes a bit of `flags`; the bytes are never interpreted here.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/SerialDevice.h"

namespace pixlor {

class ComPort {
public:
    // Takes its device from the platform in force; does not open it.
    explicit ComPort(uint8_t portIndex);
    ~ComPort(); // closes the port
    ComPort(const ComPort&) = delete;
    ComPort& operator=(const ComPort&) = delete;

    // Opens "COM<portIndex + 1>", discards all queues, applies the line setting
    // (stop bits and parity in DCB coding) and the time-outs.
    bool Open(uint32_t baudRate, uint8_t byteSize, uint8_t stopBits, uint8_t parity);
    // Opens the port if needed; no system call when the setting is unchanged.
    bool SetLine(uint32_t baudRate, uint8_t byteSize, uint8_t stopBits, uint8_t parity);
    // Hands the two time-out fields to the device, in whole milliseconds.
    bool ApplyTimeouts();
    // Exactly `count` bytes or failure (bytes that did arrive count for nothing).
    bool Read(void* buffer, uint32_t count);
    bool ReadByte(uint8_t* buffer) { return Read(buffer, 1); }
    // Exactly `count` bytes or failure; a closed port fails without a system call.
    bool Write(const void* buffer, uint32_t count);
    bool WriteByte(uint8_t value) { return Write(&value, 1); }
    // PurgeComm with `mask`; false on a closed port.
    bool Purge(uint32_t mask);
    void Close();

    uint8_t PortIndex() const { return portIndex_; }
    bool IsOpen() const { return isOpen_; }
    uint32_t BaudRate() const { return baudRate_; }
    uint8_t ByteSize() const { return byteSize_; }
    uint8_t StopBits() const { return stopBits_; }
    uint8_t Parity() const { return parity_; }
    // The system's error code of the device's last failed call.
    uint32_t LastSystemError() const;

    uint32_t flags = 0; // the PortFlags word (serial/PortFlags.h)
    // A call on the open port failed with an error that says the device is
    // gone; nothing sent from here on can arrive. Cleared by Open.
    bool deviceGone = false;
    uint32_t readTimeoutPerByteUs = 1000;
    uint32_t readTimeoutConstantUs = 1000000;

private:
    // After a failed call of the open device: notes whether the device is gone.
    bool Failed();

    uint8_t portIndex_;
    std::unique_ptr<SerialDevice> handle_;
    bool isOpen_ = false;
    uint32_t baudRate_ = 0;
    uint8_t byteSize_ = 0;
    uint8_t stopBits_ = 0;
    uint8_t parity_ = 0;
};

} // namespace pixlor
