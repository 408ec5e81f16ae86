#include <windows.h>

#include "platform/SystemBackends.h"

namespace pixlor::system {
namespace {

class Win32Keyboard final : public Keyboard {
public:
    bool ShiftDown() override { return (GetAsyncKeyState(VK_SHIFT) & 0x8000) != 0; }
};

} // namespace

Keyboard& SystemKeyboard() {
    static Win32Keyboard keyboard;
    return keyboard;
}

} // namespace pixlor::system
