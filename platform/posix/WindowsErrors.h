// The Windows error code a failed POSIX call reports in place of its errno.
// The same errno reads differently by what failed, as the Win32 calls would
// have failed on it: a file, a folder, the registry's file, a serial port.
#pragma once

#include <cstdint>

namespace pixlor::system {

enum class ErrnoSource : uint8_t { File, Folder, Registry, SerialPort };

uint32_t WindowsError(int error, ErrnoSource source);

} // namespace pixlor::system
