// The host panel's items read as pictures: the selection to transfer, and the
// numbers the other panel's files already use.
#pragma once

#include <cstdint>

#include "camera/PictureTable.h"
#include "host/FarApi.h"
#include "transfer/TransferList.h"

namespace pixlor {

// Appends the panel's selected items: for a folder listing (kListingFolders),
// every picture of each selected folder under the folder template of the kind
// shown; otherwise each selected picture, by its UserData position and with its
// creation time. Returns the size of the whole list.
size_t CollectSelection(const NameRules& names, const PanelInfo& panel, uint32_t listingFlags,
                        PictureKind shown, const char* photoFolderTemplate,
                        const char* thumbFolderTemplate, const PictureTable& table,
                        TransferList& list);

// The next sequence number after the numbered ".jpg" names of `prefix` among the
// other panel's items: the largest number plus 1, or 1.
uint32_t NextNumberInPanel(const NameRules& names, uint32_t width, const char* prefix,
                           const PanelInfo& otherPanel);

} // namespace pixlor
