// The plugin's panel: the host receives it from OpenPlugin as the panel handle
// and passes it back to every panel entry point. It owns the camera and holds
// the view state; the listing lives in plugin/, the keys and the host's copy
// in commands/, the copies and the deletion in transfer/.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

#include "camera/Camera.h"
#include "camera/PictureKind.h"
#include "host/FarApi.h"
#include "transfer/TransferList.h"

namespace pixlor {

// listingFlags bits of the panel (what its current listing shows).
inline constexpr uint32_t kListingPictures = 0x01;
inline constexpr uint32_t kListingFolders = 0x02;
inline constexpr uint32_t kListingInsideFolder = 0x04;

// Where the listed pictures' numbers start.
enum class NumberingMode : int8_t {
    AfterOtherPanel = 1, // after the largest of the other panel's files
    FromOne = 2,
};

class CameraPanel {
public:
    // Reads "SerialPort" and "BaudRate" and creates the camera; no traffic yet.
    CameraPanel();
    // Destroys the camera (it disconnects and closes the port) and the folders.
    ~CameraPanel();
    CameraPanel(const CameraPanel&) = delete;
    CameraPanel& operator=(const CameraPanel&) = delete;

    // Reads the camera's picture list with every picture's details; 1 on
    // success, -1 after the user has been told what failed.
    int ConnectAndLoad();

    // The panel's own entry points, one method each (the keys and the host's
    // copy act on the panel from commands/).
    void GetOpenPluginInfo(OpenPluginInfo& info);
    int SetDirectory(const char* name);
    int GetFindData(PluginPanelItem** items, int* count);
    void FreeFindData(PluginPanelItem* items, int count);

    // Title and text of the panel's status and notice boxes.
    const char* messageLines[2] = {nullptr, nullptr};
    // A deletion failed after the camera was told to delete: it may have done so
    // unseen, and the listed numbers may name other pictures than the camera's.
    bool listUncertain = false;
    // The kind of picture listed: its sizes, names and folders.
    PictureKind viewKind = PictureKind::Photo;
    std::unique_ptr<Camera> camera;
    // The entered folder, an index into `folders`; none at the top level.
    std::optional<std::size_t> currentFolder;
    // The folders of the last folder listing.
    FolderList folders;
    // kListingPictures, kListingFolders, kListingInsideFolder.
    uint8_t listingFlags = 0;
    NumberingMode numberingMode = NumberingMode::AfterOtherPanel;
};

// The host's entry points that create and end a panel.
HANDLE OpenPlugin();
void ClosePlugin(CameraPanel* panel);

} // namespace pixlor
