// The serial device on the Win32 communications calls, blocking and not
// overlapped. No decisions here: the port turns each failure into its bit.
#include <windows.h>

#include "platform/SystemBackends.h"

namespace pixlor::system {
namespace {

static_assert(sizeof(DCB) == 28, "the port writes DCBlength 28");

class Win32SerialDevice final : public SerialDevice {
public:
    ~Win32SerialDevice() override { Close(); }

    bool Open(const char* name) override {
        Close();
        handle_ = ::CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                                nullptr);
        return handle_ != INVALID_HANDLE_VALUE || Fail();
    }

    bool Purge(uint32_t mask) override { return ::PurgeComm(handle_, mask) != 0 || Fail(); }

    bool GetLine(LineSetting& out) override {
        DCB dcb{};
        dcb.DCBlength = sizeof(DCB);
        if (::GetCommState(handle_, &dcb) == 0) {
            return Fail();
        }
        state_ = dcb;
        out.baudRate = dcb.BaudRate;
        out.byteSize = dcb.ByteSize;
        out.parity = dcb.Parity;
        out.stopBits = dcb.StopBits;
        out.abortOnError = dcb.fAbortOnError != 0;
        return true;
    }

    bool SetLine(const LineSetting& setting) override {
        DCB dcb = state_; // every other field (flow control too) as the system returned it
        dcb.BaudRate = setting.baudRate;
        dcb.ByteSize = setting.byteSize;
        dcb.Parity = setting.parity;
        dcb.StopBits = setting.stopBits;
        dcb.DCBlength = sizeof(DCB);
        dcb.fAbortOnError = setting.abortOnError ? 1 : 0;
        if (::SetCommState(handle_, &dcb) == 0) {
            return Fail();
        }
        state_ = dcb;
        return true;
    }

    bool SetTimeouts(const CommTimeouts& timeouts) override {
        COMMTIMEOUTS t{};
        t.ReadIntervalTimeout = timeouts.readIntervalMs;
        t.ReadTotalTimeoutMultiplier = timeouts.readTotalMultiplierMs;
        t.ReadTotalTimeoutConstant = timeouts.readTotalConstantMs;
        t.WriteTotalTimeoutMultiplier = timeouts.writeTotalMultiplierMs;
        t.WriteTotalTimeoutConstant = timeouts.writeTotalConstantMs;
        return ::SetCommTimeouts(handle_, &t) != 0 || Fail();
    }

    bool Read(void* buffer, uint32_t count, uint32_t& got) override {
        DWORD n = 0;
        const BOOL ok = ::ReadFile(handle_, buffer, count, &n, nullptr);
        got = n;
        return ok != 0 || Fail();
    }

    bool Write(const void* buffer, uint32_t count, uint32_t& put) override {
        DWORD n = 0;
        const BOOL ok = ::WriteFile(handle_, buffer, count, &n, nullptr);
        put = n;
        return ok != 0 || Fail();
    }

    bool ClearErrors() override {
        DWORD errors = 0;
        COMSTAT status{};
        return ::ClearCommError(handle_, &errors, &status) != 0 || Fail();
    }

    void Close() override {
        if (handle_ != INVALID_HANDLE_VALUE) {
            ::CloseHandle(handle_);
            handle_ = INVALID_HANDLE_VALUE;
        }
    }

    uint32_t LastError() const override { return lastError_; }

private:
    bool Fail() {
        lastError_ = ::GetLastError();
        return false;
    }

    HANDLE handle_ = INVALID_HANDLE_VALUE;
    DCB state_{};
    uint32_t lastError_ = 0;
};

class Factory final : public SerialDeviceFactory {
public:
    std::unique_ptr<SerialDevice> NewDevice() override {
        return std::make_unique<Win32SerialDevice>();
    }
};

} // namespace

SerialDeviceFactory& SerialDevices() {
    static Factory factory;
    return factory;
}

} // namespace pixlor::system
