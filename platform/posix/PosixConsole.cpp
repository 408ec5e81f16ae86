#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/SystemBackends.h"
#include "platform/posix/TerminalInput.h"

namespace pixlor::system {
namespace {

constexpr char kEsc = 27;

uint16_t VirtualKeyOf(char c) {
    if (c >= 'a' && c <= 'z') {
        return static_cast<uint16_t>(c - 'a' + 'A');
    }
    if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) {
        return static_cast<uint16_t>(c);
    }
    switch (c) {
    case kEsc:
        return 0x1B;
    case '\r':
    case '\n':
        return 0x0D; // VK_RETURN
    case '\t':
        return 0x09;
    case '\b':
    case 0x7F:
        return 0x08; // VK_BACK
    case ' ':
        return 0x20;
    default:
        return 0;
    }
}

ConsoleEvent Key(char character, uint16_t virtualKey) {
    ConsoleEvent event;
    event.isKey = true;
    event.keyDown = true;
    event.virtualKey = virtualKey;
    event.character = character;
    return event;
}

// The length of the CSI sequence at the start of `s` (which begins "ESC ["):
// parameter bytes, intermediate bytes, one final byte; all of `s` if cut short.
size_t CsiLength(std::string_view s) {
    size_t i = 2;
    while (i < s.size() && s[i] >= 0x30 && s[i] <= 0x3F) {
        ++i;
    }
    while (i < s.size() && s[i] >= 0x20 && s[i] <= 0x2F) {
        ++i;
    }
    return i < s.size() ? i + 1 : s.size();
}

} // namespace

std::vector<ConsoleEvent> DecodeTerminalBytes(std::string_view bytes) {
    std::vector<ConsoleEvent> events;
    size_t i = 0;
    while (i < bytes.size()) {
        const char c = bytes[i];
        if (c != kEsc) {
            events.push_back(Key(c, VirtualKeyOf(c)));
            ++i;
            continue;
        }
        const std::string_view rest = bytes.substr(i);
        if (rest.size() == 1 || rest[1] == kEsc) {
            events.push_back(Key(kEsc, 0x1B));
            ++i;
        } else if (rest[1] == '[') {
            events.push_back(Key(0, 0));
            i += CsiLength(rest);
        } else if (rest[1] == 'O') {
            events.push_back(Key(0, 0));
            i += rest.size() >= 3 ? 3 : rest.size();
        } else {
            events.push_back(Key(rest[1], VirtualKeyOf(rest[1])));
            i += 2;
        }
    }
    return events;
}

TerminalConsole::~TerminalConsole() {
    if (modeChanged_) {
        tcsetattr(fd_, TCSANOW, &saved_);
    }
}

bool TerminalConsole::Ready() {
    if (checked_) {
        return usable_;
    }
    checked_ = true;
    if (!isatty(fd_)) {
        return false;
    }
    // A background process would be stopped by reading its controlling
    // terminal or changing its mode.
    const pid_t foreground = tcgetpgrp(fd_);
    if (foreground >= 0 && foreground != getpgrp()) {
        checked_ = false; // may come to the foreground later
        return false;
    }
    if (tcgetattr(fd_, &saved_) != 0) {
        return false;
    }
    termios raw = saved_;
    raw.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO));
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    if (tcsetattr(fd_, TCSANOW, &raw) != 0) {
        return false;
    }
    modeChanged_ = true;
    usable_ = true;
    return true;
}

void TerminalConsole::Drain() {
    int available = 0;
    if (ioctl(fd_, FIONREAD, &available) != 0 || available <= 0) {
        return;
    }
    std::string bytes(static_cast<size_t>(available), '\0');
    ssize_t got = -1;
    do {
        got = ::read(fd_, bytes.data(), bytes.size());
    } while (got < 0 && errno == EINTR);
    if (got <= 0) {
        return;
    }
    bytes.resize(static_cast<size_t>(got));
    for (const ConsoleEvent& event : DecodeTerminalBytes(bytes)) {
        queue_.push_back(event);
    }
}

void TerminalConsole::TakeInTyped() {
    if (Ready()) {
        Drain();
    }
}

bool TerminalConsole::PendingEvents(uint32_t& count) {
    if (Ready()) {
        Drain();
    }
    count = static_cast<uint32_t>(queue_.size());
    return true;
}

bool TerminalConsole::ReadEvent(ConsoleEvent& event, uint32_t& read) {
    read = 0;
    if (queue_.empty() && Ready()) {
        Drain();
    }
    if (queue_.empty()) {
        return true;
    }
    event = queue_.front();
    queue_.pop_front();
    read = 1;
    return true;
}

Console& SystemConsole() {
    static TerminalConsole console(STDIN_FILENO);
    return console;
}

} // namespace pixlor::system
