#include "platform/posix/SerialPath.h"

namespace pixlor::system {

std::string SerialDevicePath(std::string_view name, const char* devicesDir) {
    if (name.size() < 4 || name.size() > 6 || name.substr(0, 3) != "COM") {
        return {};
    }
    unsigned number = 0;
    for (char c : name.substr(3)) {
        if (c < '0' || c > '9') {
            return {};
        }
        number = number * 10 + static_cast<unsigned>(c - '0');
    }
    if (number == 0) {
        return {};
    }
    if (devicesDir != nullptr && *devicesDir != '\0') {
        return std::string(devicesDir) + "/com" + std::to_string(number);
    }
    return "/dev/ttyS" + std::to_string(number - 1);
}

std::optional<uint64_t> ReadTimeoutMs(const CommTimeouts& timeouts, uint32_t count) {
    if (timeouts.readTotalMultiplierMs == 0 && timeouts.readTotalConstantMs == 0) {
        return std::nullopt;
    }
    return uint64_t{timeouts.readTotalConstantMs} +
           uint64_t{timeouts.readTotalMultiplierMs} * count;
}

} // namespace pixlor::system
