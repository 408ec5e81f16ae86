#include "plugin/Startup.h"

#include <algorithm>
#include <cstring>

#include "host/Host.h"
#include "host/MessageIds.h"
#include "settings/SettingsStore.h"

namespace pixlor {

uint8_t portPresent[kPortCount] = {};

namespace {

char portNames[kPortSlotCount][kPortSlotSize];
char portData[kPortSlotCount][kPortSlotSize];
int8_t portValueCount = 0;
bool portScanFailed = false;

const char* diskMenuStrings[1];
const char* configStrings[1];

void FindSerialPorts() {
    std::memset(portNames, 0, sizeof portNames);
    std::memset(portData, 0, sizeof portData);
    RegistryResult failure = 0;
    portValueCount = static_cast<int8_t>(ListRegistryValues(
        kHkeyLocalMachine, "HARDWARE\\DEVICEMAP\\SERIALCOMM", kPortSlotCount, kPortSlotSize,
        &portNames[0][0], kPortSlotSize, &portData[0][0], &failure));
    portScanFailed = failure != 0;
    std::memset(portPresent, 0, sizeof portPresent);
    if (hostFunctions.LStrnicmp == nullptr || hostFunctions.sscanf == nullptr) {
        return;
    }
    const int slots = std::clamp<int>(portValueCount, 0, kPortSlotCount);
    for (int i = 0; i < slots; ++i) {
        char* data = portData[i];
        data[kPortSlotSize - 1] = '\0';
        if (hostFunctions.LStrnicmp(data, "COM", 3) != 0) {
            continue;
        }
        int number = 0;
        if (hostFunctions.sscanf(data + 3, "%d", &number) == 1 && number >= 1 &&
            number <= kPortCount) {
            portPresent[number - 1] = 1;
        }
    }
}

} // namespace

void StartPlugin(const PluginStartupInfo& info) {
    KeepHostRecords(info);
    BuildSettingsRoot(hostInfo.RootKey != nullptr ? hostInfo.RootKey : "");
    FindSerialPorts();
}

void RetryFailedPortScan() {
    if (portScanFailed) {
        FindSerialPorts();
    }
}

void FillPluginInfo(PluginInfo& info) {
    diskMenuStrings[0] = MessageText(MPluginName);
    configStrings[0] = MessageText(MConfigName);
    info.StructSize = kPluginInfoSize;
    info.Flags = PF_DISABLEPANELS;
    info.DiskMenuStrings = diskMenuStrings;
    info.DiskMenuStringsNumber = 1;
    info.PluginConfigStrings = configStrings;
    info.PluginConfigStringsNumber = 1;
}

} // namespace pixlor
