#include "transfer/DownloadFailure.h"

#include "camera/LinkStatus.h"

namespace pixlor {

DownloadFailure ClassifyDownloadFailure(const Camera& camera) {
    using namespace linkstatus;
    switch (camera.LinkStatus()) {
    case kPhotoDownload:
    case kThumbnailDownload:
    case kPhotoFile:
    case kThumbnailFile:
        return DownloadFailure::Stops;
    case kPhotoCancelled:
    case kThumbnailCancelled:
        return DownloadFailure::Aborted;
    default:
        return camera.NotAnswering() ? DownloadFailure::Stops : DownloadFailure::PassedOver;
    }
}

} // namespace pixlor
