#include "transfer/DeletePictures.h"

#include "camera/LinkStatus.h"
#include "platform/Sleeper.h"
#include "plugin/Host.h"
#include "plugin/MessageIds.h"
#include "plugin/Messages.h"
#include "transfer/PanelCalls.h"

namespace pixlor {
namespace {

constexpr std::size_t kProgressLineSize = 128;

TransferList SelectedPictures(CameraPanel& panel, const NamingSettings& naming) {
    TransferList list;
    PanelInfo info;
    if (OwnPanelInfo(panel, info)) {
        CollectSelection(info, panel.listingFlags, panel.viewKind, naming.photoPath,
                         naming.thumbPath, panel.camera->Table(), list);
    }
    return list;
}

} // namespace

void FollowDeletion(TransferList& list, uint32_t deletedPosition) {
    for (TransferItem& item : list) {
        if (item.position > deletedPosition) {
            --item.position;
        }
    }
}

bool DeletePictures(CameraPanel& panel, std::optional<TransferList> given) {
    const OperationTiming timing;
    Camera& camera = *panel.camera;
    HANDLE screen = SaveWholeScreen();
    const NamingSettings naming = NamingSettings::Read();
    TransferList list = given ? std::move(*given) : SelectedPictures(panel, naming);
    const auto count = static_cast<int64_t>(list.size());

    char progress[kProgressLineSize];
    const char* lines[2] = {MessageText(MDeleteTitle), progress};
    for (std::size_t i = 0; i < list.size(); ++i) {
        const int64_t values[2] = {static_cast<int64_t>(i) + 1, count};
        FormatLine(progress, sizeof progress, MessageText(MDeleteProgress), values, 2);
        ShowLines(0, nullptr, lines, 2);

        const uint32_t position = list[i].position;
        if (!camera.DeletePicture(position + 1, i + 1 == list.size())) {
            const int32_t failure = camera.LinkStatus();
            ReportAndRecover(camera, screen);
            if (failure == linkstatus::kDelete || failure == linkstatus::kDeleteTimeouts) {
                panel.listUncertain = true;
            }
            return false;
        }
        UpdateAndRedraw(panel);
        FollowDeletion(list, position);
    }

    RestoreSavedScreen(screen);
    PanelControl(panel, FCTL_UPDATEPANEL, nullptr);
    PanelRedrawInfo top{0, 0};
    PanelControl(panel, FCTL_REDRAWPANEL, &top);
    return true;
}

} // namespace pixlor
