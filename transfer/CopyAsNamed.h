// The copy the host asks for (GetFiles): each item into one folder under the
// name the panel shows it by, with no subfolder and no numbering. Esc skips
// the current file only, and no question follows.
#pragma once

#include <string>
#include <vector>

#include "camera/Camera.h"
#include "transfer/NamingSettings.h"
#include "transfer/PanelItems.h"
#include "transfer/TransferView.h"

namespace pixlor {

// Copies the pictures of `items` as `kind` into `destination` (ending in '\');
// a virtual folder has no picture of its own and is not copied. Returns, by
// item, whether it was copied; a failure that stops the copy leaves the rest
// uncopied.
std::vector<bool> CopyAsNamed(Camera& camera, TransferView& view, const std::string& destination,
                              PictureKind kind, const std::vector<PanelItem>& items);

} // namespace pixlor
