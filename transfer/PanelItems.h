// The panel's items as the host hands them over, read as pictures: the
// selection to transfer, and the items of the host's own copy.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "camera/PictureTable.h"
#include "platform/FileTime.h"
#include "transfer/NamingSettings.h"
#include "transfer/TransferList.h"

namespace pixlor {

// One item of the panel: a picture (by its table position, with the time the
// panel shows) or a virtual folder (by its name).
struct PanelItem {
    std::string name;
    uint32_t position = 0;
    FileTime time;
    bool folder = false;
};

// Appends the pictures of the selected items: for a panel that lists folders,
// every picture of each selected folder under the folder template of `kind`
// (the folder names compared by `names`);
// otherwise each selected picture, by its position and with its time. Returns
// the size of the whole list.
size_t CollectSelection(const NameRules& names, const std::vector<PanelItem>& selected,
                        bool listsFolders, PictureKind kind, const NamingSettings& naming,
                        const PictureTable& table, TransferList& list);

} // namespace pixlor
