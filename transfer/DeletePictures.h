// Deletes pictures in the camera one at a time, with a two-line progress box,
// keeping the panel in step after every deletion. Not interruptible.
#pragma once

#include <optional>

#include "plugin/CameraPanel.h"
#include "transfer/TransferList.h"

namespace pixlor {

// Deletes the pictures of `list` in list order, or the panel's selection when
// there is none. Positions of the later items follow each deletion down. On a
// failure the camera's codes are reported, the camera is handed back, and the
// pictures deleted so far stay deleted.
bool DeletePictures(CameraPanel& panel, std::optional<TransferList> list = std::nullopt);

// After a deletion, lowers by one every position above the deleted one.
void FollowDeletion(TransferList& list, uint32_t deletedPosition);

} // namespace pixlor
