// The host calls the transfer operations make around their work: their own
// panel's Control commands, the saved screen, the plain message boxes and the
// report-and-recover step
// after a failed camera operation.
#pragma once

#include <cstdint>
#include <vector>

#include "plugin/CameraPanel.h"
#include "plugin/FarApi.h"
#include "transfer/NameTemplate.h"
#include "transfer/NamingSettings.h"

namespace pixlor {

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

// The positions (UserData) of the selected pictures when the panel lists
// pictures; empty for a folder listing, whose items are no pictures.
std::vector<uint32_t> SelectedPicturePositions(CameraPanel& panel);
// Selects exactly the listed pictures at these positions (FCTL_SETSELECTION);
// after an update the host's panel has forgotten its selection.
void SelectPicturePositions(CameraPanel& panel, const std::vector<uint32_t>& positions);
// A path the system cannot hold is refused before any call: the report's
// system error then names the cause (ERROR_FILENAME_EXCED_RANGE).
void NotePathTooLong();

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

} // namespace pixlor
