// What a failed download of one file means for the rest of the operation,
// the same for the panel's copy and the host's.
#pragma once

#include <cstdint>

#include "camera/Camera.h"

namespace pixlor {

enum class DownloadFailure : uint8_t {
    Stops,      // the link or the file failed, or the camera answers nothing
                // at all: report, hand back, end
    Aborted,    // the user pressed Esc during the file
    PassedOver, // the camera refused this picture: go on with the next one
};

// From the camera's LinkStatus and whether it answered at all: a camera that
// fell silent or is gone would keep every later picture waiting the same way.
DownloadFailure ClassifyDownloadFailure(const Camera& camera);

} // namespace pixlor
