#include "platform/posix/PosixRegistry.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "platform/SystemBackends.h"
#include "platform/SystemError.h"
#include "platform/posix/SerialComm.h"
#include "platform/posix/WindowsErrors.h"

namespace pixlor::system {
namespace {

constexpr RegistryResult kBadPathname = 161;
constexpr uint32_t kKeySetValue = 0x0002;
constexpr size_t kMaxFileSize = 16u << 20; // larger is not a registry file we wrote
constexpr const char* kCurrentUser = "HKEY_CURRENT_USER";
constexpr const char* kLocalMachine = "HKEY_LOCAL_MACHINE";
constexpr std::string_view kHardware = "HKEY_LOCAL_MACHINE\\HARDWARE";
constexpr std::string_view kDeviceMap = "HKEY_LOCAL_MACHINE\\HARDWARE\\DEVICEMAP";
constexpr std::string_view kSerialComm = "HKEY_LOCAL_MACHINE\\HARDWARE\\DEVICEMAP\\SERIALCOMM";

RegistryResult Fail(uint32_t code) {
    return static_cast<RegistryResult>(code);
}

class Fd {
public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    // Closes now and reports whether the close succeeded.
    bool Close() {
        const int fd = fd_;
        fd_ = -1;
        return fd < 0 || ::close(fd) == 0;
    }

private:
    int fd_;
};

// True when `path` is the hive or a key below `ancestor` (or `ancestor` itself).
bool IsWithin(std::string_view path, std::string_view ancestor) {
    return path.size() >= ancestor.size() &&
           regfile::SameName(path.substr(0, ancestor.size()), ancestor) &&
           (path.size() == ancestor.size() || path[ancestor.size()] == '\\');
}

bool IsHive(std::string_view path) {
    return path.find('\\') == std::string_view::npos;
}

std::string Folder(const std::string& file) {
    const size_t slash = file.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : file.substr(0, slash);
}

// Writes go to the file a link points at, so a linked registry file stays linked.
std::string WriteTarget(const std::string& file) {
    struct stat info {};
    if (lstat(file.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
        char resolved[PATH_MAX];
        if (realpath(file.c_str(), resolved) != nullptr) {
            return resolved;
        }
    }
    return file;
}

RegistryResult MakeFolders(const std::string& folder) {
    std::string partial;
    size_t at = 0;
    while (at != std::string::npos) {
        const size_t next = folder.find('/', at + 1);
        partial = folder.substr(0, next);
        at = next;
        if (partial.empty()) {
            continue;
        }
        if (mkdir(partial.c_str(), 0700) != 0 && errno != EEXIST) {
            return Fail(WindowsError(errno, ErrnoSource::Registry));
        }
    }
    return 0;
}

struct LoadedFile {
    bool exists = false;
    bool ours = true; // missing, or starts with the header
    std::vector<regfile::Key> keys;
};

RegistryResult Load(const std::string& file, LoadedFile& loaded) {
    Fd fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) {
        return errno == ENOENT || errno == ENOTDIR
                   ? 0
                   : Fail(WindowsError(errno, ErrnoSource::Registry));
    }
    loaded.exists = true;
    std::string text;
    char chunk[65536];
    while (true) {
        const ssize_t got = ::read(fd.get(), chunk, sizeof chunk);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return Fail(WindowsError(errno, ErrnoSource::Registry));
        }
        if (got == 0) {
            break;
        }
        text.append(chunk, static_cast<size_t>(got));
        if (text.size() > kMaxFileSize) {
            loaded.ours = false;
            return 0;
        }
    }
    regfile::Document document = regfile::Parse(text);
    loaded.ours = document.recognised;
    if (document.recognised) {
        loaded.keys = std::move(document.keys);
    }
    return 0;
}

bool WriteAll(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t put = ::write(fd, text.data() + done, text.size() - done);
        if (put < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        done += static_cast<size_t>(put);
    }
    return true;
}

// A temporary file beside the registry file, synced, then renamed over it:
// a reader or a crash sees the old file or the new one, never a part.
RegistryResult Save(const std::string& file, const std::vector<regfile::Key>& keys) {
    const std::string target = WriteTarget(file);
    const std::string folder = Folder(target);
    const size_t slash = target.rfind('/');
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    std::string temporary = folder + "/." + base + ".XXXXXX";
    Fd fd(mkstemp(temporary.data()));
    if (fd.get() < 0) {
        return Fail(WindowsError(errno, ErrnoSource::Registry));
    }
    struct stat existing {};
    const mode_t mode = stat(target.c_str(), &existing) == 0 ? (existing.st_mode & 07777) : 0600;
    int error = 0;
    if (fchmod(fd.get(), mode) != 0 || !WriteAll(fd.get(), regfile::Format(keys)) ||
        fsync(fd.get()) != 0) {
        error = errno;
    }
    if (!fd.Close() && error == 0) {
        error = errno;
    }
    if (error == 0 && rename(temporary.c_str(), target.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        unlink(temporary.c_str());
        return Fail(WindowsError(error, ErrnoSource::Registry));
    }
    Fd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0) {
        fsync(dir.get());
    }
    return 0;
}

// Serialises the read-modify-write of processes sharing the file.
class FolderLock {
public:
    explicit FolderLock(const std::string& folder)
        : fd_(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
        if (fd_.get() >= 0) {
            while (flock(fd_.get(), LOCK_EX) != 0 && errno == EINTR) {
            }
        }
    }

private:
    Fd fd_;
};

// Read-modify-write of the file under the folder lock. `change` edits the keys
// and says whether there is anything to write.
template <typename Change> RegistryResult Update(Change&& change) {
    const std::string file = RegistryFilePath();
    const std::string folder = Folder(WriteTarget(file));
    if (const RegistryResult made = MakeFolders(folder); made != 0) {
        return made;
    }
    FolderLock lock(folder);
    LoadedFile loaded;
    if (const RegistryResult read = Load(file, loaded); read != 0) {
        return read;
    }
    if (!loaded.ours) {
        return Fail(syserr::kAccessDenied);
    }
    if (!change(loaded.keys)) {
        return 0;
    }
    return Save(file, loaded.keys);
}

std::vector<regfile::Value> DeviceValues() {
    std::vector<regfile::Value> values;
    for (const SerialCommEntry& entry : ListSerialDevices()) {
        regfile::Value value;
        value.name = entry.valueName;
        value.type = kRegSz;
        value.data.assign(entry.data.begin(), entry.data.end());
        value.data.push_back(0);
        values.push_back(std::move(value));
    }
    return values;
}

} // namespace

std::string RegistryFilePath() {
    if (const char* file = std::getenv("PIXLOR_REGISTRY"); file != nullptr && file[0] != '\0') {
        return file;
    }
    std::string config;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && xdg[0] == '/') {
        config = xdg;
    } else {
        const char* home = std::getenv("HOME");
        if (home == nullptr || home[0] == '\0') {
            const passwd* user = getpwuid(getuid());
            home = user != nullptr ? user->pw_dir : "/tmp";
        }
        config = std::string(home) + "/.config";
    }
    return config + "/pixlor/registry.reg";
}

RegistryResult PosixRegistry::Resolve(RegistryKey root, const char* path, std::string& full) const {
    if (root == kHkeyCurrentUser) {
        full = kCurrentUser;
    } else if (root == kHkeyLocalMachine) {
        full = kLocalMachine;
    } else if (const OpenedKey* parent = Find(root)) {
        full = parent->path;
    } else {
        return Fail(syserr::kInvalidHandle);
    }
    const std::string_view sub = path == nullptr ? "" : path;
    if (sub.empty()) {
        return 0;
    }
    if (sub.front() == '\\' || sub.back() == '\\' || sub.find("\\\\") != std::string_view::npos) {
        return kBadPathname;
    }
    if (sub.find_first_of("\r\n") != std::string_view::npos) {
        return Fail(syserr::kInvalidParameter);
    }
    full += '\\';
    full += sub;
    return 0;
}

const PosixRegistry::OpenedKey* PosixRegistry::Find(RegistryKey key) const {
    auto it = opened_.find(key);
    return it == opened_.end() ? nullptr : &it->second;
}

RegistryResult PosixRegistry::Open(RegistryKey root, const char* path, uint32_t access, bool create,
                                   RegistryKey& key) {
    key = 0;
    OpenedKey opened;
    opened.access = access;
    if (const RegistryResult resolved = Resolve(root, path, opened.path); resolved != 0) {
        return resolved;
    }
    if (IsWithin(opened.path, kHardware)) {
        // Built from the machine, not stored: read-only.
        if (create) {
            return Fail(syserr::kAccessDenied);
        }
        if (regfile::SameName(opened.path, kSerialComm)) {
            opened.devices = true;
            opened.values = DeviceValues();
        } else if (!regfile::SameName(opened.path, kHardware) &&
                   !regfile::SameName(opened.path, kDeviceMap)) {
            return Fail(syserr::kFileNotFound);
        }
    } else if (create) {
        std::vector<regfile::Value> values;
        const RegistryResult updated = Update([&](std::vector<regfile::Key>& keys) {
            if (regfile::Key* existing = regfile::FindKey(keys, opened.path)) {
                values = existing->values;
                return false;
            }
            if (IsHive(opened.path) || regfile::KeyExists(keys, opened.path)) {
                return false;
            }
            keys.push_back(regfile::Key{opened.path, {}});
            return true;
        });
        if (updated != 0) {
            return updated;
        }
        opened.values = std::move(values);
    } else {
        LoadedFile loaded;
        if (const RegistryResult read = Load(RegistryFilePath(), loaded); read != 0) {
            return read;
        }
        if (!IsHive(opened.path) && !regfile::KeyExists(loaded.keys, opened.path)) {
            return Fail(syserr::kFileNotFound);
        }
        if (regfile::Key* found = regfile::FindKey(loaded.keys, opened.path)) {
            opened.values = std::move(found->values);
        }
    }
    key = next_;
    next_ += 4;
    opened_.emplace(key, std::move(opened));
    return 0;
}

RegistryResult PosixRegistry::CreateKey(RegistryKey root, const char* path, uint32_t access,
                                        RegistryKey& key) {
    const bool create = true;
    return Open(root, path, access, create, key);
}

RegistryResult PosixRegistry::OpenKey(RegistryKey root, const char* path, uint32_t access,
                                      RegistryKey& key) {
    const bool create = false;
    return Open(root, path, access, create, key);
}

RegistryResult PosixRegistry::QueryValue(RegistryKey key, const char* name, uint32_t* type,
                                         uint8_t* data, uint32_t* size) {
    const OpenedKey* opened = Find(key);
    if (opened == nullptr) {
        return Fail(syserr::kInvalidHandle);
    }
    if ((opened->access & kKeyQueryValue) == 0) {
        return Fail(syserr::kAccessDenied);
    }
    const std::string_view wanted = name == nullptr ? "" : name;
    auto value =
        std::find_if(opened->values.begin(), opened->values.end(),
                     [&](const regfile::Value& v) { return regfile::SameName(v.name, wanted); });
    if (value == opened->values.end()) {
        return Fail(syserr::kFileNotFound);
    }
    if (data != nullptr && size == nullptr) {
        return Fail(syserr::kInvalidParameter);
    }
    if (type != nullptr) {
        *type = value->type;
    }
    const auto needed = static_cast<uint32_t>(value->data.size());
    if (data != nullptr && *size < needed) {
        *size = needed;
        return Fail(syserr::kMoreData);
    }
    if (data != nullptr) {
        std::copy(value->data.begin(), value->data.end(), data);
    }
    if (size != nullptr) {
        *size = needed;
    }
    return 0;
}

RegistryResult PosixRegistry::SetValue(RegistryKey key, const char* name, uint32_t type,
                                       const uint8_t* data, uint32_t size) {
    auto it = opened_.find(key);
    if (it == opened_.end()) {
        return Fail(syserr::kInvalidHandle);
    }
    OpenedKey& opened = it->second;
    if ((opened.access & kKeySetValue) == 0 || opened.devices || IsWithin(opened.path, kHardware)) {
        return Fail(syserr::kAccessDenied);
    }
    regfile::Value value;
    value.name = name == nullptr ? "" : name;
    if (value.name.find_first_of("\r\n") != std::string::npos || (data == nullptr && size != 0)) {
        return Fail(syserr::kInvalidParameter); // a line-based file cannot hold such a name
    }
    value.type = type;
    if (data != nullptr) {
        value.data.assign(data, data + size);
    }
    std::vector<regfile::Value> values;
    const RegistryResult updated = Update([&](std::vector<regfile::Key>& keys) {
        regfile::Key* target = regfile::FindKey(keys, opened.path);
        if (target == nullptr) {
            keys.push_back(regfile::Key{opened.path, {}});
            target = &keys.back();
        }
        regfile::SetValue(*target, value);
        values = target->values;
        return true;
    });
    if (updated == 0) {
        opened.values = std::move(values);
    }
    return updated;
}

RegistryResult PosixRegistry::EnumValue(RegistryKey key, uint32_t index, char* name,
                                        uint32_t* nameLength, uint32_t* type, uint8_t* data,
                                        uint32_t* dataLength) {
    const OpenedKey* opened = Find(key);
    if (opened == nullptr) {
        return Fail(syserr::kInvalidHandle);
    }
    if ((opened->access & kKeyQueryValue) == 0) {
        return Fail(syserr::kAccessDenied);
    }
    if (index >= opened->values.size()) {
        return Fail(syserr::kNoMoreItems);
    }
    if (name == nullptr || nameLength == nullptr) {
        return Fail(syserr::kInvalidParameter);
    }
    const regfile::Value& value = opened->values[index];
    const auto nameNeeded = static_cast<uint32_t>(value.name.size());
    const auto dataNeeded = static_cast<uint32_t>(value.data.size());
    if (*nameLength <= nameNeeded) {
        return Fail(syserr::kMoreData);
    }
    if (data != nullptr && (dataLength == nullptr || *dataLength < dataNeeded)) {
        if (dataLength != nullptr) {
            *dataLength = dataNeeded;
        }
        return Fail(syserr::kMoreData);
    }
    std::memcpy(name, value.name.c_str(), value.name.size() + 1);
    *nameLength = nameNeeded;
    if (type != nullptr) {
        *type = value.type;
    }
    if (data != nullptr) {
        std::copy(value.data.begin(), value.data.end(), data);
    }
    if (dataLength != nullptr) {
        *dataLength = dataNeeded;
    }
    return 0;
}

RegistryResult PosixRegistry::CloseKey(RegistryKey key) {
    return opened_.erase(key) == 1 ? 0 : Fail(syserr::kInvalidHandle);
}

Registry& SystemRegistry() {
    static PosixRegistry registry;
    return registry;
}

} // namespace pixlor::system
