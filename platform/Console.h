// Console input as the Esc poll reads it (GetStdHandle, a zero-time wait on the
// input handle, GetNumberOfConsoleInputEvents, ReadConsoleInputA). Never waits.
#pragma once

#include <cstdint>

namespace pixlor {

struct ConsoleEvent {
    bool isKey = false;   // a KEY_EVENT record
    bool keyDown = false; // key press (true) or release (false)
    uint16_t virtualKey = 0;
    char character = 0; // uChar.AsciiChar
};

class Console {
public:
    virtual ~Console() = default;
    // Lets the console take in what was typed, without waiting: a console that
    // reads its terminal only while a program waits on its input (Wine's) has
    // queued nothing before (WaitForSingleObject on the input handle, time 0).
    virtual void TakeInTyped() = 0;
    // GetNumberOfConsoleInputEvents on the standard input handle.
    virtual bool PendingEvents(uint32_t& count) = 0;
    // ReadConsoleInputA of one record; `read` is the number of records delivered.
    virtual bool ReadEvent(ConsoleEvent& event, uint32_t& read) = 0;
};

} // namespace pixlor
