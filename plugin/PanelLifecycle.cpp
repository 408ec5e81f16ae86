// Opening and closing the panel: the refusals, the reading of the camera's
// whole picture list before the panel is shown, and the open-panel count.
#include <cstdint>
#include <memory>

#include "host/Host.h"
#include "host/MessageIds.h"
#include "host/Messages.h"
#include "host/OpenPanels.h"
#include "platform/Sleeper.h"
#include "plugin/CameraPanel.h"
#include "plugin/Startup.h"
#include "transfer/Recovery.h"

namespace pixlor {
namespace {

bool AnyPortPresent() {
    for (const uint8_t present : portPresent) {
        if (present != 0) {
            return true;
        }
    }
    return false;
}

// The warning that refuses to open a panel; the host supplies its OK button.
void Refuse(int message, const char* helpTopic) {
    const char* lines[2] = {MessageText(MTitle), MessageText(message)};
    ShowLines(FMSG_WARNING | FMSG_MB_OK, helpTopic, lines, 2, 1);
}

} // namespace

int CameraPanel::ConnectAndLoad() {
    HANDLE savedScreen = SaveWholeScreen();
    messageLines[0] = MessageText(MTitle);
    messageLines[1] = MessageText(MReadingCamera);
    ShowLines(0, nullptr, messageLines, 2); // stays on screen while the camera is read

    Camera& cam = *camera;
    // Reports the failure, then hands the camera back (reporting that too if it fails).
    auto fail = [&] {
        ReportAndRecover(cam,
                         [&](const CameraCodes& codes) { ShowCameraError(codes, savedScreen); });
        return -1;
    };

    if (!cam.LoadPictureTable()) {
        return fail();
    }
    const uint32_t count = cam.PictureCount();
    if (count == 0) {
        RestoreSavedScreen(savedScreen);
        messageLines[1] = MessageText(MCameraEmpty);
        ShowLines(FMSG_MB_OK, nullptr, messageLines, 2);
        if (!cam.Disconnect()) {
            ShowCameraError(cam.Codes(), savedScreen);
        }
        return -1;
    }
    for (uint64_t n = 1; n <= count; ++n) {
        if (!cam.LoadPictureInfo(static_cast<uint32_t>(n), n == count)) {
            return fail();
        }
    }
    if (!cam.Disconnect()) {
        ShowCameraError(cam.Codes(), savedScreen);
        return -1;
    }
    // The status box stays until the host draws the panel; the saved screen
    // is not put back over it.
    ++openPanelCount;
    return 1;
}

HANDLE OpenPlugin() {
    const OperationTiming timing; // the pauses of the reading last what they should
    RetryFailedPortScan();
    if (!AnyPortPresent()) {
        Refuse(MNoSerialPort, "NoSerialPort");
        return INVALID_HANDLE_VALUE;
    }
    if (openPanelCount != 0) {
        Refuse(MOnePanelOnly, "MultiSession");
        return INVALID_HANDLE_VALUE;
    }
    auto panel = std::make_unique<CameraPanel>();
    if (panel->ConnectAndLoad() != 1) {
        return INVALID_HANDLE_VALUE; // the panel and its camera go here, once
    }
    return panel.release();
}

void ClosePlugin(CameraPanel* panel) {
    const OperationTiming timing; // a camera still connected is handed back
    delete panel;
    openPanelCount = 0;
}

} // namespace pixlor
