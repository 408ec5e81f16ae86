#include "host/Host.h"

#include <algorithm>
#include <cstring>

namespace pixlor {

PluginStartupInfo hostInfo{};
FarStandardFunctions hostFunctions{};

namespace {

// Every slot after the name is pointer-wide, at a multiple of its width, in
// both layouts: a size that ends inside a slot does not hold that slot.
std::size_t WholeSlots(int structSize) {
    const auto size = static_cast<std::size_t>(structSize);
    return size - size % sizeof(void*);
}

// Copies the slots the declared size holds (at most our record); the rest of
// `target` stays zero, and nothing past the declared size is read.
template <typename Record> void CopyRecord(Record& target, const Record* source) {
    target = Record{};
    if (source == nullptr || source->StructSize <= 0) {
        return;
    }
    const auto size = std::min(WholeSlots(source->StructSize), sizeof(Record));
    std::memcpy(static_cast<void*>(&target), static_cast<const void*>(source), size);
}

} // namespace

void KeepHostRecords(const PluginStartupInfo& info) {
    // Read FSF before hostInfo is overwritten: `info` may be hostInfo itself.
    const bool hasFunctions =
        info.StructSize > 0 &&
        WholeSlots(info.StructSize) >= offsetof(PluginStartupInfo, FSF) + sizeof info.FSF;
    const FarStandardFunctions* functions = hasFunctions ? info.FSF : nullptr;
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
