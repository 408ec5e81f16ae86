#include "tools/camsim/PtyLink.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace camsim {
namespace {

std::uint32_t SpeedOf(speed_t code) {
    static constexpr std::array<std::pair<speed_t, std::uint32_t>, 19> kSpeeds{{
        {B50, 50},         {B75, 75},         {B110, 110},         {B150, 150},
        {B300, 300},       {B600, 600},       {B1200, 1200},       {B2400, 2400},
        {B4800, 4800},     {B9600, 9600},     {B19200, 19200},     {B38400, 38400},
        {B57600, 57600},   {B115200, 115200}, {B230400, 230400},   {B460800, 460800},
        {B500000, 500000}, {B921600, 921600}, {B1000000, 1000000},
    }};
    for (const auto& [c, speed] : kSpeeds) {
        if (c == code) {
            return speed;
        }
    }
    return 0;
}

std::string Errno(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

} // namespace

Clock::time_point PaceDeadline(Clock::time_point start, std::uint64_t sent, std::uint32_t speed) {
    if (speed == 0) {
        return start;
    }
    const auto us = sent * 10 * 1'000'000 / speed;
    return start + std::chrono::microseconds(us);
}

std::size_t PaceChunk(std::uint32_t speed) {
    return std::max<std::size_t>(1, speed / 1000);
}

bool PtyLink::Open(const std::string& linkPath, bool controllingTerminal, std::string& error) {
    Close();
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0) {
        error = Errno("posix_openpt");
        return false;
    }
    std::array<char, 256> name{};
    if (grantpt(master_) != 0 || unlockpt(master_) != 0 ||
        ptsname_r(master_, name.data(), name.size()) != 0) {
        error = Errno("pty set-up");
        Close();
        return false;
    }
    slavePath_ = name.data();
    slave_ = open(slavePath_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave_ < 0) {
        error = Errno("open slave");
        Close();
        return false;
    }
    // Our own controlling terminal, so that no later session leader (a wineserver)
    // adopts it and gets SIGHUP when we close.
    if (controllingTerminal && ioctl(slave_, TIOCSCTTY, 0) != 0) {
        error = Errno("TIOCSCTTY");
        Close();
        return false;
    }
    // Raw before any host opens it: a host keeps the flow control it finds, and XON/XOFF
    // would swallow the refusal byte 0x11.
    termios tio{};
    if (tcgetattr(slave_, &tio) != 0) {
        error = Errno("tcgetattr");
        Close();
        return false;
    }
    cfmakeraw(&tio);
    tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    tio.c_cflag |= CLOCAL | CREAD;
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;
    cfsetispeed(&tio, B19200);
    cfsetospeed(&tio, B19200);
    if (tcsetattr(slave_, TCSANOW, &tio) != 0) {
        error = Errno("tcsetattr");
        Close();
        return false;
    }
    int on = 1;
    if (ioctl(master_, TIOCPKT, &on) != 0) {
        error = Errno("TIOCPKT");
        Close();
        return false;
    }
    const int flags = fcntl(master_, F_GETFL);
    if (flags < 0 || fcntl(master_, F_SETFL, flags | O_NONBLOCK) != 0) {
        error = Errno("O_NONBLOCK");
        Close();
        return false;
    }
    if (!linkPath.empty()) {
        struct stat st {};
        if (lstat(linkPath.c_str(), &st) == 0) {
            if (!S_ISLNK(st.st_mode)) {
                error = linkPath + ": exists and is not a symbolic link";
                Close();
                return false;
            }
            unlink(linkPath.c_str());
        }
        if (symlink(slavePath_.c_str(), linkPath.c_str()) != 0) {
            error = Errno(("symlink " + linkPath).c_str());
            Close();
            return false;
        }
        linkPath_ = linkPath;
    }
    lineFreeAt_ = Clock::now();
    return true;
}

void PtyLink::Close() {
    if (!linkPath_.empty()) {
        std::array<char, PATH_MAX> target{};
        const ssize_t n = readlink(linkPath_.c_str(), target.data(), target.size() - 1);
        if (n > 0 && slavePath_ == std::string(target.data(), static_cast<std::size_t>(n))) {
            unlink(linkPath_.c_str());
        }
        linkPath_.clear();
    }
    if (slave_ >= 0) {
        close(slave_);
        slave_ = -1;
    }
    if (master_ >= 0) {
        close(master_);
        master_ = -1;
    }
}

void PtyLink::WaitDrained(std::chrono::milliseconds timeout) const {
    const auto until = Clock::now() + timeout;
    std::this_thread::sleep_until(
        std::max(Clock::now() + std::chrono::milliseconds(10), lineFreeAt_));
    int queued = 0;
    while (slave_ >= 0 && ioctl(slave_, TIOCINQ, &queued) == 0 && queued > 0 &&
           Clock::now() < until) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

std::uint32_t PtyLink::HostSpeed() const {
    termios tio{};
    if (master_ < 0 || tcgetattr(master_, &tio) != 0) {
        return 0;
    }
    return SpeedOf(cfgetospeed(&tio));
}

bool PtyLink::Read(Bytes& data, bool& purged) {
    std::array<std::uint8_t, 4097> buf{};
    bool any = false;
    while (master_ >= 0) {
        const ssize_t n = read(master_, buf.data(), buf.size());
        if (n <= 0) {
            if (n < 0 && errno == EINTR) {
                continue;
            }
            break;
        }
        any = true;
        // Packet mode: a status byte first; 0 means data follows.
        if (buf[0] == TIOCPKT_DATA) {
            data.insert(data.end(), buf.begin() + 1, buf.begin() + n);
        } else if (buf[0] & TIOCPKT_FLUSHREAD) {
            purged = true;
        }
    }
    return any;
}

bool PtyLink::Write(std::span<const std::uint8_t> bytes, std::uint32_t speed, bool pace,
                    const std::atomic<bool>& stop, Clock::time_point lineStart) {
    pace = pace && speed > 0;
    const auto now = Clock::now();
    const auto start = std::max(lineStart == Clock::time_point{} ? now : lineStart, lineFreeAt_);
    const std::size_t chunk = pace ? PaceChunk(speed) : bytes.size();
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const std::size_t len = std::min(chunk, bytes.size() - sent);
        if (pace) {
            // A byte reaches the host no earlier than it would over the real line.
            const auto due = PaceDeadline(start, sent + len, speed);
            while (!stop && Clock::now() < due) {
                std::this_thread::sleep_until(
                    std::min(due, Clock::now() + std::chrono::milliseconds(50)));
            }
        }
        std::size_t done = 0;
        while (done < len) {
            if (stop || master_ < 0) {
                return false;
            }
            const ssize_t n = write(master_, bytes.data() + sent + done, len - done);
            if (n > 0) {
                done += static_cast<std::size_t>(n);
            } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
                pollfd p{master_, POLLOUT, 0};
                poll(&p, 1, 50);
            } else {
                return false;
            }
        }
        sent += len;
    }
    lineFreeAt_ = pace ? PaceDeadline(start, bytes.size(), speed) : Clock::now();
    return true;
}

} // namespace camsim
