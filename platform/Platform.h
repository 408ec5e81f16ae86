// The one way the portable core reaches the operating system: a bundle of the
// small seams above. The product uses the system's backends; a test swaps in
// fakes for its own scope with ScopedPlatform.
#pragma once

#include <memory>

#include "platform/Clock.h"
#include "platform/Console.h"
#include "platform/FileSystem.h"
#include "platform/Keyboard.h"
#include "platform/Registry.h"
#include "platform/SerialDevice.h"
#include "platform/Sleeper.h"

namespace pixlor {

// Makes the device behind each ComPort.
class SerialDeviceFactory {
public:
    virtual ~SerialDeviceFactory() = default;
    virtual std::unique_ptr<SerialDevice> NewDevice() = 0;
};

struct Platform {
    SerialDeviceFactory* serial = nullptr;
    Sleeper* sleeper = nullptr;
    Clock* clock = nullptr;
    FileSystem* files = nullptr;
    Registry* registry = nullptr;
    Console* console = nullptr;
    Keyboard* keyboard = nullptr;
};

// The platform in force: the system's unless a ScopedPlatform is alive.
const Platform& CurrentPlatform();

// The system's backends (platform/posix or platform/win32, chosen by the build).
const Platform& SystemPlatform();

// Replaces the platform in force for its lifetime; members left null keep the
// platform that was in force before.
class ScopedPlatform {
public:
    explicit ScopedPlatform(const Platform& replacement);
    ~ScopedPlatform();
    ScopedPlatform(const ScopedPlatform&) = delete;
    ScopedPlatform& operator=(const ScopedPlatform&) = delete;

private:
    Platform previous_;
};

} // namespace pixlor
