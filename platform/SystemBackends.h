// The system's backend of each seam. Each is defined in its own file of
// platform/posix or platform/win32; SystemPlatform() gathers them.
#pragma once

#include "platform/Platform.h"

namespace pixlor::system {

SerialDeviceFactory& SerialDevices();
Sleeper& SystemSleeper();
Clock& SystemClock();
FileSystem& Files();
Registry& SystemRegistry();
Console& SystemConsole();
Keyboard& SystemKeyboard();

} // namespace pixlor::system
