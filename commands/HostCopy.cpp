#include "commands/HostCopy.h"

#include <string>
#include <vector>

#include "commands/FarTransferView.h"
#include "platform/Platform.h"
#include "transfer/CopyAsNamed.h"

namespace pixlor {
namespace {

bool ShiftDown() {
    Keyboard* keyboard = CurrentPlatform().keyboard;
    return keyboard != nullptr && keyboard->ShiftDown();
}

} // namespace

int CopyRequestedFiles(CameraPanel& panel, PluginPanelItem* items, int count,
                       const char* destination) {
    if (!panel.camera || (items == nullptr && count > 0) || destination == nullptr) {
        return 0;
    }
    FarTransferView view(panel, CopyBox::FourLines);
    const PictureKind kind = ShiftDown() ? OtherKind(panel.viewKind) : panel.viewKind;
    std::vector<PanelItem> requested;
    for (int i = 0; i < count; ++i) {
        requested.push_back(ItemOf(items[i]));
    }
    const std::vector<bool> copied =
        CopyAsNamed(*panel.camera, view, std::string(destination) + "\\", kind, requested);
    bool allCopied = true;
    for (int i = 0; i < count; ++i) {
        if (copied[static_cast<std::size_t>(i)]) {
            items[i].Flags &= ~PPIF_SELECTED;
        } else {
            allCopied = false;
        }
    }
    return allCopied ? 1 : 0;
}

} // namespace pixlor
