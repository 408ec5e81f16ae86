// Copies pictures from the camera into local folders: full pictures,
// thumbnails or both, each file named from its prefix template and the next
// free number of its folder, each folder named from a folder template under
// the chosen destination. A move then deletes in the camera the pictures that
// were copied completely; the others stay there and stay marked.
#pragma once

#include <optional>
#include <string>

#include "camera/Camera.h"
#include "transfer/NamingSettings.h"
#include "transfer/TransferList.h"
#include "transfer/TransferView.h"

namespace pixlor {

// Which kinds go where.
enum class KindsMode : uint8_t {
    OneKind,           // `kind` only, into the `folderKind` folder
    EachKindOwnFolder, // thumbnail into "ThumbPath", photo into "PhotoPath"
    BothKinds,         // thumbnail then photo, both into `folderKind`'s folder
    BothKindsOther,    // the same (the keys picked the other template)
};

// Whether a subfolder is used.
enum class SubfolderMode : uint8_t {
    UnlessInside, // unless the panel shows a folder's inside
    Always,
    None,
};

struct DownloadRequest {
    std::string destination; // ends in '\'
    KindsMode kindsMode = KindsMode::OneKind;
    PictureKind kind = PictureKind::Photo;
    PictureKind folderKind = PictureKind::Photo;
    SubfolderMode subfolderMode = SubfolderMode::UnlessInside;
    bool move = false;
};

// `list` none: the panel's selection. True unless a failure stopped the copy.
bool DownloadPictures(Camera& camera, TransferView& view, const PanelView& panel,
                      const DownloadRequest& request,
                      std::optional<TransferList> list = std::nullopt);

} // namespace pixlor
