// The registry on POSIX: one REGEDIT4 text file, read at every open of a key so
// that processes see each other's writes, and replaced atomically (a temporary
// file in the same folder, fsync, rename) at every write. The file is
// $PIXLOR_REGISTRY, else $XDG_CONFIG_HOME/pixlor/registry.reg (~/.config when
// unset). A file that exists without the REGEDIT4 header is not ours: it reads
// as empty and is never replaced. HKLM\HARDWARE\DEVICEMAP\SERIALCOMM is not in
// the file; it lists the serial devices that exist (SerialComm.h).
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/Registry.h"
#include "platform/posix/RegFile.h"

namespace pixlor::system {

// Where the registry file lies, from the environment at the time of the call.
std::string RegistryFilePath();

class PosixRegistry final : public Registry {
public:
    RegistryResult CreateKey(RegistryKey root, const char* path, uint32_t access,
                             RegistryKey& key) override;
    RegistryResult OpenKey(RegistryKey root, const char* path, uint32_t access,
                           RegistryKey& key) override;
    RegistryResult QueryValue(RegistryKey key, const char* name, uint32_t* type, uint8_t* data,
                              uint32_t* size) override;
    RegistryResult SetValue(RegistryKey key, const char* name, uint32_t type, const uint8_t* data,
                            uint32_t size) override;
    RegistryResult EnumValue(RegistryKey key, uint32_t index, char* name, uint32_t* nameLength,
                             uint32_t* type, uint8_t* data, uint32_t* dataLength) override;
    RegistryResult CloseKey(RegistryKey key) override;

private:
    struct OpenedKey {
        std::string path; // full, e.g. "HKEY_CURRENT_USER\Software\Pixlor"
        uint32_t access = 0;
        bool devices = false;               // the SERIALCOMM list, read-only
        std::vector<regfile::Value> values; // as read when the key was opened
    };

    RegistryResult Resolve(RegistryKey root, const char* path, std::string& full) const;
    RegistryResult Open(RegistryKey root, const char* path, uint32_t access, bool create,
                        RegistryKey& key);
    const OpenedKey* Find(RegistryKey key) const;

    std::map<RegistryKey, OpenedKey> opened_;
    RegistryKey next_ = 0x100;
};

} // namespace pixlor::system
