// Pictures for the emulator: generated JPEG samples or the .jpg files of a folder.
#pragma once

#include "tools/camsim/CameraSimulator.h"

#include <cstddef>
#include <string>
#include <vector>

namespace camsim {

// `count` small colourful JPEG pictures of distinct content, each with a thumbnail.
// Dates: pictures 1-2 on 17 May 2002, 3-4 on 18 May 2002, 5 on 15 June 2002 at
// 12:30:45 UTC, later ones a minute apart after that.
std::vector<Picture> SamplePictures(std::size_t count);

// One JPEG picture of w x h pixels whose content depends on `seed`.
Bytes MakeJpeg(int width, int height, unsigned seed, int quality = 85);

// The .jpg/.jpeg files of `dir` in name order: time from the modification time,
// thumbnail from a 1/8 scaled decode. False with `error` when the folder cannot be read.
bool LoadPictures(const std::string& dir, std::vector<Picture>& out, std::string& error);

// Makes the photo exactly `size` bytes: zero bytes after the end-of-image marker, or,
// when the JPEG is longer, cut and closed with an end-of-image marker.
void ResizePhoto(Picture& picture, std::size_t size);

} // namespace camsim
