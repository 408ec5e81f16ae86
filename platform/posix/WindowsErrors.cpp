#include "platform/posix/WindowsErrors.h"

#include <algorithm>
#include <cerrno>
#include <iterator>

#include "platform/SystemError.h"

namespace pixlor::system {
namespace {

using namespace syserr;

constexpr uint32_t kTooManyOpenFiles = 4;

struct Row {
    int error;
    uint32_t file;
    uint32_t folder;
    uint32_t registry;
    uint32_t serialPort;
};

// One row an errno: its code for a file, a folder, the registry and a serial port.
constexpr Row kRows[] = {
    {0, kGenFailure, kGenFailure, kWriteFault, kSuccess},
    {EEXIST, kFileExists, kAlreadyExists, kWriteFault, kInvalidFunction},
    {ENOENT, kPathNotFound, kPathNotFound, kFileNotFound, kFileNotFound},
    {ENOTDIR, kPathNotFound, kPathNotFound, kPathNotFound, kPathNotFound},
    {EACCES, kAccessDenied, kAccessDenied, kAccessDenied, kAccessDenied},
    {EPERM, kAccessDenied, kAccessDenied, kAccessDenied, kAccessDenied},
    {EROFS, kAccessDenied, kAccessDenied, kAccessDenied, kInvalidFunction},
    {EISDIR, kAccessDenied, kAccessDenied, kAccessDenied, kInvalidFunction},
    // Another process holds the port (TIOCEXCL) or its lock (flock).
    {EBUSY, kGenFailure, kGenFailure, kWriteFault, kAccessDenied},
    {EWOULDBLOCK, kGenFailure, kGenFailure, kWriteFault, kAccessDenied},
    {ENOSPC, kDiskFull, kDiskFull, kDiskFull, kInvalidFunction},
    {EDQUOT, kDiskFull, kDiskFull, kDiskFull, kInvalidFunction},
    {ENAMETOOLONG, kFilenameTooLong, kFilenameTooLong, kFilenameTooLong, kFilenameTooLong},
    {EBADF, kInvalidHandle, kInvalidHandle, kWriteFault, kInvalidHandle},
    {EINVAL, kInvalidParameter, kInvalidParameter, kWriteFault, kInvalidParameter},
    {EMFILE, kTooManyOpenFiles, kTooManyOpenFiles, kWriteFault, kInvalidFunction},
    {ENFILE, kTooManyOpenFiles, kTooManyOpenFiles, kWriteFault, kInvalidFunction},
    // A closed pseudo-terminal's other end reads as a device that is not ready.
    {EIO, kWriteFault, kWriteFault, kWriteFault, kNotReady},
    {ENXIO, kGenFailure, kGenFailure, kWriteFault, kFileNotFound},
    {ENODEV, kGenFailure, kGenFailure, kWriteFault, kFileNotFound},
};
// Every other errno.
constexpr Row kOther = {0, kGenFailure, kGenFailure, kWriteFault, kInvalidFunction};

} // namespace

uint32_t WindowsError(int error, ErrnoSource source) {
    const Row* found = std::find_if(std::begin(kRows), std::end(kRows),
                                    [error](const Row& row) { return row.error == error; });
    const Row& row = found != std::end(kRows) ? *found : kOther;
    switch (source) {
    case ErrnoSource::File:
        return row.file;
    case ErrnoSource::Folder:
        return row.folder;
    case ErrnoSource::Registry:
        return row.registry;
    case ErrnoSource::SerialPort:
        return row.serialPort;
    }
    return row.file;
}

} // namespace pixlor::system
