#include "transfer/DeletePictures.h"

#include "camera/LinkStatus.h"
#include "platform/Sleeper.h"
#include "serial/PortFlags.h"
#include "transfer/NamingSettings.h"

namespace pixlor {
namespace {

// A deletion whose answer never came (a time-out, a broken line, a camera
// gone) may have been carried out unseen. One the camera refused (0x11) was
// not: the picture is still there and the listed numbers still hold, unless
// the camera's count fell (deleted, and a later exchange of the call refused).
bool MayHaveDeleted(const CameraCodes& failure, bool countFell) {
    const bool deleting = failure.linkStatus == linkstatus::kDelete ||
                          failure.linkStatus == linkstatus::kDeleteTimeouts;
    const bool refused = (failure.portFlags & portflag::kRefused) != 0;
    return deleting && (!refused || countFell);
}

} // namespace

void FollowDeletion(TransferList& list, uint32_t deletedPosition) {
    for (TransferItem& item : list) {
        if (item.position > deletedPosition) {
            --item.position;
        }
    }
}

void FollowDeletion(std::vector<uint32_t>& positions, uint32_t deletedPosition) {
    std::erase(positions, deletedPosition);
    for (uint32_t& position : positions) {
        if (position > deletedPosition) {
            --position;
        }
    }
}

bool DeletePictures(Camera& camera, TransferView& view, const PanelView& panel,
                    std::optional<TransferList> given, std::vector<uint32_t>* following) {
    const OperationTiming timing;
    view.SaveScreen();
    const NamingSettings naming = NamingSettings::Read();
    TransferList list = PicturesToTransfer(std::move(given), view, panel, naming, camera.Table());

    for (std::size_t i = 0; i < list.size(); ++i) {
        view.ShowDeleting(i + 1, list.size());
        const uint32_t position = list[i].position;
        const uint32_t countBefore = camera.PictureCount();
        if (!camera.DeletePicture(position + 1, i + 1 == list.size())) {
            const CameraCodes failure = camera.Codes();
            const bool countFell = camera.PictureCount() < countBefore;
            ReportAndRecover(camera, view);
            if (MayHaveDeleted(failure, countFell)) {
                view.ListMayBeStale();
            }
            return false;
        }
        view.RefreshAfterDeletion();
        FollowDeletion(list, position);
        if (following != nullptr) {
            FollowDeletion(*following, position);
        }
    }

    view.RestoreScreen();
    view.RefreshFromTop();
    return true;
}

} // namespace pixlor
