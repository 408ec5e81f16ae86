// What a failed download of one file means for the rest of the operation,
// the same for the panel's copy and the host's.
#pragma once

#include <cstdint>

namespace pixlor {

enum class DownloadFailure : uint8_t {
    Stops,      // the link or the file failed: report, hand back, end
    Aborted,    // the user pressed Esc during the file
    PassedOver, // the camera refused this picture: go on with the next one
};

DownloadFailure ClassifyDownloadFailure(int32_t linkStatus);

} // namespace pixlor
