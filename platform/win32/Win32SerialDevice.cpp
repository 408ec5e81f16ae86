// Placeholder until the Win32 backend lands: every open fails.
#include "platform/SystemBackends.h"
#include "platform/SystemError.h"

namespace pixlor::system {
namespace {

class UnavailableDevice final : public SerialDevice {
public:
    bool Open(const char*) override { return false; }
    bool Purge(uint32_t) override { return false; }
    bool GetLine(LineSetting&) override { return false; }
    bool SetLine(const LineSetting&) override { return false; }
    bool SetTimeouts(const CommTimeouts&) override { return false; }
    bool Read(void*, uint32_t, uint32_t& got) override { return (got = 0), false; }
    bool Write(const void*, uint32_t, uint32_t& put) override { return (put = 0), false; }
    bool ClearErrors() override { return false; }
    void Close() override {}
    uint32_t LastError() const override { return syserr::kFileNotFound; }
};

class Factory final : public SerialDeviceFactory {
public:
    std::unique_ptr<SerialDevice> NewDevice() override { return std::make_unique<UnavailableDevice>(); }
};

} // namespace

SerialDeviceFactory& SerialDevices() {
    static Factory factory;
    return factory;
}

} // namespace pixlor::system
