#include "transfer/PanelCalls.h"

#include "plugin/Host.h"
#include "plugin/Messages.h"

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
