// The settings the names of listed and copied files are made from: the
// prefix and folder templates and the digit counts of both kinds, read once
// per listing or operation.
#pragma once

#include <cstdint>

#include "camera/PictureKind.h"
#include "transfer/NameTemplate.h"

namespace pixlor {

struct NamingSettings {
    char photoPrefix[kNameBufferSize] = {};
    char thumbPrefix[kNameBufferSize] = {};
    char photoPath[kNameBufferSize] = {};
    char thumbPath[kNameBufferSize] = {};
    uint32_t photoDigits = 3;
    uint32_t thumbDigits = 3;

    static NamingSettings Read();
    const char* Prefix(PictureKind kind) const {
        return kind == PictureKind::Photo ? photoPrefix : thumbPrefix;
    }
    const char* FolderTemplate(PictureKind folderKind) const {
        return folderKind == PictureKind::Photo ? photoPath : thumbPath;
    }
    uint32_t Digits(PictureKind kind) const {
        return kind == PictureKind::Photo ? photoDigits : thumbDigits;
    }
};

} // namespace pixlor
