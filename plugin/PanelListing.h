// What the host shows of the panel: its properties and key bar, its folders
// and the pictures as files.
#pragma once

#include <cstdint>

#include "camera/PictureKind.h"
#include "host/FarApi.h"
#include "transfer/NameRules.h"

namespace pixlor {

class CameraPanel;
enum class NumberingMode : int8_t;

// OpenPluginInfo flags of the panel; inside a folder the host adds "..".
inline constexpr FarDword kPanelFlags =
    OPIF_USEFILTER | OPIF_USESORTGROUPS | OPIF_USEHIGHLIGHTING | OPIF_RAWSELECTION |
    OPIF_REALNAMES | OPIF_SHOWRIGHTALIGNNAMES | OPIF_SHOWPRESERVECASE | OPIF_COMPAREFATTIME;
static_assert(kPanelFlags == 0x5B7);

// The key bar the host reads after GetOpenPluginInfo; rebuilt on every call.
extern KeyBarTitles panelKeyBar;

// F3 to F8 blank in every row, the copy, move, view and numbering labels of
// the kind shown, every other key the host's own label.
void FillKeyBar(PictureKind shown, NumberingMode numbering);

// The next sequence number after the numbered ".jpg" names of `prefix` among the
// other panel's items: the largest number plus 1, or 1.
uint32_t NextNumberInPanel(const NameRules& names, uint32_t width, const char* prefix,
                           const PanelInfo& otherPanel);

} // namespace pixlor
