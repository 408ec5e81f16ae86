#include <sys/prctl.h>
#include <time.h>

#include <cerrno>

#include "platform/SystemBackends.h"

namespace pixlor::system {
namespace {

class PosixSleeper final : public Sleeper {
public:
    void Sleep(uint32_t milliseconds) override {
        // The default timer slack (50 us) lengthens every 1 ms pause of a packet
        // by up to 5 %; the pauses are meant as given. Per thread, so set here.
        thread_local const bool tight = prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL) == 0;
        (void)tight;
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
