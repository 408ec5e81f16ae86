#include "transfer/DownloadFailure.h"

#include "camera/LinkStatus.h"

namespace pixlor {

DownloadFailure ClassifyDownloadFailure(int32_t linkStatus) {
    using namespace linkstatus;
    switch (linkStatus) {
    case kPhotoDownload:
    case kThumbnailDownload:
    case kPhotoFile:
    case kThumbnailFile:
        return DownloadFailure::Stops;
    case kPhotoCancelled:
    case kThumbnailCancelled:
        return DownloadFailure::Aborted;
    default:
        return DownloadFailure::PassedOver;
    }
}

} // namespace pixlor
