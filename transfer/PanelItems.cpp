#include "transfer/PanelItems.h"

#include <vector>

namespace pixlor {

size_t CollectSelection(const NameRules& names, const PanelInfo& panel, uint32_t listingFlags,
                        PictureKind shown, const char* photoFolderTemplate,
                        const char* thumbFolderTemplate, const PictureTable& table,
                        TransferList& list) {
    const int count = panel.SelectedItems != nullptr ? panel.SelectedItemsNumber : 0;
    if ((listingFlags & kListingFolders) != 0) {
        std::vector<const char*> folders;
        for (int i = 0; i < count; ++i) {
            folders.push_back(panel.SelectedItems[i].FindData.cFileName);
        }
        const char* folderTemplate =
            shown == PictureKind::Thumbnail ? thumbFolderTemplate : photoFolderTemplate;
        return CollectPicturesOfFolders(names, folders, folderTemplate, table, list);
    }
    for (int i = 0; i < count; ++i) {
        const PluginPanelItem& item = panel.SelectedItems[i];
        const FarFileTime& created = item.FindData.ftCreationTime;
        list.push_back(
            TransferItem{FileTime{created.dwLowDateTime, created.dwHighDateTime}, item.UserData});
    }
    return list.size();
}

uint32_t NextNumberInPanel(const NameRules& names, uint32_t width, const char* prefix,
                           const PanelInfo& otherPanel) {
    HighestNumber highest(names);
    for (int i = 0; otherPanel.PanelItems != nullptr && i < otherPanel.ItemsNumber; ++i) {
        highest.Consider(otherPanel.PanelItems[i].FindData.cFileName, prefix, width);
    }
    return highest.Next();
}

} // namespace pixlor
