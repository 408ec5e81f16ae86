#include "commands/HostCopy.h"

#include <algorithm>
#include <string>

#include "camera/LinkStatus.h"
#include "commands/FarTransferView.h"
#include "commands/ProgressBox.h"
#include "host/Host.h"
#include "host/MessageIds.h"
#include "host/Messages.h"
#include "host/PanelCalls.h"
#include "platform/Platform.h"
#include "platform/Sleeper.h"
#include "transfer/DownloadFailure.h"
#include "transfer/PathLimit.h"

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

} // namespace

int CopyRequestedFiles(CameraPanel& panel, PluginPanelItem* items, int count,
                       const char* destination) {
    if (!panel.camera || (items == nullptr && count > 0) || destination == nullptr) {
        return 0;
    }
    const OperationTiming timing;
    Camera& camera = *panel.camera;
    FarTransferView view(panel);
    view.SaveScreen();
    const PictureKind kind = ShiftDown() ? OtherKind(panel.viewKind) : panel.viewKind;

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
        const bool closeAfter = false; // its download follows on the same connection
        if (!camera.LoadPictureInfo(number, closeAfter)) {
            view.RestoreScreen();
            HandBack(camera, view);
            return 0;
        }
        const char* fileName = item.FindData.cFileName;
        const std::string name(fileName, std::find(fileName, fileName + NM, '\0'));
        const std::string path = std::string(destination) + "\\" + name;
        if (path.size() >= kMaxPathBuffer) {
            // Never handed to the system: the file could not be created there.
            NotePathTooLong();
            camera.SetLinkStatus(Camera::FileFailure(kind));
            ReportAndRecover(camera, view);
            return 0;
        }
        HostCopyBox box(path, esc);
        const FileTime created{item.FindData.ftCreationTime.dwLowDateTime,
                               item.FindData.ftCreationTime.dwHighDateTime};
        const bool copied = camera.DownloadPicture(
            number, kind, i + 1 == count, path.c_str(),
            [&box](uint32_t received, uint32_t size) { return box.Update(received, size); },
            created);
        if (copied) {
            item.Flags &= ~PPIF_SELECTED;
            continue;
        }
        if (ClassifyDownloadFailure(camera) == DownloadFailure::Stops) {
            ReportAndRecover(camera, view);
            return 0;
        }
        // Passed over, also after Esc: the item stays selected, and a 1 would
        // make the host clear every selection.
        allCopied = false;
    }
    view.RestoreScreen();
    HandBack(camera, view);
    return allCopied ? 1 : 0;
}

} // namespace pixlor
