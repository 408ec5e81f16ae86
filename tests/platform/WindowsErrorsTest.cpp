// The errno translation where the source of the failure decides the code: the
// cells that differ between a file, a folder, the registry and a serial port.
#include <cerrno>

#include <gtest/gtest.h>

#include "platform/SystemError.h"
#include "platform/posix/WindowsErrors.h"

namespace pixlor::system {
namespace {

constexpr int kUnlistedErrno = EXDEV;

struct Cell {
    int error;
    ErrnoSource source;
    uint32_t code;
};

TEST(WindowsErrors, TheSourceDecidesWhereWin32WouldHaveFailedDifferently) {
    const Cell cells[] = {
        // CreateFile's "file exists" against CreateDirectory's "already exists".
        {EEXIST, ErrnoSource::File, syserr::kFileExists},
        {EEXIST, ErrnoSource::Folder, syserr::kAlreadyExists},
        {EEXIST, ErrnoSource::Registry, syserr::kWriteFault},
        // A missing registry file or port is not found; a file's missing folder is a path.
        {ENOENT, ErrnoSource::File, syserr::kPathNotFound},
        {ENOENT, ErrnoSource::Registry, syserr::kFileNotFound},
        {ENOENT, ErrnoSource::SerialPort, syserr::kFileNotFound},
        // A port held by another process is access denied, as Win32's exclusive open.
        {EBUSY, ErrnoSource::SerialPort, syserr::kAccessDenied},
        {EBUSY, ErrnoSource::File, syserr::kGenFailure},
        // A hung-up line is a device that is not ready, which counts as gone.
        {EIO, ErrnoSource::SerialPort, syserr::kNotReady},
        {EIO, ErrnoSource::File, syserr::kWriteFault},
        {ENOSPC, ErrnoSource::Folder, syserr::kDiskFull},
        {ENOSPC, ErrnoSource::SerialPort, syserr::kInvalidFunction},
        {EINVAL, ErrnoSource::Registry, syserr::kWriteFault},
        // No error at all is a success only for the port.
        {0, ErrnoSource::SerialPort, syserr::kSuccess},
        {0, ErrnoSource::File, syserr::kGenFailure},
        // What no row names.
        {kUnlistedErrno, ErrnoSource::File, syserr::kGenFailure},
        {kUnlistedErrno, ErrnoSource::Registry, syserr::kWriteFault},
        {kUnlistedErrno, ErrnoSource::SerialPort, syserr::kInvalidFunction},
    };
    for (const Cell& c : cells) {
        EXPECT_EQ(WindowsError(c.error, c.source), c.code)
            << "errno " << c.error << ", source " << static_cast<int>(c.source);
    }
    EXPECT_TRUE(syserr::DeviceGone(WindowsError(EIO, ErrnoSource::SerialPort)));
}

} // namespace
} // namespace pixlor::system
