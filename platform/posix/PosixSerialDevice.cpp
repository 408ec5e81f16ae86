// The serial device on termios, keeping the Win32 contract the port relies on:
// an exclusive open, raw 8N1 without any flow control, and reads that return
// after the byte count or after the total time-out.
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>

#include "platform/SystemBackends.h"
#include "platform/posix/SerialPath.h"
#include "platform/posix/WindowsErrors.h"

namespace pixlor::system {
namespace {

bool SpeedCode(uint32_t baudRate, speed_t& code) {
    struct Entry {
        uint32_t rate;
        speed_t code;
    };
    static constexpr Entry kSpeeds[] = {
        {1200, B1200},   {2400, B2400},   {4800, B4800},     {9600, B9600},     {19200, B19200},
        {38400, B38400}, {57600, B57600}, {115200, B115200}, {230400, B230400},
    };
    for (const Entry& e : kSpeeds) {
        if (e.rate == baudRate) {
            code = e.code;
            return true;
        }
    }
    return false;
}

uint32_t SpeedRate(speed_t code) {
    for (uint32_t rate : {1200u, 2400u, 4800u, 9600u, 19200u, 38400u, 57600u, 115200u, 230400u}) {
        speed_t c = 0;
        if (SpeedCode(rate, c) && c == code) {
            return rate;
        }
    }
    return 0;
}

class PosixSerialDevice final : public SerialDevice {
public:
    ~PosixSerialDevice() override { Close(); }

    bool Open(const char* name) override {
        Close();
        const std::string path = SerialDevicePath(name, std::getenv("PIXLOR_DEVICES"));
        if (path.empty()) {
            return Fail(ENOENT);
        }
        const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            return Fail(errno);
        }
        // Win32 opens a port exclusively. flock keeps out every cooperating
        // process, TIOCEXCL also those that do not lock (except root).
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::ioctl(fd, TIOCEXCL) != 0) {
            const int error = errno;
            ::close(fd);
            return Fail(error);
        }
        fd_ = fd;
        return true;
    }

    bool Purge(uint32_t mask) override {
        // The abort bits stop overlapped operations, which this device never has.
        const bool rx = (mask & kPurgeRxClear) != 0;
        const bool tx = (mask & kPurgeTxClear) != 0;
        if (!rx && !tx) {
            return true;
        }
        const int queue = rx && tx ? TCIOFLUSH : rx ? TCIFLUSH : TCOFLUSH;
        return ::tcflush(fd_, queue) == 0 || Fail(errno);
    }

    bool GetLine(LineSetting& out) override {
        termios tio{};
        if (::tcgetattr(fd_, &tio) != 0) {
            return Fail(errno);
        }
        out.baudRate = SpeedRate(::cfgetospeed(&tio));
        switch (tio.c_cflag & CSIZE) {
        case CS5:
            out.byteSize = 5;
            break;
        case CS6:
            out.byteSize = 6;
            break;
        case CS7:
            out.byteSize = 7;
            break;
        default:
            out.byteSize = 8;
            break;
        }
        out.parity = (tio.c_cflag & PARENB) == 0 ? 0 : (tio.c_cflag & PARODD) != 0 ? 1 : 2;
        out.stopBits = (tio.c_cflag & CSTOPB) != 0 ? 2 : 0;
        out.abortOnError = abortOnError_;
        return true;
    }

    bool SetLine(const LineSetting& setting) override {
        termios tio{};
        if (::tcgetattr(fd_, &tio) != 0) {
            return Fail(errno);
        }
        speed_t speed = 0;
        if (!SpeedCode(setting.baudRate, speed) || setting.byteSize < 5 || setting.byteSize > 8 ||
            setting.parity > 2 || setting.stopBits == 1 || setting.stopBits > 2) {
            return Fail(EINVAL);
        }
        ::cfmakeraw(&tio);
        tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS | HUPCL);
        static constexpr tcflag_t kSizes[] = {CS5, CS6, CS7, CS8};
        tio.c_cflag |= kSizes[setting.byteSize - 5] | CLOCAL | CREAD;
        if (setting.parity != 0) {
            tio.c_cflag |= PARENB | (setting.parity == 1 ? PARODD : 0);
        }
        if (setting.stopBits == 2) {
            tio.c_cflag |= CSTOPB;
        }
        // No software flow control: 0x11 is the camera's refusal byte and XON.
        tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
        tio.c_cc[VMIN] = 0;
        tio.c_cc[VTIME] = 0;
        if (::cfsetispeed(&tio, speed) != 0 || ::cfsetospeed(&tio, speed) != 0 ||
            ::tcsetattr(fd_, TCSANOW, &tio) != 0) {
            return Fail(errno);
        }
        abortOnError_ = setting.abortOnError;
        return true;
    }

    bool SetTimeouts(const CommTimeouts& timeouts) override {
        if (fd_ < 0) {
            return Fail(EBADF);
        }
        timeouts_ = timeouts;
        return true;
    }

    bool Read(void* buffer, uint32_t count, uint32_t& got) override {
        got = 0;
        if (fd_ < 0) {
            return Fail(EBADF);
        }
        using Clock = std::chrono::steady_clock;
        const auto limit = ReadTimeoutMs(timeouts_, count);
        const auto deadline = Clock::now() + std::chrono::milliseconds(limit.value_or(0));
        auto* out = static_cast<uint8_t*>(buffer);
        while (got < count) {
            int wait = -1;
            if (limit) {
                const auto left =
                    std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
                if (left.count() <= 0) {
                    break; // timed out: success with fewer bytes, as on Win32
                }
                wait = left.count() > 60000 ? 60000 : static_cast<int>(left.count());
            }
            pollfd p{fd_, POLLIN, 0};
            const int ready = ::poll(&p, 1, wait);
            if (ready < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return Fail(errno);
            }
            if (ready == 0) {
                continue; // the loop checks the deadline
            }
            if ((p.revents & POLLIN) == 0) {
                return Fail((p.revents & POLLNVAL) != 0 ? EBADF : EIO); // hang-up or line error
            }
            const ssize_t n = ::read(fd_, out + got, count - got);
            if (n < 0) {
                if (errno == EINTR || errno == EAGAIN) {
                    continue;
                }
                return Fail(errno);
            }
            if (n == 0) {
                return Fail(EIO); // the other end hung up
            }
            got += static_cast<uint32_t>(n);
        }
        return true;
    }

    bool Write(const void* buffer, uint32_t count, uint32_t& put) override {
        put = 0;
        if (fd_ < 0) {
            return Fail(EBADF);
        }
        const auto* in = static_cast<const uint8_t*>(buffer);
        while (put < count) {
            const ssize_t n = ::write(fd_, in + put, count - put);
            if (n < 0) {
                if (errno == EINTR) {
                    continue;
                }
                if (errno == EAGAIN) {
                    // Writes never time out: wait until the driver takes more.
                    pollfd p{fd_, POLLOUT, 0};
                    if (::poll(&p, 1, -1) < 0 && errno != EINTR) {
                        return Fail(errno);
                    }
                    continue;
                }
                return Fail(errno);
            }
            put += static_cast<uint32_t>(n);
        }
        return true;
    }

    bool ClearErrors() override { return true; } // termios keeps no error state to clear

    void Close() override {
        if (fd_ >= 0) {
            ::ioctl(fd_, TIOCNXCL);
            ::close(fd_); // releases the flock too
            fd_ = -1;
        }
    }

    uint32_t LastError() const override { return lastError_; }

private:
    bool Fail(int error) {
        lastError_ = WindowsError(error, ErrnoSource::SerialPort);
        return false;
    }

    int fd_ = -1;
    CommTimeouts timeouts_{};
    bool abortOnError_ = false;
    uint32_t lastError_ = 0;
};

class Factory final : public SerialDeviceFactory {
public:
    std::unique_ptr<SerialDevice> NewDevice() override {
        return std::make_unique<PosixSerialDevice>();
    }
};

} // namespace

SerialDeviceFactory& SerialDevices() {
    static Factory factory;
    return factory;
}

} // namespace pixlor::system
