#include "platform/SystemBackends.h"

namespace pixlor::system {
namespace {

// A terminal reports no key state, so Shift is never held down here.
class PosixKeyboard final : public Keyboard {
public:
    bool ShiftDown() override { return false; }
};

} // namespace

Keyboard& SystemKeyboard() {
    static PosixKeyboard keyboard;
    return keyboard;
}

} // namespace pixlor::system
