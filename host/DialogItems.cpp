#include "host/DialogItems.h"

#include <cstring>

#include "host/Host.h"
#include "platform/BoundedText.h"

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
        const DialogItemSpec& entry = specs[i];
        FarDialogItem& item = items[i];
        std::memset(static_cast<void*>(&item), 0, sizeof item);
        item.Type = entry.Type;
        item.X1 = entry.X1;
        item.Y1 = entry.Y1;
        item.X2 = entry.X2;
        item.Y2 = entry.Y2;
        item.Focus = entry.Focus;
        if (HoldsAddress(item.Type)) {
            item.VBuf = reinterpret_cast<void*>(entry.Selected);
        } else {
            item.Selected = static_cast<int>(entry.Selected);
        }
        item.Flags = entry.Flags;
        item.DefaultButton = entry.DefaultButton;
        const char* text = entry.Data < kFirstTextAddress
                               ? MessageText(static_cast<int>(entry.Data))
                               : reinterpret_cast<const char*>(entry.Data);
        CopyBounded(item.Data, text);
    }
}

} // namespace pixlor
