// Start-up of the plugin: what SetStartupInfo and GetPluginInfo do, and the
// module-wide list of serial ports the system has.
#pragma once

#include <cstdint>

#include "host/FarApi.h"

namespace pixlor {

inline constexpr int kPortCount = 8; // COM1 to COM8
inline constexpr int kPortSlotCount = 16;
inline constexpr int kPortSlotSize = 16;

// 1 for each of COM1 (index 0) to COM8 that the system lists at start-up.
extern uint8_t portPresent[kPortCount];

// Keeps the host's records, builds the settings root and finds the ports.
void StartPlugin(const PluginStartupInfo& info);

// When the start-up could not read the system's list of ports (a registry
// error, not a list that is absent), each opening reads it again until it can.
void RetryFailedPortScan();

// Registers the disk-menu and configuration entries.
void FillPluginInfo(PluginInfo& info);

} // namespace pixlor
