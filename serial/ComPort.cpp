#include "serial/ComPort.h"

#include <cstdio>

#include "platform/Platform.h"
#include "platform/SystemError.h"
#include "serial/PortFlags.h"

namespace pixlor {

ComPort::ComPort(uint8_t portIndex)
    : portIndex_(portIndex), handle_(CurrentPlatform().serial->NewDevice()) {}

ComPort::~ComPort() {
    Close();
}

bool ComPort::Open(uint32_t baudRate, uint8_t byteSize, uint8_t stopBits, uint8_t parity) {
    Close(); // never leak a handle of an earlier open
    deviceGone = false;

    char name[8];
    std::snprintf(name, sizeof name, "COM%1d", portIndex_ + 1);
    if (!handle_->Open(name)) {
        flags |= portflag::kLineFailed;
        return false;
    }
    if (!handle_->Purge(kPurgeTxAbort | kPurgeRxAbort | kPurgeTxClear | kPurgeRxClear)) {
        handle_->Close();
        flags |= portflag::kLineFailed | portflag::kPurgeBeforeWrite | portflag::kPurgeBeforeRead;
        return false;
    }
    LineSetting line;
    if (!handle_->GetLine(line)) {
        handle_->Close();
        flags |= portflag::kLineFailed;
        return false;
    }
    line.baudRate = baudRate;
    line.byteSize = byteSize;
    line.parity = parity;
    line.stopBits = stopBits;
    line.abortOnError = true; // a line error stops I/O until ClearErrors
    if (!handle_->SetLine(line)) {
        handle_->Close();
        flags |= portflag::kLineFailed;
        return false;
    }
    if (!ApplyTimeouts()) {
        flags |= portflag::kLineFailed;
        handle_->Close();
        return false;
    }
    isOpen_ = true;
    baudRate_ = baudRate;
    byteSize_ = byteSize;
    stopBits_ = stopBits;
    parity_ = parity;
    return true;
}

bool ComPort::SetLine(uint32_t baudRate, uint8_t byteSize, uint8_t stopBits, uint8_t parity) {
    if (!isOpen_) {
        if (!Open(baudRate, byteSize, stopBits, parity)) {
            flags |= portflag::kLineFailed;
            return false;
        }
        return true;
    }
    if (baudRate == baudRate_ && byteSize == byteSize_ && stopBits == stopBits_ &&
        parity == parity_) {
        return true;
    }
    LineSetting line;
    if (!handle_->GetLine(line)) {
        flags |= portflag::kLineFailed;
        return Failed();
    }
    line.baudRate = baudRate;
    line.byteSize = byteSize;
    line.parity = parity;
    line.stopBits = stopBits; // abortOnError stays as Open left it
    if (!handle_->SetLine(line)) {
        flags |= portflag::kLineFailed;
        return Failed();
    }
    baudRate_ = baudRate;
    byteSize_ = byteSize;
    stopBits_ = stopBits;
    parity_ = parity;
    return true;
}

bool ComPort::ApplyTimeouts() {
    CommTimeouts timeouts;
    timeouts.readIntervalMs = 0;
    timeouts.readTotalMultiplierMs = readTimeoutPerByteUs / 1000;
    timeouts.readTotalConstantMs = readTimeoutConstantUs / 1000;
    timeouts.writeTotalMultiplierMs = 0;
    timeouts.writeTotalConstantMs = 0;
    if (!handle_->SetTimeouts(timeouts)) {
        flags |= portflag::kTimeoutsFailed;
        return false;
    }
    return true;
}

bool ComPort::Read(void* buffer, uint32_t count) {
    if (!isOpen_) {
        flags |= portflag::kReadNotOpen;
        return false;
    }
    uint32_t got = 0;
    const bool called = handle_->Read(buffer, count, got);
    if (called && got == count) {
        return true;
    }
    flags |= portflag::kReadFailed;
    if (!called) {
        Failed();
    }
    handle_->ClearErrors();
    return false;
}

bool ComPort::Write(const void* buffer, uint32_t count) {
    if (!isOpen_) {
        flags |= portflag::kWriteFailed;
        return false;
    }
    uint32_t put = 0;
    const bool called = handle_->Write(buffer, count, put);
    if (called && put == count) {
        return true;
    }
    flags |= portflag::kWriteFailed;
    return called ? false : Failed();
}

bool ComPort::Purge(uint32_t mask) {
    if (!isOpen_) {
        return false;
    }
    return handle_->Purge(mask) || Failed();
}

bool ComPort::Failed() {
    if (syserr::DeviceGone(handle_->LastError())) {
        deviceGone = true;
    }
    return false;
}

void ComPort::Close() {
    if (isOpen_) {
        handle_->Close();
        isOpen_ = false;
    }
}

uint32_t ComPort::LastSystemError() const {
    return handle_->LastError();
}

} // namespace pixlor
