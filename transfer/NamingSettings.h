// The settings the names of listed and copied files are made from: the
// prefix and folder templates and the digit counts of both kinds, read once
// per listing or operation.
#pragma once

#include <cstdint>

#include "transfer/NameTemplate.h"

namespace pixlor {

// The kind of picture a file holds, as DownloadPicture's isPhoto takes it, and
// the folder template ("PhotoPath" for photos, "ThumbPath" for thumbnails).
inline constexpr int kKindThumbnail = 0;
inline constexpr int kKindPhoto = 1;

struct NamingSettings {
    char photoPrefix[kNameBufferSize] = {};
    char thumbPrefix[kNameBufferSize] = {};
    char photoPath[kNameBufferSize] = {};
    char thumbPath[kNameBufferSize] = {};
    uint32_t photoDigits = 3;
    uint32_t thumbDigits = 3;

    static NamingSettings Read();
    const char* Prefix(int kind) const { return kind == kKindPhoto ? photoPrefix : thumbPrefix; }
    const char* FolderTemplate(int folderKind) const {
        return folderKind == kKindPhoto ? photoPath : thumbPath;
    }
    uint32_t Digits(int kind) const { return kind == kKindPhoto ? photoDigits : thumbDigits; }
};

} // namespace pixlor
