#include "fakes/FakeSerialDevice.h"

#include <algorithm>
#include <cstring>

namespace pixlor::fakes {
namespace {

class ForwardingDevice final : public SerialDevice {
public:
    explicit ForwardingDevice(FakeSerialDevice& target) : target_(target) {}
    bool Open(const char* name) override { return target_.Open(name); }
    bool Purge(uint32_t mask) override { return target_.Purge(mask); }
    bool GetLine(LineSetting& out) override { return target_.GetLine(out); }
    bool SetLine(const LineSetting& setting) override { return target_.SetLine(setting); }
    bool SetTimeouts(const CommTimeouts& timeouts) override {
        return target_.SetTimeouts(timeouts);
    }
    bool Read(void* buffer, uint32_t count, uint32_t& got) override {
        return target_.Read(buffer, count, got);
    }
    bool Write(const void* buffer, uint32_t count, uint32_t& put) override {
        return target_.Write(buffer, count, put);
    }
    bool ClearErrors() override { return target_.ClearErrors(); }
    void Close() override { target_.Close(); }
    uint32_t LastError() const override { return target_.LastError(); }

private:
    FakeSerialDevice& target_;
};

} // namespace

FakeSerialDevice::FakeSerialDevice() = default;

void FakeSerialDevice::Queue(std::span<const uint8_t> bytes) {
    inbound.insert(inbound.end(), bytes.begin(), bytes.end());
}

void FakeSerialDevice::Queue(std::initializer_list<uint8_t> bytes) {
    inbound.insert(inbound.end(), bytes.begin(), bytes.end());
}

void FakeSerialDevice::FailOn(SerialOp op, int k, bool persistent, uint32_t error) {
    faults_.push_back({op, counts_[static_cast<int>(op)] + k, persistent, error});
}

void FakeSerialDevice::ShortReadOn(int k, uint32_t maxBytes) {
    shortReads_.push_back({counts_[static_cast<int>(SerialOp::Read)] + k, maxBytes});
}

std::vector<SerialCall> FakeSerialDevice::CallsOf(SerialOp op) const {
    std::vector<SerialCall> found;
    std::copy_if(calls.begin(), calls.end(), std::back_inserter(found),
                 [op](const SerialCall& c) { return c.op == op; });
    return found;
}

int FakeSerialDevice::CountOf(SerialOp op) const {
    return static_cast<int>(std::count_if(calls.begin(), calls.end(),
                                          [op](const SerialCall& c) { return c.op == op; }));
}

std::vector<uint8_t> FakeSerialDevice::Written() const {
    std::vector<uint8_t> all;
    for (const SerialCall& c : calls) {
        if (c.op == SerialOp::Write && c.ok) {
            all.insert(all.end(), c.bytes.begin(), c.bytes.end());
        }
    }
    return all;
}

bool FakeSerialDevice::Begin(SerialOp op) {
    const int n = ++counts_[static_cast<int>(op)];
    bool fail = false;
    for (const Fault& f : faults_) {
        if (f.op == op && (n == f.k || (f.persistent && n > f.k))) {
            fail = true;
            lastError_ = f.error;
        }
    }
    calls.emplace_back(op);
    calls.back().ok = !fail;
    return !fail;
}

bool FakeSerialDevice::Open(const char* name) {
    const bool ok = Begin(SerialOp::Open);
    Last().name = name;
    if (!ok) {
        return false;
    }
    open = true;
    return true;
}

bool FakeSerialDevice::Purge(uint32_t mask) {
    const bool ok = Begin(SerialOp::Purge);
    Last().mask = mask;
    if (!ok) {
        return false;
    }
    if ((mask & kPurgeRxClear) != 0) {
        inbound.clear();
    }
    return true;
}

bool FakeSerialDevice::GetLine(LineSetting& out) {
    const bool ok = Begin(SerialOp::GetLine);
    Last().line = line;
    if (!ok) {
        return false;
    }
    out = line;
    return true;
}

bool FakeSerialDevice::SetLine(const LineSetting& setting) {
    const bool ok = Begin(SerialOp::SetLine);
    Last().line = setting;
    if (!ok) {
        return false;
    }
    line = setting;
    return true;
}

bool FakeSerialDevice::SetTimeouts(const CommTimeouts& timeouts) {
    const bool ok = Begin(SerialOp::SetTimeouts);
    Last().timeouts = timeouts;
    return ok;
}

bool FakeSerialDevice::Read(void* buffer, uint32_t count, uint32_t& got) {
    got = 0;
    const bool ok = Begin(SerialOp::Read);
    Last().count = count;
    if (!ok) {
        return false;
    }
    if (inbound.empty() && onRead) {
        onRead(*this);
    }
    const int n = counts_[static_cast<int>(SerialOp::Read)];
    uint32_t limit = count;
    for (const ShortRead& s : shortReads_) {
        if (s.k == n) {
            limit = std::min(limit, s.maxBytes);
        }
    }
    const auto take = static_cast<uint32_t>(std::min<size_t>(limit, inbound.size()));
    auto* out = static_cast<uint8_t*>(buffer);
    std::copy_n(inbound.begin(), take, out);
    inbound.erase(inbound.begin(), inbound.begin() + take);
    got = take;
    Last().bytes.assign(out, out + take);
    return true;
}

bool FakeSerialDevice::Write(const void* buffer, uint32_t count, uint32_t& put) {
    put = 0;
    const auto* in = static_cast<const uint8_t*>(buffer);
    const bool ok = Begin(SerialOp::Write);
    Last().count = count;
    Last().bytes.assign(in, in + count);
    if (!ok) {
        return false;
    }
    put = count;
    if (onWrite) {
        const std::vector<uint8_t> written(in, in + count);
        onWrite(*this, written);
    }
    return true;
}

bool FakeSerialDevice::ClearErrors() {
    return Begin(SerialOp::ClearErrors);
}

void FakeSerialDevice::Close() {
    Begin(SerialOp::Close);
    open = false;
}

std::unique_ptr<SerialDevice> FakeSerialFactory::NewDevice() {
    ++made;
    return std::make_unique<ForwardingDevice>(device_);
}

} // namespace pixlor::fakes
