// Where "COMn" lives on a POSIX system, and how long a read of the Win32 kind
// may wait. Pure functions, so both have table tests.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/SerialDevice.h"

namespace pixlor::system {

// "COMn" (n from 1) → `devicesDir`/comN when `devicesDir` is set and not empty,
// else /dev/ttyS{n-1}. Empty for any other name.
std::string SerialDevicePath(std::string_view name, const char* devicesDir);

// The total time-out of a read of `count` bytes, as Win32 computes it:
// constant + multiplier × count ms. None (wait for the whole count) when both
// are 0. The interval time-out is not supported; the port always sets it to 0.
std::optional<uint64_t> ReadTimeoutMs(const CommTimeouts& timeouts, uint32_t count);

} // namespace pixlor::system
