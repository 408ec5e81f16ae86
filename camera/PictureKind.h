// The two pictures the camera keeps of every shot: the full photo and its
// thumbnail. Each is downloaded, listed and named on its own.
#pragma once

#include <cstdint>

namespace pixlor {

enum class PictureKind : uint8_t { Thumbnail, Photo };

constexpr PictureKind OtherKind(PictureKind kind) {
    return kind == PictureKind::Photo ? PictureKind::Thumbnail : PictureKind::Photo;
}

} // namespace pixlor
