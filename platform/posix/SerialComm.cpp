#include "platform/posix/SerialComm.h"

#include <dirent.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string_view>

namespace pixlor::system {
namespace {

// The decimal number after `prefix`, without sign or leading zero; -1 otherwise.
int NumberAfter(std::string_view name, std::string_view prefix) {
    if (!name.starts_with(prefix)) {
        return -1;
    }
    name.remove_prefix(prefix.size());
    if (name.empty() || name.size() > 4 || (name.size() > 1 && name.front() == '0')) {
        return -1;
    }
    int n = 0;
    for (const char c : name) {
        if (c < '0' || c > '9') {
            return -1;
        }
        n = n * 10 + (c - '0');
    }
    return n;
}

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};

} // namespace

std::vector<SerialCommEntry> ListSerialDevicesIn(const char* devicesFolder) {
    const bool ownFolder = devicesFolder != nullptr;
    const std::string folder = ownFolder ? devicesFolder : "/dev";
    std::vector<SerialCommEntry> entries;
    std::unique_ptr<DIR, DirCloser> dir(opendir(folder.c_str()));
    if (!dir) {
        return entries;
    }
    while (const dirent* entry = readdir(dir.get())) {
        const std::string_view name = entry->d_name;
        const int n = ownFolder ? NumberAfter(name, "com") : NumberAfter(name, "ttyS") + 1;
        if (n < 1) {
            continue;
        }
        SerialCommEntry found;
        found.number = n;
        found.devicePath = folder + "/" + std::string(name);
        found.valueName = "\\Device\\Serial" + std::to_string(n - 1);
        found.data = "COM" + std::to_string(n);
        entries.push_back(std::move(found));
    }
    std::sort(
        entries.begin(), entries.end(),
        [](const SerialCommEntry& a, const SerialCommEntry& b) { return a.number < b.number; });
    return entries;
}

std::vector<SerialCommEntry> ListSerialDevices() {
    const char* folder = std::getenv("PIXLOR_DEVICES");
    return ListSerialDevicesIn(folder != nullptr && folder[0] != '\0' ? folder : nullptr);
}

} // namespace pixlor::system
