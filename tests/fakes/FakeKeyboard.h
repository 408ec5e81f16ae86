// The Shift key as a test holds it, and how often it was asked for.
#pragma once

#include <cstdint>

#include "platform/Keyboard.h"

namespace pixlor {

class FakeKeyboard final : public Keyboard {
public:
    bool shift = false;
    uint32_t reads = 0;

    bool ShiftDown() override {
        ++reads;
        return shift;
    }
};

} // namespace pixlor
