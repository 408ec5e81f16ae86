// The state of the Shift key right now (GetAsyncKeyState(VK_SHIFT) & 0x8000).
#pragma once

namespace pixlor {

class Keyboard {
public:
    virtual ~Keyboard() = default;
    virtual bool ShiftDown() = 0;
};

} // namespace pixlor
