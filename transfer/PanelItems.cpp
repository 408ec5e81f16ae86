#include "transfer/PanelItems.h"

namespace pixlor {

size_t CollectSelection(const NameRules& names, const std::vector<PanelItem>& selected,
                        bool listsFolders, PictureKind kind, const NamingSettings& naming,
                        const PictureTable& table, TransferList& list) {
    if (listsFolders) {
        std::vector<const char*> folders;
        for (const PanelItem& item : selected) {
            folders.push_back(item.name.c_str());
        }
        return CollectPicturesOfFolders(names, folders, naming.FolderTemplate(kind), table, list);
    }
    for (const PanelItem& item : selected) {
        list.push_back(TransferItem{item.time, item.position});
    }
    return list.size();
}

} // namespace pixlor
