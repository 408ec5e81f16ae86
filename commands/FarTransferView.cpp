#include "commands/FarTransferView.h"

#include <algorithm>

#include "host/Host.h"
#include "host/MessageIds.h"
#include "host/Messages.h"
#include "host/PanelCalls.h"
#include "plugin/HostNameRules.h"

namespace pixlor {
namespace {

constexpr std::size_t kLineSize = 128;
constexpr int kReportPathLength = 60;

} // namespace

PanelView ViewOf(const CameraPanel& panel) {
    const uint32_t flags = panel.listingFlags;
    return PanelView{(flags & (kListingPictures | kListingInsideFolder)) != 0,
                     (flags & kListingFolders) != 0, (flags & kListingInsideFolder) != 0,
                     panel.viewKind};
}

PanelItem ItemOf(const PluginPanelItem& item) {
    const char* name = item.FindData.cFileName;
    const FarFileTime& created = item.FindData.ftCreationTime;
    return PanelItem{std::string(name, std::find(name, name + NM, '\0')), PicturePosition(item),
                     FileTime{created.dwLowDateTime, created.dwHighDateTime},
                     (item.FindData.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0};
}

void FarTransferView::SaveScreen() {
    screen_ = SaveWholeScreen();
}

void FarTransferView::RestoreScreen() {
    RestoreSavedScreen(screen_);
}

void FarTransferView::ReportError(const CameraCodes& codes) {
    ShowCameraError(codes, screen_);
}

const NameRules& FarTransferView::Names() const {
    return HostNameRules();
}

void FarTransferView::ReportIncompleteFile(const std::string& path) {
    char shown[kMaxPathBuffer];
    ShortenPath(path, kReportPathLength, shown);
    const char* lines[3] = {MessageText(MTitle), MessageText(MIncompleteFileKept), shown};
    ShowLines(FMSG_WARNING | FMSG_MB_OK, "Errors", lines, 3);
}

std::vector<PanelItem> FarTransferView::Selection() {
    std::vector<PanelItem> selected;
    PanelInfo info;
    if (OwnPanelInfo(Handle(), info) && info.SelectedItems != nullptr) {
        for (int i = 0; i < info.SelectedItemsNumber; ++i) {
            selected.push_back(ItemOf(info.SelectedItems[i]));
        }
    }
    return selected;
}

std::vector<uint32_t> FarTransferView::MarkedPositions(const PanelView& panel) {
    return SelectedPicturePositions(Handle(), panel.ListsPictures());
}

void FarTransferView::Unmark(uint32_t position) {
    PanelInfo info;
    if (!OwnPanelInfo(Handle(), info)) {
        return;
    }
    for (int k = 0; info.PanelItems != nullptr && k < info.ItemsNumber; ++k) {
        if (PicturePosition(info.PanelItems[k]) == position) {
            info.PanelItems[k].Flags &= ~PPIF_SELECTED;
        }
    }
    PanelControl(Handle(), FCTL_SETSELECTION, &info);
    PanelControl(Handle(), FCTL_REDRAWPANEL, nullptr);
}

void FarTransferView::RefreshAfterDeletion() {
    UpdateAndRedraw(Handle());
}

void FarTransferView::RefreshFromTop() {
    PanelControl(Handle(), FCTL_UPDATEPANEL, nullptr);
    PanelRedrawInfo top{0, 0};
    PanelControl(Handle(), FCTL_REDRAWPANEL, &top);
}

void FarTransferView::RefreshKeeping(const PanelView& panel, const std::vector<uint32_t>& marked) {
    PanelControl(Handle(), FCTL_UPDATEPANEL, nullptr);
    if (!marked.empty()) {
        SelectPicturePositions(Handle(), panel.ListsPictures(), marked);
    }
    PanelControl(Handle(), FCTL_REDRAWPANEL, nullptr);
}

void FarTransferView::StartCopy(uint32_t totalFiles, uint32_t totalBytes) {
    if (boxKind_ == CopyBox::FourLines) {
        box_ = std::make_unique<HostCopyBox>();
    } else {
        box_ = std::make_unique<DownloadProgressBox>(totalFiles, totalBytes);
    }
}

void FarTransferView::StartFile(const std::string& path) {
    box_->StartFile(path);
}

bool FarTransferView::FileProgress(uint32_t received, uint32_t size) {
    return box_->Update(received, size);
}

void FarTransferView::FinishFile(uint32_t size) {
    box_->FinishFile(size);
}

void FarTransferView::ShowDeleting(std::size_t index, std::size_t count) {
    char progress[kLineSize];
    const int64_t values[2] = {static_cast<int64_t>(index), static_cast<int64_t>(count)};
    FormatLine(progress, sizeof progress, MessageText(MDeleteProgress), values, 2);
    const char* lines[2] = {MessageText(MDeleteTitle), progress};
    ShowLines(0, nullptr, lines, 2);
}

bool FarTransferView::AskDownloadRemaining() {
    return pixlor::AskDownloadRemaining();
}

bool FarTransferView::AskDeleteRemaining() {
    return pixlor::AskDeleteRemaining();
}

void FarTransferView::WarnNotCopied(uint32_t pictures) {
    char line[kLineSize];
    const int64_t count = pictures;
    FormatLine(line, sizeof line, MessageText(MNotCopied), &count, 1);
    const char* lines[2] = {MessageText(MTitle), line};
    ShowLines(FMSG_WARNING | FMSG_MB_OK, "Errors", lines, 2);
}

void FarTransferView::WarnThumbnailMoveKept() {
    const char* lines[2] = {MessageText(MTitle), MessageText(MThumbnailsOnlyKept)};
    ShowLines(FMSG_WARNING | FMSG_MB_OK, "Errors", lines, 2);
}

} // namespace pixlor
