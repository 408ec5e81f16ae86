#include "host/Host.h"

#include <algorithm>
#include <cstring>

namespace pixlor {

PluginStartupInfo hostInfo{};
FarStandardFunctions hostFunctions{};

namespace {

// Copies min(declared size, our size) bytes; the rest of `target` stays zero.
template <typename Record> void CopyRecord(Record& target, const Record* source) {
    target = Record{};
    if (source == nullptr || source->StructSize <= 0) {
        return;
    }
    const auto size = std::min(static_cast<std::size_t>(source->StructSize), sizeof(Record));
    std::memcpy(static_cast<void*>(&target), static_cast<const void*>(source), size);
}

} // namespace

void KeepHostRecords(const PluginStartupInfo& info) {
    // Read FSF before hostInfo is overwritten: `info` may be hostInfo itself.
    const FarStandardFunctions* functions =
        info.StructSize > static_cast<int>(offsetof(PluginStartupInfo, FSF)) ? info.FSF : nullptr;
    FarStandardFunctions functionsCopy{};
    CopyRecord(functionsCopy, functions);
    PluginStartupInfo infoCopy{};
    CopyRecord(infoCopy, &info);
    hostFunctions = functionsCopy;
    hostInfo = infoCopy;
    hostInfo.FSF = &hostFunctions;
}

void ForgetHostRecords() {
    hostInfo = PluginStartupInfo{};
    hostFunctions = FarStandardFunctions{};
}

const char* MessageText(int number) {
    if (hostInfo.GetMsg == nullptr) {
        return "";
    }
    const char* text = hostInfo.GetMsg(hostInfo.ModuleNumber, number);
    return text != nullptr ? text : "";
}

} // namespace pixlor
