// Compact descriptions of host dialog items, turned into the host's records
// before each Dialog call.
#pragma once

#include <cstddef>
#include <cstdint>

#include "host/FarApi.h"

namespace pixlor {

// Data values below this are message numbers; others are text addresses.
inline constexpr uintptr_t kFirstTextAddress = 2000;

struct DialogItemSpec {
    uint8_t Type = 0;
    uint8_t X1 = 0;
    uint8_t Y1 = 0;
    uint8_t X2 = 0;
    uint8_t Y2 = 0;
    uint8_t Focus = 0;
    // A check or radio state; for an edit field the address of its history
    // name, for a masked field the address of its mask.
    uintptr_t Selected = 0;
    FarDword Flags = 0;
    uint8_t DefaultButton = 0;
    // A message number (below 2000) or the address of a NUL-terminated text.
    uintptr_t Data = 0;
};

inline uintptr_t TextAddress(const char* text) {
    return reinterpret_cast<uintptr_t>(text);
}

// Fills `count` host items from `count` specs. Texts longer than the item's
// 512-byte Data are cut to 511 characters.
void BuildDialogItems(const DialogItemSpec* specs, FarDialogItem* items, std::size_t count);

} // namespace pixlor
