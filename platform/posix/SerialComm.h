// The serial devices that HKLM\HARDWARE\DEVICEMAP\SERIALCOMM lists on POSIX,
// from the same places the serial backend opens: the entries com1, com2, ...
// of $PIXLOR_DEVICES when it is set, else /dev/ttyS0 (COM1), /dev/ttyS1, ...
// An entry is listed when it exists, even as a link whose target is missing
// (the camera emulator may not be running yet), as Wine lists its ports.
#pragma once

#include <string>
#include <vector>

namespace pixlor::system {

struct SerialCommEntry {
    int number = 0;         // n of COMn, from 1
    std::string devicePath; // where the device is
    std::string valueName;  // "\Device\Serial<n-1>", as Windows names it
    std::string data;       // "COMn"
};

// Sorted by number. `devicesFolder` null: the /dev/ttyS* devices.
std::vector<SerialCommEntry> ListSerialDevicesIn(const char* devicesFolder);
// From $PIXLOR_DEVICES, or /dev when it is unset or empty.
std::vector<SerialCommEntry> ListSerialDevices();

} // namespace pixlor::system
