#include "host/PanelCalls.h"

#include <algorithm>

#include "host/Host.h"

namespace pixlor {

int PanelControl(HANDLE panel, int command, void* param) {
    if (hostInfo.Control == nullptr) {
        return 0;
    }
    return hostInfo.Control(panel, command, param);
}

void UpdateAndRedraw(HANDLE panel) {
    PanelControl(panel, FCTL_UPDATEPANEL, nullptr);
    PanelControl(panel, FCTL_REDRAWPANEL, nullptr);
}

namespace {

// A refused request leaves `info` empty, whatever the host wrote into it.
bool AskPanelInfo(HANDLE panel, int command, PanelInfo& info) {
    info = PanelInfo{};
    if (PanelControl(panel, command, &info) != 0) {
        return true;
    }
    info = PanelInfo{};
    return false;
}

} // namespace

bool OwnPanelInfo(HANDLE panel, PanelInfo& info) {
    return AskPanelInfo(panel, FCTL_GETPANELINFO, info);
}

bool OtherPanelInfo(HANDLE panel, PanelInfo& info) {
    return AskPanelInfo(panel, FCTL_GETANOTHERPANELINFO, info);
}

namespace {

bool IsPicture(const PluginPanelItem& item) {
    // The host's ".." carries no picture, whatever its UserData.
    return (item.FindData.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

} // namespace

uint32_t PicturePosition(const PluginPanelItem& item) {
    const FarUIntPtr data = item.UserData; // by value: the 32-bit record is packed
    return data <= UINT32_MAX ? static_cast<uint32_t>(data) : UINT32_MAX;
}

std::vector<uint32_t> SelectedPicturePositions(HANDLE panel, bool listsPictures) {
    std::vector<uint32_t> positions;
    PanelInfo info;
    if (!listsPictures || !OwnPanelInfo(panel, info)) {
        return positions;
    }
    for (int k = 0; info.PanelItems != nullptr && k < info.ItemsNumber; ++k) {
        const PluginPanelItem& item = info.PanelItems[k];
        const uint32_t position = PicturePosition(item);
        if ((item.Flags & PPIF_SELECTED) != 0 && IsPicture(item)) {
            positions.push_back(position);
        }
    }
    return positions;
}

void SelectPicturePositions(HANDLE panel, bool listsPictures,
                            const std::vector<uint32_t>& positions) {
    PanelInfo info;
    if (!listsPictures || !OwnPanelInfo(panel, info)) {
        return;
    }
    for (int k = 0; info.PanelItems != nullptr && k < info.ItemsNumber; ++k) {
        PluginPanelItem& item = info.PanelItems[k];
        const uint32_t position = PicturePosition(item);
        const bool chosen = IsPicture(item) && std::find(positions.begin(), positions.end(),
                                                         position) != positions.end();
        item.Flags = chosen ? (item.Flags | PPIF_SELECTED) : (item.Flags & ~PPIF_SELECTED);
    }
    PanelControl(panel, FCTL_SETSELECTION, &info);
}

} // namespace pixlor
