#include "platform/SystemBackends.h"

namespace pixlor {

const Platform& SystemPlatform() {
    static const Platform platform{
        &system::SerialDevices(),  &system::SystemSleeper(),  &system::SystemClock(),
        &system::Files(),          &system::SystemRegistry(), &system::SystemConsole(),
        &system::SystemKeyboard(),
    };
    return platform;
}

} // namespace pixlor
