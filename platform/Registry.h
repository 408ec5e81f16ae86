// The registry calls of the settings store, with Win32 results (0 on success,
// else a Windows error code such as 2, 234 or 259).
#pragma once

#include <cstdint>

namespace pixlor {

using RegistryKey = uintptr_t; // an open key; 0 is none
using RegistryResult = int32_t;

inline constexpr RegistryKey kHkeyCurrentUser = 0x80000001u;
inline constexpr RegistryKey kHkeyLocalMachine = 0x80000002u;

inline constexpr uint32_t kRegSz = 1;
inline constexpr uint32_t kRegDword = 4;

inline constexpr uint32_t kKeyQueryValue = 0x0001;
inline constexpr uint32_t kKeyEnumerateSubKeys = 0x0008;
inline constexpr uint32_t kKeyWrite = 0x20006;

class Registry {
public:
    virtual ~Registry() = default;
    // RegCreateKeyExA(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, &key,
    // nullptr).
    virtual RegistryResult CreateKey(RegistryKey root, const char* path, uint32_t access,
                                     RegistryKey& key) = 0;
    // RegOpenKeyExA(root, path, 0, access, &key).
    virtual RegistryResult OpenKey(RegistryKey root, const char* path, uint32_t access,
                                   RegistryKey& key) = 0;
    // RegQueryValueExA: `size` is the capacity in and the stored size out.
    virtual RegistryResult QueryValue(RegistryKey key, const char* name, uint32_t* type,
                                      uint8_t* data, uint32_t* size) = 0;
    // RegSetValueExA.
    virtual RegistryResult SetValue(RegistryKey key, const char* name, uint32_t type,
                                    const uint8_t* data, uint32_t size) = 0;
    // RegEnumValueA: name and data lengths are capacities in, lengths out.
    virtual RegistryResult EnumValue(RegistryKey key, uint32_t index, char* name,
                                     uint32_t* nameLength, uint32_t* type, uint8_t* data,
                                     uint32_t* dataLength) = 0;
    // RegCloseKey.
    virtual RegistryResult CloseKey(RegistryKey key) = 0;
};

} // namespace pixlor
