// The serial seam with failures on plan: every call goes to the wrapped device
// unless the plan fails it, which leaves the error in LastError() as the
// system would. A failed Close still closes the wrapped device: a handle that
// CloseHandle refused is gone all the same.
#pragma once

#include <memory>

#include "faults/FaultPlan.h"
#include "platform/Platform.h"

namespace pixlor::faults {

class FailingSerialDevice final : public SerialDevice {
public:
    FailingSerialDevice(FaultPlan& plan, std::unique_ptr<SerialDevice> inner)
        : plan_(plan), inner_(std::move(inner)) {}

    bool Open(const char* name) override {
        return Pass(FaultKind::SerialOpen, [&] { return inner_->Open(name); });
    }
    bool Purge(uint32_t mask) override {
        return Pass(FaultKind::SerialPurge, [&] { return inner_->Purge(mask); });
    }
    bool GetLine(LineSetting& out) override {
        return Pass(FaultKind::SerialGetLine, [&] { return inner_->GetLine(out); });
    }
    bool SetLine(const LineSetting& setting) override {
        return Pass(FaultKind::SerialSetLine, [&] { return inner_->SetLine(setting); });
    }
    bool SetTimeouts(const CommTimeouts& timeouts) override {
        return Pass(FaultKind::SerialTimeouts, [&] { return inner_->SetTimeouts(timeouts); });
    }
    bool Read(void* buffer, uint32_t count, uint32_t& got) override {
        got = 0;
        return Pass(FaultKind::SerialRead, [&] { return inner_->Read(buffer, count, got); });
    }
    bool Write(const void* buffer, uint32_t count, uint32_t& put) override {
        put = 0;
        return Pass(FaultKind::SerialWrite, [&] { return inner_->Write(buffer, count, put); });
    }
    bool ClearErrors() override {
        return Pass(FaultKind::SerialClearErrors, [&] { return inner_->ClearErrors(); });
    }
    void Close() override {
        if (const uint32_t error = plan_.Decide(FaultKind::SerialClose); error != 0) {
            lastError_ = error;
        }
        inner_->Close();
    }
    uint32_t LastError() const override { return lastError_; }

private:
    template <class Call> bool Pass(FaultKind kind, Call&& call) {
        if (const uint32_t error = plan_.Decide(kind); error != 0) {
            lastError_ = error;
            return false;
        }
        const bool ok = call();
        if (!ok) {
            lastError_ = inner_->LastError();
        }
        return ok;
    }

    FaultPlan& plan_;
    std::unique_ptr<SerialDevice> inner_;
    uint32_t lastError_ = 0;
};

// Wraps every device the wrapped factory makes.
class FailingSerialFactory final : public SerialDeviceFactory {
public:
    FailingSerialFactory(FaultPlan& plan, SerialDeviceFactory& inner)
        : plan_(plan), inner_(inner) {}
    std::unique_ptr<SerialDevice> NewDevice() override {
        return std::make_unique<FailingSerialDevice>(plan_, inner_.NewDevice());
    }

private:
    FaultPlan& plan_;
    SerialDeviceFactory& inner_;
};

} // namespace pixlor::faults
