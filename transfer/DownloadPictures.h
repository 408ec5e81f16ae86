// Copies pictures from the camera into local folders: full pictures,
// thumbnails or both, each file named from its prefix template and the next
// free number of its folder, each folder named from a folder template under
// the chosen destination. A move then deletes in the camera the pictures that
// were copied completely; the others stay there and stay selected.
#pragma once

#include <optional>
#include <string>

#include "plugin/CameraPanel.h"
#include "transfer/TransferList.h"

namespace pixlor {

// Which kinds go where.
inline constexpr int kOneKind = 0;           // `kind` only, into the `folderKind` folder
inline constexpr int kEachKindOwnFolder = 1; // thumbnail into "ThumbPath", photo into "PhotoPath"
inline constexpr int kBothKinds = 2;         // thumbnail then photo, both into `folderKind`'s
inline constexpr int kBothKindsOther = 3;    // the same (the keys pick the other template)

// Whether a subfolder is used.
inline constexpr int kSubfolderUnlessInside = 0; // unless the panel shows a folder's inside
inline constexpr int kSubfolderAlways = 1;
inline constexpr int kSubfolderNone = 2;

// `destination` ends in '\'. `kind` and `folderKind`: kKindPhoto or kKindThumbnail.
// `list` none: the panel's selection. True unless a failure stopped the copy.
bool DownloadPictures(CameraPanel& panel, const std::string& destination, int kindsMode, int kind,
                      int folderKind, int subfolderMode, bool move,
                      std::optional<TransferList> list = std::nullopt);

} // namespace pixlor
