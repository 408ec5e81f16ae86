// The lists the transfers work on: the pictures to copy or delete (from the
// panel's selection or a virtual folder), the virtual folders that group the
// pictures by their expanded folder template, and the next free sequence number
// of a file name so that no existing file is ever chosen again.
//
// The lists keep table order; a list owns its elements and frees them when it
// is destroyed or cleared (FreeTransferList, FreeFolderList).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "camera/PictureKind.h"
#include "camera/PictureTable.h"
#include "platform/FileTime.h"
#include "transfer/NameRules.h"

namespace pixlor {

// One picture to transfer.
struct TransferItem {
    FileTime timeStamp;    // the written file's time
    uint32_t position = 0; // in the PictureTable, from 0
};
using TransferList = std::vector<TransferItem>;

// One virtual folder of the listing.
struct PictureFolder {
    std::string name;       // the expanded folder template, at most 256 characters
    FileTime firstTime;     // of its first picture in table order
    FileTime lastTime;      // of its last picture
    uint32_t totalSize = 0; // of the kind the panel shows, wrapping as 32 bits
};
using FolderList = std::vector<PictureFolder>;

// Appends every picture, in table order, whose folder template expands to
// `filter` (compared by `names`); a null or empty filter takes every picture.
// Returns the size of the whole list.
size_t CollectFolderPictures(const NameRules& names, const char* filter, const char* folderTemplate,
                             const PictureTable& table, TransferList& list);

// Appends, folder by folder, the pictures of each named folder in table order,
// as CollectFolderPictures does for one; the folder names are indexed once.
size_t CollectPicturesOfFolders(const NameRules& names, const std::vector<const char*>& folders,
                                const char* folderTemplate, const PictureTable& table,
                                TransferList& list);

// The virtual folders in the order of their first picture; names that differ
// only in case are one folder. Sizes are of the kind `shown`.
FolderList BuildFolderList(const NameRules& names, const char* folderTemplate, PictureKind shown,
                           const PictureTable& table);

inline void FreeTransferList(TransferList& list) {
    TransferList().swap(list);
}
inline void FreeFolderList(FolderList& list) {
    FolderList().swap(list);
}

// The next sequence number after the numbered ".jpg" names of `prefix` among
// the entries of `folder` (a path ending in '\'): the largest number plus 1,
// or 1. Returns 0 and the number in `result`, or the LinkStatus of the failure:
// linkstatus::kFolderMissing when the folder cannot be listed,
// linkstatus::kFolderListing when the listing breaks off.
int32_t NextNumberInFolder(const NameRules& names, uint32_t width, const char* prefix,
                           const std::string& folder, uint32_t& result);

// Whether `name` is a numbered picture name of `prefix` at `width` digits, and
// its number. Exposed for the listing's own numbering and for tests.
bool NumberOfName(const NameRules& names, const char* name, const char* prefix, uint32_t width,
                  uint32_t& number);

// The largest number among the names considered so far, and the one after it.
class HighestNumber {
public:
    explicit HighestNumber(const NameRules& names) : names_(names) {}
    void Consider(const char* name, const char* prefix, uint32_t width);
    // The largest number plus 1, or 1 when no name was numbered.
    uint32_t Next() const { return found_ ? highest_ + 1 : 1; }

private:
    const NameRules& names_;
    bool found_ = false;
    uint32_t highest_ = 0;
};

// prefix + number (zero-padded to `width` digits, longer when it needs more) + ".jpg".
std::string NumberedFileName(const std::string& prefix, uint32_t number, uint32_t width);

} // namespace pixlor
