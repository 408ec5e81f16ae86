// A Windows FILETIME value (100-ns ticks since 1601-01-01) as two 32-bit halves,
// kept portable so the core never needs <windows.h>.
#pragma once

#include <cstdint>

namespace pixlor {

struct FileTime {
    uint32_t low = 0;
    uint32_t high = 0;

    uint64_t Ticks() const { return (uint64_t{high} << 32) | low; }
    static FileTime FromTicks(uint64_t ticks) {
        return FileTime{static_cast<uint32_t>(ticks), static_cast<uint32_t>(ticks >> 32)};
    }
    friend bool operator==(const FileTime&, const FileTime&) = default;
};

} // namespace pixlor
