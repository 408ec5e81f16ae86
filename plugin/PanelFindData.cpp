// The panel's items: every picture as a file, or the virtual folders of the
// folder template and, inside one, its pictures. The naming settings are read
// afresh for every listing; the sizes and dates come from the table read when
// the panel opened, so a listing never talks to the camera.
#include <cstdio>
#include <memory>
#include <string>

#include "host/Host.h"
#include "platform/BoundedText.h"
#include "plugin/CameraPanel.h"
#include "plugin/HostNameRules.h"
#include "plugin/PanelListing.h"
#include "settings/Settings.h"
#include "transfer/NameTemplate.h"
#include "transfer/NamingSettings.h"

namespace pixlor {
namespace {

void SetTimes(FAR_FIND_DATA& data, const FileTime& created, const FileTime& written) {
    data.ftCreationTime = FarFileTime{created.low, created.high};
    data.ftLastAccessTime = FarFileTime{written.low, written.high};
    data.ftLastWriteTime = FarFileTime{written.low, written.high};
}

void SetSize(PluginPanelItem& item, uint32_t size) {
    item.FindData.nFileSizeHigh = 0;
    item.FindData.nFileSizeLow = size;
    item.PackSizeHigh = 0;
    item.PackSize = size;
}

} // namespace

int CameraPanel::GetFindData(PluginPanelItem** items, int* count) {
    const NamingSettings naming = NamingSettings::Read();
    const NameRules& names = HostNameRules();
    const char* const prefixTemplate = naming.Prefix(viewKind);
    const char* const folderTemplate = naming.FolderTemplate(viewKind);
    const uint32_t digits = naming.Digits(viewKind);
    const PictureTable& table = camera->Table();

    if ((listingFlags & (kListingPictures | kListingFolders)) != 0) {
        FreeFolderList(folders);
        listingFlags = 0;
    }
    // Nothing to be inside of once the folders are gone.
    if (currentFolder && *currentFolder >= folders.size()) {
        currentFolder.reset();
    }
    if (!currentFolder) {
        listingFlags |= folderTemplate[0] == '\0' ? kListingPictures : kListingFolders;
    } else {
        listingFlags |= kListingInsideFolder;
    }

    std::unique_ptr<PluginPanelItem[]> array;
    size_t size = 0;
    if ((listingFlags & (kListingPictures | kListingInsideFolder)) != 0) {
        PanelInfo other{};
        if (hostInfo.Control != nullptr) {
            hostInfo.Control(this, FCTL_GETANOTHERPANELINFO, &other);
        }
        TransferList pictures;
        const char* filter = currentFolder ? folders[*currentFolder].name.c_str() : nullptr;
        CollectFolderPictures(names, filter, folderTemplate, table, pictures);
        size = pictures.size();
        if (size != 0) {
            array = std::make_unique<PluginPanelItem[]>(size);
            uint32_t number = 1;
            if (numberingMode != NumberingMode::FromOne) {
                const NameBuffer prefix =
                    ExpandedName(pictures[0].position, prefixTemplate, &table);
                number = NextNumberInPanel(names, digits, prefix.c_str(), other);
            }
            for (size_t i = 0; i < size; ++i) {
                const TransferItem& picture = pictures[i];
                PluginPanelItem& item = array[i];
                const NameBuffer prefix = ExpandedName(picture.position, prefixTemplate, &table);
                CopyBounded(item.FindData.cFileName,
                            NumberedFileName(prefix.c_str(), number++, digits));
                std::snprintf(item.FindData.cAlternateFileName,
                              sizeof item.FindData.cAlternateFileName, "%03lu",
                              static_cast<unsigned long>(picture.position) + 1);
                item.FindData.dwFileAttributes = FILE_ATTRIBUTE_ARCHIVE;
                SetTimes(item.FindData, picture.timeStamp, picture.timeStamp);
                const PictureRecord* record = table.RecordAt(picture.position);
                if (record != nullptr) {
                    SetSize(item, SizeOf(*record, viewKind));
                }
                item.UserData = picture.position;
            }
        }
        FreeTransferList(pictures);
    } else {
        FreeFolderList(folders);
        folders = BuildFolderList(names, folderTemplate, viewKind, table);
        size = folders.size();
        if (size != 0) {
            array = std::make_unique<PluginPanelItem[]>(size);
            for (size_t i = 0; i < size; ++i) {
                const PictureFolder& folder = folders[i];
                PluginPanelItem& item = array[i];
                item.FindData.dwFileAttributes = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_ARCHIVE;
                SetTimes(item.FindData, folder.firstTime, folder.lastTime);
                CopyBounded(item.FindData.cFileName, folder.name);
                CopyBounded(item.FindData.cAlternateFileName, folder.name);
                SetSize(item, folder.totalSize);
            }
        }
    }
    *items = array.release();
    *count = static_cast<int>(size);
    return 1;
}

void CameraPanel::FreeFindData(PluginPanelItem* items, int /*count*/) {
    delete[] items;
}

} // namespace pixlor
