#include "transfer/DeletePictures.h"

#include "camera/LinkStatus.h"
#include "platform/Sleeper.h"
#include "transfer/NamingSettings.h"

namespace pixlor {

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
    TransferList list;
    if (given) {
        list = std::move(*given);
    } else {
        CollectSelection(view.Names(), view.Selection(), panel.listsFolders, panel.kind, naming,
                         camera.Table(), list);
    }

    for (std::size_t i = 0; i < list.size(); ++i) {
        view.ShowDeleting(i + 1, list.size());
        const uint32_t position = list[i].position;
        if (!camera.DeletePicture(position + 1, i + 1 == list.size())) {
            const int32_t failure = camera.LinkStatus();
            ReportAndRecover(camera, view);
            if (failure == linkstatus::kDelete || failure == linkstatus::kDeleteTimeouts) {
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
