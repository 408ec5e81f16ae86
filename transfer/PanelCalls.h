// The host calls the transfer operations make around their work: their own
// panel's Control commands, the saved screen, the plain message boxes, the
// naming settings they read at the start, and the report-and-recover step
// after a failed camera operation.
#pragma once

#include <cstdint>

#include "plugin/CameraPanel.h"
#include "plugin/FarApi.h"
#include "transfer/NameTemplate.h"

namespace pixlor {

// The kind of picture a file holds, as DownloadPicture's isPhoto takes it, and
// the folder template ("PhotoPath" for photos, "ThumbPath" for thumbnails).
inline constexpr int kKindThumbnail = 0;
inline constexpr int kKindPhoto = 1;

// The longest path the system takes, with its terminator (MAX_PATH).
inline constexpr std::size_t kMaxPathBuffer = NM;

// Control on the panel itself.
int PanelControl(CameraPanel& panel, int command, void* param);
// FCTL_UPDATEPANEL (re-read, selection cleared) and FCTL_REDRAWPANEL.
void UpdateAndRedraw(CameraPanel& panel);
// This panel's or the other panel's PanelInfo; false (and a zeroed record)
// when the host refuses.
bool OwnPanelInfo(CameraPanel& panel, PanelInfo& info);
bool OtherPanelInfo(CameraPanel& panel, PanelInfo& info);

// Saves the whole screen; the handle may be null outside a host.
HANDLE SaveWholeScreen();
// Restores the screen once and forgets the handle.
void RestoreSavedScreen(HANDLE& screen);

// Message with no buttons of its own (flags may name the host's buttons);
// `helpTopic` null for none. The host's answer, or -1 without a host.
int ShowLines(FarDword flags, const char* helpTopic, const char* const* lines, int count);

// The "Errors" report of the camera's codes (restoring the saved screen
// first), then Disconnect, whose own failure is reported the same way.
void ReportAndRecover(Camera& camera, HANDLE& screen);
// Disconnect alone; its failure is reported, its success restores the screen.
void Recover(Camera& camera, HANDLE& screen);

// The settings the names of copied files are made from, read once per operation.
struct NamingSettings {
    char photoPrefix[kNameBufferSize] = {};
    char thumbPrefix[kNameBufferSize] = {};
    char photoPath[kNameBufferSize] = {};
    char thumbPath[kNameBufferSize] = {};
    uint32_t photoDigits = 3;
    uint32_t thumbDigits = 3;

    static NamingSettings Read();
    const char* Prefix(int kind) const { return kind == kKindPhoto ? photoPrefix : thumbPrefix; }
    const char* FolderTemplate(int folderKind) const {
        return folderKind == kKindPhoto ? photoPath : thumbPath;
    }
    uint32_t Digits(int kind) const { return kind == kKindPhoto ? photoDigits : thumbDigits; }
};

} // namespace pixlor
