#include "plugin/DialogItems.h"

#include <algorithm>
#include <cstring>

#include "plugin/Host.h"

namespace pixlor {

namespace {

// Item types whose Selected slot holds an address rather than a state.
bool HoldsAddress(int type) {
    return type == DI_EDIT || type == DI_FIXEDIT || type == DI_PSWEDIT || type == DI_COMBOBOX ||
           type == DI_LISTBOX || type == DI_USERCONTROL;
}

} // namespace

void BuildDialogItems(const DialogItemSpec* specs, FarDialogItem* items, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        const DialogItemSpec& spec = specs[i];
        FarDialogItem& item = items[i];
        std::memset(static_cast<void*>(&item), 0, sizeof item);
        item.Type = spec.Type;
        item.X1 = spec.X1;
        item.Y1 = spec.Y1;
        item.X2 = spec.X2;
        item.Y2 = spec.Y2;
        item.Focus = spec.Focus;
        if (HoldsAddress(item.Type)) {
            item.VBuf = reinterpret_cast<void*>(spec.Selected);
        } else {
            item.Selected = static_cast<int>(spec.Selected);
        }
        item.Flags = spec.Flags;
        item.DefaultButton = spec.DefaultButton;
        const char* text = spec.Data < kFirstTextAddress ? MessageText(static_cast<int>(spec.Data))
                                                         : reinterpret_cast<const char*>(spec.Data);
        if (text != nullptr) {
            const std::size_t length = std::min(std::strlen(text), sizeof item.Data - 1);
            std::memcpy(item.Data, text, length);
        }
    }
}

} // namespace pixlor
