// Windows error codes that the core compares against or reports. The POSIX
// backends translate errno into these so the "Errors" box reads the same on
// both platforms.
#pragma once

#include <cstdint>

namespace pixlor::syserr {

inline constexpr uint32_t kSuccess = 0;
inline constexpr uint32_t kInvalidFunction = 1;
inline constexpr uint32_t kFileNotFound = 2;
inline constexpr uint32_t kPathNotFound = 3;
inline constexpr uint32_t kAccessDenied = 5;
inline constexpr uint32_t kInvalidHandle = 6;
inline constexpr uint32_t kNoMoreFiles = 18;
inline constexpr uint32_t kNotReady = 21;
inline constexpr uint32_t kBadCommand = 22;
inline constexpr uint32_t kWriteFault = 29;
inline constexpr uint32_t kGenFailure = 31;
inline constexpr uint32_t kSharingViolation = 32;
inline constexpr uint32_t kHandleDiskFull = 39;
inline constexpr uint32_t kFileExists = 80;
inline constexpr uint32_t kInvalidParameter = 87;
inline constexpr uint32_t kDiskFull = 112;
inline constexpr uint32_t kInvalidName = 123;
inline constexpr uint32_t kDirNotEmpty = 145;
inline constexpr uint32_t kAlreadyExists = 183;
inline constexpr uint32_t kFilenameTooLong = 206;
inline constexpr uint32_t kMoreData = 234;
inline constexpr uint32_t kNoMoreItems = 259;
inline constexpr uint32_t kDeviceNotConnected = 1167;
inline constexpr uint32_t kDeviceRemoved = 1617;

// The errors with which calls on an open serial port fail once its device is
// gone: a USB adapter pulled out (Windows), the other end of a pseudo-terminal
// closed (POSIX reports EIO as kNotReady).
inline bool DeviceGone(uint32_t error) {
    switch (error) {
    case kAccessDenied:
    case kNotReady:
    case kBadCommand:
    case kGenFailure:
    case kDeviceNotConnected:
    case kDeviceRemoved:
        return true;
    default:
        return false;
    }
}

} // namespace pixlor::syserr
