#include "transfer/TransferView.h"

#include "transfer/Recovery.h"

namespace pixlor {
namespace {

ErrorReport ReportTo(TransferView& view) {
    return [&view](const CameraCodes& codes) { view.ReportError(codes); };
}

} // namespace

TransferList PicturesToTransfer(std::optional<TransferList> given, TransferView& view,
                                const PanelView& panel, const NamingSettings& naming,
                                const PictureTable& table) {
    if (given) {
        return std::move(*given);
    }
    TransferList list;
    CollectSelection(view.Names(), view.Selection(), panel.listsFolders, panel.kind, naming, table,
                     list);
    return list;
}

void ReportAndRecover(Camera& camera, TransferView& view) {
    ReportAndRecover(camera, ReportTo(view));
}

void Recover(Camera& camera, TransferView& view) {
    if (camera.Disconnect()) {
        view.RestoreScreen();
    } else {
        view.ReportError(camera.Codes());
    }
}

void HandBack(Camera& camera, TransferView& view) {
    HandBack(camera, ReportTo(view));
}

} // namespace pixlor
