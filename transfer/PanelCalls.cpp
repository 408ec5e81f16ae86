#include "transfer/PanelCalls.h"

#include <algorithm>

#include "platform/Platform.h"
#include "platform/SystemError.h"
#include "plugin/Host.h"
#include "plugin/Messages.h"
#include "transfer/TransferList.h"

namespace pixlor {

int PanelControl(CameraPanel& panel, int command, void* param) {
    if (hostInfo.Control == nullptr) {
        return 0;
    }
    return hostInfo.Control(static_cast<HANDLE>(&panel), command, param);
}

void UpdateAndRedraw(CameraPanel& panel) {
    PanelControl(panel, FCTL_UPDATEPANEL, nullptr);
    PanelControl(panel, FCTL_REDRAWPANEL, nullptr);
}

bool OwnPanelInfo(CameraPanel& panel, PanelInfo& info) {
    info = PanelInfo{};
    if (PanelControl(panel, FCTL_GETPANELINFO, &info) != 0) {
        return true;
    }
    info = PanelInfo{};
    return false;
}

bool OtherPanelInfo(CameraPanel& panel, PanelInfo& info) {
    info = PanelInfo{};
    if (PanelControl(panel, FCTL_GETANOTHERPANELINFO, &info) != 0) {
        return true;
    }
    info = PanelInfo{};
    return false;
}

namespace {

bool ListsPictures(const CameraPanel& panel) {
    return (panel.listingFlags & (kListingPictures | kListingInsideFolder)) != 0;
}

bool IsPicture(const PluginPanelItem& item) {
    // The host's ".." carries no picture, whatever its UserData.
    return (item.FindData.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

} // namespace

std::vector<uint32_t> SelectedPicturePositions(CameraPanel& panel) {
    std::vector<uint32_t> positions;
    PanelInfo info;
    if (!ListsPictures(panel) || !OwnPanelInfo(panel, info)) {
        return positions;
    }
    for (int k = 0; info.PanelItems != nullptr && k < info.ItemsNumber; ++k) {
        const PluginPanelItem& item = info.PanelItems[k];
        const uint32_t position = item.UserData; // the record is packed
        if ((item.Flags & PPIF_SELECTED) != 0 && IsPicture(item)) {
            positions.push_back(position);
        }
    }
    return positions;
}

void SelectPicturePositions(CameraPanel& panel, const std::vector<uint32_t>& positions) {
    PanelInfo info;
    if (!ListsPictures(panel) || !OwnPanelInfo(panel, info)) {
        return;
    }
    for (int k = 0; info.PanelItems != nullptr && k < info.ItemsNumber; ++k) {
        PluginPanelItem& item = info.PanelItems[k];
        const uint32_t position = item.UserData;
        const bool chosen = IsPicture(item) && std::find(positions.begin(), positions.end(),
                                                         position) != positions.end();
        item.Flags = chosen ? (item.Flags | PPIF_SELECTED) : (item.Flags & ~PPIF_SELECTED);
    }
    PanelControl(panel, FCTL_SETSELECTION, &info);
}

void NotePathTooLong() {
    if (FileSystem* files = CurrentPlatform().files; files != nullptr) {
        files->NoteFailure(syserr::kFilenameTooLong);
    }
}

HANDLE SaveWholeScreen() {
    return hostInfo.SaveScreen != nullptr ? hostInfo.SaveScreen(0, 0, -1, -1) : nullptr;
}

void RestoreSavedScreen(HANDLE& screen) {
    if (screen != nullptr && hostInfo.RestoreScreen != nullptr) {
        hostInfo.RestoreScreen(screen);
    }
    screen = nullptr;
}

int ShowLines(FarDword flags, const char* helpTopic, const char* const* lines, int count) {
    if (hostInfo.Message == nullptr) {
        return -1;
    }
    return hostInfo.Message(hostInfo.ModuleNumber, flags, helpTopic, lines, count, 0);
}

void ReportAndRecover(Camera& camera, HANDLE& screen) {
    ShowCameraError(camera.Codes(), screen);
    if (!camera.Disconnect()) {
        ShowCameraError(camera.Codes(), screen);
    }
}

void Recover(Camera& camera, HANDLE& screen) {
    if (camera.Disconnect()) {
        RestoreSavedScreen(screen);
    } else {
        ShowCameraError(camera.Codes(), screen);
    }
}

} // namespace pixlor
