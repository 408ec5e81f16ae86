// Deletes pictures in the camera, one by one, with the panel following each
// deletion.
#pragma once

#include <optional>
#include <vector>

#include "camera/Camera.h"
#include "transfer/TransferList.h"
#include "transfer/TransferView.h"

namespace pixlor {

// Deletes the pictures of `list` in list order, or the panel's selection when
// there is none. Positions of the later items follow each deletion down. On a
// failure the camera's codes are reported, the camera is handed back, and the
// pictures deleted so far stay deleted; unless the camera refused the deletion
// (port flag 0x0004), the list may be stale (the view hears so). `following`, when given, holds the
// positions of other pictures, which follow every deletion made.
bool DeletePictures(Camera& camera, TransferView& view, const PanelView& panel,
                    std::optional<TransferList> list = std::nullopt,
                    std::vector<uint32_t>* following = nullptr);

// After a deletion, lowers by one every position above the deleted one.
void FollowDeletion(TransferList& list, uint32_t deletedPosition);
// The same for bare positions; the deleted one itself is dropped.
void FollowDeletion(std::vector<uint32_t>& positions, uint32_t deletedPosition);

} // namespace pixlor
