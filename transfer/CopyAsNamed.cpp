#include "transfer/CopyAsNamed.h"

#include "platform/Sleeper.h"
#include "transfer/FileCopy.h"

namespace pixlor {

std::vector<bool> CopyAsNamed(Camera& camera, TransferView& view, const std::string& destination,
                              PictureKind kind, const std::vector<PanelItem>& items) {
    const OperationTiming timing;
    view.SaveScreen();
    uint32_t totalFiles = 0;
    uint32_t totalBytes = 0;
    for (const PanelItem& item : items) {
        if (!item.folder) {
            totalFiles += 1;
            totalBytes += PictureSize(camera, item.position, kind);
        }
    }
    view.StartCopy(totalFiles, totalBytes);

    std::vector<bool> copied(items.size(), false);
    for (std::size_t i = 0; i < items.size(); ++i) {
        const PanelItem& item = items[i];
        if (item.folder) {
            continue;
        }
        PictureFile file;
        file.position = item.position;
        file.kind = kind;
        file.time = item.time;
        file.target.folder = destination;
        file.target.name = item.name;
        // A folder last in the list leaves the camera to the hand-back below.
        file.last = i + 1 == items.size();
        file.detailsFirst = true;
        switch (CopyPictureFile(camera, view, file)) {
        case FileOutcome::Copied:
            copied[i] = true;
            break;
        case FileOutcome::Stopped:
            return copied;
        case FileOutcome::PassedOver:
        case FileOutcome::Aborted: // skips this file alone
            break;
        }
    }
    view.RestoreScreen();
    HandBack(camera, view);
    return copied;
}

} // namespace pixlor
