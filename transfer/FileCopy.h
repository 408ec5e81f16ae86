// One file of a copy, the same for the panel's copy and move and for the
// host's copy: its target path and the length check, the download, what the
// failure of it means for the batch, the report and the hand-back, and the
// removal of a file the download left incomplete.
#pragma once

#include <cstdint>
#include <string>

#include "camera/Camera.h"
#include "platform/FileTime.h"
#include "transfer/NamingSettings.h"
#include "transfer/TransferView.h"

namespace pixlor {

enum class FileOutcome : uint8_t {
    Copied,
    PassedOver, // failed, but the batch goes on with the next file
    Aborted,    // the user pressed Esc
    Stopped,    // reported and handed back; the batch ends
};

// Where a file goes: into `folder` (ending in '\') under `name`, or, when
// `numbered`, under `prefix` and the next free number of the folder at
// `digits` digits (a missing folder is made then).
struct FileTarget {
    std::string folder;
    std::string name;
    bool numbered = false;
    std::string prefix;
    uint32_t digits = 3;
};

struct PictureFile {
    uint32_t position = 0; // in the PictureTable
    PictureKind kind = PictureKind::Photo;
    FileTime time; // the written file's three times
    FileTarget target;
    bool last = false; // the batch's last file: the camera is handed back after it
    // The item comes from an earlier listing: its details are read first, and
    // a picture the camera cannot describe stops the batch.
    bool detailsFirst = false;
};

FileOutcome CopyPictureFile(Camera& camera, TransferView& view, const PictureFile& file);

// The size of the picture's `kind` in the table; 0 for a position it lacks.
uint32_t PictureSize(const Camera& camera, uint32_t position, PictureKind kind);

} // namespace pixlor
