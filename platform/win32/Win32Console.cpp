#include <windows.h>

#include "platform/SystemBackends.h"

namespace pixlor::system {
namespace {

// A faithful copy of the record: Wine's console gives Esc as VK 0x1B with
// character 0, and no character is made up for it here.
class Win32Console final : public Console {
public:
    void TakeInTyped() override {
        // The result does not matter: the wait itself makes the console read.
        WaitForSingleObject(GetStdHandle(STD_INPUT_HANDLE), 0);
    }

    bool PendingEvents(uint32_t& count) override {
        DWORD pending = 0;
        const BOOL ok = GetNumberOfConsoleInputEvents(GetStdHandle(STD_INPUT_HANDLE), &pending);
        count = ok ? pending : 0;
        return ok != FALSE;
    }

    bool ReadEvent(ConsoleEvent& event, uint32_t& read) override {
        INPUT_RECORD record{};
        DWORD delivered = 0;
        const BOOL ok = ReadConsoleInputA(GetStdHandle(STD_INPUT_HANDLE), &record, 1, &delivered);
        read = ok ? delivered : 0;
        if (!ok || delivered == 0) {
            return ok != FALSE;
        }
        event = ConsoleEvent{};
        event.isKey = record.EventType == KEY_EVENT;
        if (event.isKey) {
            event.keyDown = record.Event.KeyEvent.bKeyDown != FALSE;
            event.virtualKey = record.Event.KeyEvent.wVirtualKeyCode;
            event.character = record.Event.KeyEvent.uChar.AsciiChar;
        }
        return true;
    }
};

} // namespace

Console& SystemConsole() {
    static Win32Console console;
    return console;
}

} // namespace pixlor::system
