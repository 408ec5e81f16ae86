#include <time.h>

#include <cerrno>

#include "platform/SystemBackends.h"

namespace pixlor::system {
namespace {

class PosixSleeper final : public Sleeper {
public:
    void Sleep(uint32_t milliseconds) override {
        timespec left{static_cast<time_t>(milliseconds / 1000),
                      static_cast<long>(milliseconds % 1000) * 1000000L};
        // Resume after signals so a pause is never cut short.
        while (nanosleep(&left, &left) != 0 && errno == EINTR) {
        }
    }
};

} // namespace

Sleeper& SystemSleeper() {
    static PosixSleeper sleeper;
    return sleeper;
}

} // namespace pixlor::system
