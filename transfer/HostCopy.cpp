#include "transfer/HostCopy.h"

#include <algorithm>
#include <string>

#include "camera/LinkStatus.h"
#include "platform/Platform.h"
#include "platform/Sleeper.h"
#include "plugin/Host.h"
#include "plugin/MessageIds.h"
#include "plugin/Messages.h"
#include "transfer/PanelCalls.h"
#include "transfer/ProgressBox.h"

namespace pixlor {
namespace {

constexpr int kShownPathLength = 60;
constexpr int kLines = 4;

class HostCopyBox {
public:
    HostCopyBox(const std::string& path, EscPoll& esc) : esc_(esc) {
        ShortenPath(path, kShownPathLength, path_);
        lines_[0] = MessageText(MHostCopyTitle);
        lines_[1] = path_;
        lines_[2] = percent_;
        lines_[3] = MessageText(MPressEscToAbort);
    }

    bool Update(uint32_t received, uint32_t size) {
        const bool esc = esc_.Pressed();
        if (esc) {
            lines_[3] = MessageText(MAborting);
        }
        // A fixed format and at most ten digits: the buffer holds any value.
        const auto percent = static_cast<int>(PercentOf(received, size));
        if (hostFunctions.sprintf != nullptr) {
            hostFunctions.sprintf(percent_, "%02d%%", percent);
        }
        ShowLines(0, nullptr, lines_, kLines);
        return !esc;
    }

private:
    char path_[kMaxPathBuffer] = {};
    char percent_[16] = "00%";
    const char* lines_[kLines] = {};
    EscPoll& esc_;
};

bool ShiftDown() {
    Keyboard* keyboard = CurrentPlatform().keyboard;
    return keyboard != nullptr && keyboard->ShiftDown();
}

bool Stops(int32_t status) {
    using namespace linkstatus;
    return status == kPhotoDownload || status == kThumbnailDownload || status == kPhotoFile ||
           status == kThumbnailFile;
}

bool Aborted(int32_t status) {
    return status == linkstatus::kPhotoCancelled || status == linkstatus::kThumbnailCancelled;
}

} // namespace

int CopyRequestedFiles(CameraPanel& panel, PluginPanelItem* items, int count,
                       const char* destination) {
    if (!panel.camera || (items == nullptr && count > 0) || destination == nullptr) {
        return 0;
    }
    const OperationTiming timing;
    Camera& camera = *panel.camera;
    HANDLE screen = SaveWholeScreen();
    bool photo = panel.viewKind == kViewPhotos;
    if (ShiftDown()) {
        photo = !photo;
    }

    bool allCopied = true;
    EscPoll esc; // one for every file: the release of a press skips no other file
    for (int i = 0; i < count; ++i) {
        PluginPanelItem& item = items[i];
        if ((item.FindData.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            // A virtual folder has no picture of its own to copy.
            allCopied = false;
            continue;
        }
        const uint32_t number = item.UserData + 1;
        if (!camera.LoadPictureInfo(number, false)) {
            RestoreSavedScreen(screen);
            if (camera.Connected() && !camera.Disconnect()) {
                ShowCameraError(camera.Codes(), screen);
            }
            return 0;
        }
        const char* fileName = item.FindData.cFileName;
        const std::string name(fileName, std::find(fileName, fileName + NM, '\0'));
        const std::string path = std::string(destination) + "\\" + name;
        if (path.size() >= kMaxPathBuffer) {
            // Never handed to the system: the file could not be created there.
            camera.SetLinkStatus(photo ? linkstatus::kPhotoFile : linkstatus::kThumbnailFile);
            ReportAndRecover(camera, screen);
            return 0;
        }
        HostCopyBox box(path, esc);
        const FileTime created{item.FindData.ftCreationTime.dwLowDateTime,
                               item.FindData.ftCreationTime.dwHighDateTime};
        const bool copied = camera.DownloadPicture(
            number, photo, i + 1 == count, path.c_str(),
            [&box](uint32_t received, uint32_t size) { return box.Update(received, size); },
            created);
        if (copied) {
            item.Flags &= ~PPIF_SELECTED;
            continue;
        }
        const int32_t status = camera.LinkStatus();
        if (Stops(status) || (!Aborted(status) && camera.NotAnswering())) {
            ReportAndRecover(camera, screen);
            return 0;
        }
        if (!Aborted(status)) {
            allCopied = false;
        }
    }
    RestoreSavedScreen(screen);
    // A failed or aborted last file leaves the camera at the high speed.
    if (camera.Connected() && !camera.Disconnect()) {
        ShowCameraError(camera.Codes(), screen);
    }
    return allCopied ? 1 : 0;
}

int CameraPanel::GetFiles(PluginPanelItem* items, int count, int /*move*/, char* destPath,
                          int /*opMode*/) {
    return CopyRequestedFiles(*this, items, count, destPath);
}

} // namespace pixlor
