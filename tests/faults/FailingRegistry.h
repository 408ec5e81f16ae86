// The registry seam with failures on plan: a failed call answers the plan's
// error instead of calling the wrapped registry. A failed CloseKey still
// closes the wrapped key, so a test sees no handle left open by the fault.
#pragma once

#include "faults/FaultPlan.h"
#include "platform/Registry.h"

namespace pixlor::faults {

class FailingRegistry final : public Registry {
public:
    FailingRegistry(FaultPlan& plan, Registry& inner) : plan_(plan), inner_(inner) {}

    RegistryResult CreateKey(RegistryKey root, const char* path, uint32_t access,
                             RegistryKey& key) override {
        key = 0;
        return Pass(FaultKind::RegistryCreate,
                    [&] { return inner_.CreateKey(root, path, access, key); });
    }
    RegistryResult OpenKey(RegistryKey root, const char* path, uint32_t access,
                           RegistryKey& key) override {
        key = 0;
        return Pass(FaultKind::RegistryOpen,
                    [&] { return inner_.OpenKey(root, path, access, key); });
    }
    RegistryResult QueryValue(RegistryKey key, const char* name, uint32_t* type, uint8_t* data,
                              uint32_t* size) override {
        return Pass(FaultKind::RegistryRead,
                    [&] { return inner_.QueryValue(key, name, type, data, size); });
    }
    RegistryResult SetValue(RegistryKey key, const char* name, uint32_t type, const uint8_t* data,
                            uint32_t size) override {
        return Pass(FaultKind::RegistryWrite,
                    [&] { return inner_.SetValue(key, name, type, data, size); });
    }
    RegistryResult EnumValue(RegistryKey key, uint32_t index, char* name, uint32_t* nameLength,
                             uint32_t* type, uint8_t* data, uint32_t* dataLength) override {
        return Pass(FaultKind::RegistryEnumerate, [&] {
            return inner_.EnumValue(key, index, name, nameLength, type, data, dataLength);
        });
    }
    RegistryResult CloseKey(RegistryKey key) override {
        const uint32_t error = plan_.Decide(FaultKind::RegistryClose);
        const RegistryResult closed = inner_.CloseKey(key);
        return error != 0 ? static_cast<RegistryResult>(error) : closed;
    }

private:
    template <class Call> RegistryResult Pass(FaultKind kind, Call&& call) {
        if (const uint32_t error = plan_.Decide(kind); error != 0) {
            return static_cast<RegistryResult>(error);
        }
        return call();
    }

    FaultPlan& plan_;
    Registry& inner_;
};

} // namespace pixlor::faults
