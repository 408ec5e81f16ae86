// Placeholder until the console backend lands: no input is ever pending.
#include "platform/SystemBackends.h"

namespace pixlor::system {
namespace {

class QuietConsole final : public Console {
public:
    bool PendingEvents(uint32_t& count) override { return (count = 0), true; }
    bool ReadEvent(ConsoleEvent&, uint32_t& read) override { return (read = 0), false; }
};

} // namespace

Console& SystemConsole() {
    static QuietConsole console;
    return console;
}

} // namespace pixlor::system
