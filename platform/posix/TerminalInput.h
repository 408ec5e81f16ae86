// Console input on POSIX: the bytes a terminal has queued, turned into key
// records the Esc poll understands.
#pragma once

#include <termios.h>

#include <deque>
#include <string_view>
#include <vector>

#include "platform/Console.h"

namespace pixlor::system {

// Decodes bytes that are all already queued. A lone ESC, one that nothing
// follows in these bytes, is the Esc key (character 27). ESC [ ... and ESC O x
// are the escape sequences of other keys: each becomes one key record with
// character 0. ESC followed by another byte is that key with Alt: one record
// with the byte's character. Every other byte is a key with its character.
// Terminals report presses only, so every record is a key-down.
std::vector<ConsoleEvent> DecodeTerminalBytes(std::string_view bytes);

// Polls one terminal descriptor without ever waiting. A descriptor that is not
// a terminal, or a terminal this process does not own the foreground of, has
// nothing pending. On first use the terminal is switched to non-canonical,
// non-echoing input (signals still work) so single keys arrive; the mode is
// restored when the object is destroyed, at exit for the system's console.
class TerminalConsole final : public Console {
public:
    explicit TerminalConsole(int fd) : fd_(fd) {}
    ~TerminalConsole() override;
    TerminalConsole(const TerminalConsole&) = delete;
    TerminalConsole& operator=(const TerminalConsole&) = delete;

    void TakeInTyped() override;
    bool PendingEvents(uint32_t& count) override;
    bool ReadEvent(ConsoleEvent& event, uint32_t& read) override;

private:
    bool Ready();
    void Drain();

    int fd_;
    bool checked_ = false;
    bool usable_ = false;
    bool modeChanged_ = false;
    termios saved_{};
    std::deque<ConsoleEvent> queue_;
};

} // namespace pixlor::system
