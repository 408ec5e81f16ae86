// The copy the host asks for through GetFiles (anything but the panel's own
// F5 and F6): each item into the host's folder under the name the panel shows,
// through the engine's copy under the shown names (transfer/CopyAsNamed),
// with a four-line progress box; Esc skips the current file only.
#pragma once

#include "host/FarApi.h"
#include "plugin/CameraPanel.h"

namespace pixlor {

// 1 when every item was copied, 0 otherwise (also when Esc skipped one). Items
// copied have PPIF_SELECTED cleared, so the host deselects only them after a 0.
// Shift held copies the other kind than the panel shows.
int CopyRequestedFiles(CameraPanel& panel, PluginPanelItem* items, int count,
                       const char* destination);

} // namespace pixlor
