#include "commands/ViewPicture.h"

#include <algorithm>
#include <string>

#include "commands/FarTransferView.h"
#include "commands/HostCopy.h"
#include "host/Host.h"
#include "host/PanelCalls.h"
#include "platform/Platform.h"
#include "platform/SystemError.h"

namespace pixlor {
namespace {

// MkTemp takes the first characters of the prefix only.
constexpr char kTempPrefix[] = "PXV";
// The viewed copy is no file the user keeps: not in the view history either.
constexpr FarDword kViewerFlags = VF_DELETEONCLOSE | VF_DISABLEHISTORY;
constexpr int kWholeScreen = -1;

// The item under the cursor when it is a picture; the host's ".." and the
// dated folders are folders.
bool CurrentPicture(CameraPanel& panel, PluginPanelItem& picture) {
    PanelInfo info;
    if (!OwnPanelInfo(&panel, info) || info.PanelItems == nullptr || info.CurrentItem < 0 ||
        info.CurrentItem >= info.ItemsNumber) {
        return false;
    }
    picture = info.PanelItems[info.CurrentItem];
    return (picture.FindData.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// A fresh folder of the system's temporary folder, named by the host.
bool MakeTempFolder(char (&folder)[NM]) {
    FileSystem* files = CurrentPlatform().files;
    if (files == nullptr) {
        return false;
    }
    if (hostFunctions.MkTemp == nullptr || hostFunctions.MkTemp(folder, kTempPrefix) == nullptr) {
        folder[0] = '\0';
        files->NoteFailure(syserr::kPathNotFound);
        return false;
    }
    folder[NM - 1] = '\0';
    return folder[0] != '\0' && files->MakeDirectory(folder);
}

// The folder is this operation's own: whatever lies in it was made here.
void RemoveTempFolder(const char* folder, const std::string* copy = nullptr) {
    if (FileSystem* files = CurrentPlatform().files; files != nullptr) {
        if (copy != nullptr) {
            files->RemoveFile(copy->c_str());
        }
        files->RemoveEmptyDirectory(folder);
    }
}

} // namespace

int ViewCurrentPicture(CameraPanel& panel) {
    PluginPanelItem picture{};
    if (!panel.camera || !CurrentPicture(panel, picture)) {
        return 0;
    }
    char folder[NM] = {};
    if (!MakeTempFolder(folder)) {
        // Reported as the file of the picture that could not be made.
        panel.camera->SetLinkStatus(Camera::FileFailure(panel.viewKind));
        FarTransferView(panel).ReportError(panel.camera->Codes());
        return 1;
    }
    if (CopyRequestedFiles(panel, &picture, 1, folder) != 1) {
        // Failed (reported) or abandoned with Esc: nothing to show, and the
        // copy removed what it had written.
        RemoveTempFolder(folder);
        return 1;
    }
    const char* name = picture.FindData.cFileName;
    const std::string shownName(name, std::find(name, name + NM, '\0'));
    const std::string path = std::string(folder) + "\\" + shownName;
    const int shown = hostInfo.Viewer != nullptr
                          ? hostInfo.Viewer(path.c_str(), shownName.c_str(), 0, 0, kWholeScreen,
                                            kWholeScreen, kViewerFlags)
                          : 0;
    if (shown == 0) {
        // Only a viewer that opened removes its file when it closes.
        RemoveTempFolder(folder, &path);
    }
    return 1;
}

} // namespace pixlor
