// Placeholder until the registry file backend lands: no key exists.
#include "platform/SystemBackends.h"
#include "platform/SystemError.h"

namespace pixlor::system {
namespace {

class EmptyRegistry final : public Registry {
public:
    RegistryResult CreateKey(RegistryKey, const char*, uint32_t, RegistryKey&) override {
        return syserr::kAccessDenied;
    }
    RegistryResult OpenKey(RegistryKey, const char*, uint32_t, RegistryKey&) override {
        return syserr::kFileNotFound;
    }
    RegistryResult QueryValue(RegistryKey, const char*, uint32_t*, uint8_t*, uint32_t*) override {
        return syserr::kInvalidHandle;
    }
    RegistryResult SetValue(RegistryKey, const char*, uint32_t, const uint8_t*, uint32_t) override {
        return syserr::kInvalidHandle;
    }
    RegistryResult EnumValue(RegistryKey, uint32_t, char*, uint32_t*, uint32_t*, uint8_t*,
                             uint32_t*) override {
        return syserr::kInvalidHandle;
    }
    RegistryResult CloseKey(RegistryKey) override { return syserr::kInvalidHandle; }
};

} // namespace

Registry& SystemRegistry() {
    static EmptyRegistry registry;
    return registry;
}

} // namespace pixlor::system
