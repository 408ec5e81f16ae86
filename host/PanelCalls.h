// The Control commands the operations send to their own panel (`panel` is the
// handle the host knows the panel by): updates, redraws, the panel's records
// and its selection.
#pragma once

#include <cstdint>
#include <vector>

#include "host/FarApi.h"

namespace pixlor {

// Control on the panel itself.
int PanelControl(HANDLE panel, int command, void* param);
// FCTL_UPDATEPANEL (re-read, selection cleared) and FCTL_REDRAWPANEL.
void UpdateAndRedraw(HANDLE panel);
// This panel's or the other panel's PanelInfo; false (and a zeroed record)
// when the host refuses.
bool OwnPanelInfo(HANDLE panel, PanelInfo& info);
bool OtherPanelInfo(HANDLE panel, PanelInfo& info);

// The picture position the listing put into an item's UserData. A 64-bit
// host carries 8 bytes there; a value beyond 32 bits was never a position and
// reads as UINT32_MAX, the same as a 32-bit host's stray 0xFFFFFFFF.
uint32_t PicturePosition(const PluginPanelItem& item);

// The positions (UserData) of the selected pictures when the panel lists
// pictures (`listsPictures`); empty for a folder listing, whose items are no
// pictures.
std::vector<uint32_t> SelectedPicturePositions(HANDLE panel, bool listsPictures);
// Selects exactly the listed pictures at these positions (FCTL_SETSELECTION);
// after an update the host's panel has forgotten its selection.
void SelectPicturePositions(HANDLE panel, bool listsPictures,
                            const std::vector<uint32_t>& positions);

} // namespace pixlor
