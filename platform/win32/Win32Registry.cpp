#include <windows.h>

#include "platform/SystemBackends.h"

namespace pixlor::system {
namespace {

// The seam's predefined roots are the 32-bit values; HKEY constants are
// sign-extended pointers, so map them rather than cast.
HKEY ToHkey(RegistryKey key) {
    if (key == kHkeyCurrentUser) {
        return HKEY_CURRENT_USER;
    }
    if (key == kHkeyLocalMachine) {
        return HKEY_LOCAL_MACHINE;
    }
    return reinterpret_cast<HKEY>(key);
}

RegistryKey FromHkey(HKEY key) {
    return reinterpret_cast<RegistryKey>(key);
}

class Win32Registry final : public Registry {
public:
    RegistryResult CreateKey(RegistryKey root, const char* path, uint32_t access,
                             RegistryKey& key) override {
        HKEY opened = nullptr;
        const LONG result = RegCreateKeyExA(ToHkey(root), path, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                            access, nullptr, &opened, nullptr);
        key = result == ERROR_SUCCESS ? FromHkey(opened) : 0;
        return result;
    }

    RegistryResult OpenKey(RegistryKey root, const char* path, uint32_t access,
                           RegistryKey& key) override {
        HKEY opened = nullptr;
        const LONG result = RegOpenKeyExA(ToHkey(root), path, 0, access, &opened);
        key = result == ERROR_SUCCESS ? FromHkey(opened) : 0;
        return result;
    }

    RegistryResult QueryValue(RegistryKey key, const char* name, uint32_t* type, uint8_t* data,
                              uint32_t* size) override {
        DWORD valueType = 0;
        DWORD length = size != nullptr ? *size : 0;
        const LONG result = RegQueryValueExA(ToHkey(key), name, nullptr, &valueType, data,
                                             size != nullptr ? &length : nullptr);
        if (type != nullptr) {
            *type = valueType;
        }
        if (size != nullptr) {
            *size = length;
        }
        return result;
    }

    RegistryResult SetValue(RegistryKey key, const char* name, uint32_t type, const uint8_t* data,
                            uint32_t size) override {
        return RegSetValueExA(ToHkey(key), name, 0, type, data, size);
    }

    RegistryResult EnumValue(RegistryKey key, uint32_t index, char* name, uint32_t* nameLength,
                             uint32_t* type, uint8_t* data, uint32_t* dataLength) override {
        DWORD nameCount = nameLength != nullptr ? *nameLength : 0;
        DWORD valueType = 0;
        DWORD dataCount = dataLength != nullptr ? *dataLength : 0;
        const LONG result =
            RegEnumValueA(ToHkey(key), index, name, nameLength != nullptr ? &nameCount : nullptr,
                          nullptr, &valueType, data, dataLength != nullptr ? &dataCount : nullptr);
        if (nameLength != nullptr) {
            *nameLength = nameCount;
        }
        if (type != nullptr) {
            *type = valueType;
        }
        if (dataLength != nullptr) {
            *dataLength = dataCount;
        }
        return result;
    }

    RegistryResult CloseKey(RegistryKey key) override { return RegCloseKey(ToHkey(key)); }
};

} // namespace

Registry& SystemRegistry() {
    static Win32Registry registry;
    return registry;
}

} // namespace pixlor::system
