#include "transfer/DownloadPictures.h"

#include <cstring>
#include <vector>

#include "camera/LinkStatus.h"
#include "platform/Platform.h"
#include "platform/Sleeper.h"
#include "plugin/Host.h"
#include "plugin/MessageIds.h"
#include "plugin/Messages.h"
#include "transfer/DeletePictures.h"
#include "transfer/NameTemplate.h"
#include "transfer/PanelCalls.h"
#include "transfer/ProgressBox.h"

namespace pixlor {
namespace {

constexpr std::size_t kWarningLineSize = 128;
constexpr std::size_t kExtensionLength = 4; // ".jpg"

enum class FileOutcome {
    Copied,
    PassedOver, // failed, but the copy goes on with the next file
    Aborted,    // the user pressed Esc
    Stopped,    // reported; the copy ends
};

class Download {
public:
    // A picture in the camera is its full picture and thumbnail together, so a move
    // that copies thumbnails alone would delete full pictures that were never copied:
    // it copies and keeps the pictures in the camera, and says so.
    Download(CameraPanel& panel, const std::string& destination, int kindsMode, int kind,
             int folderKind, int subfolderMode, bool move)
        : panel_(panel), camera_(*panel.camera), destination_(destination), kindsMode_(kindsMode),
          kind_(kind), folderKind_(folderKind), subfolderMode_(subfolderMode),
          move_(move && CopiesPhotos()), keepsThumbnailMove_(move && !CopiesPhotos()) {}

    bool Run(std::optional<TransferList> given);

private:
    int Passes() const { return kindsMode_ == kOneKind ? 1 : 2; }
    bool CopiesPhotos() const { return kindsMode_ != kOneKind || kind_ == kKindPhoto; }
    uint32_t SizeOf(uint32_t position, int kind) const;
    std::string TargetFolder(uint32_t position, int folderKind) const;
    FileOutcome CopyFile(const TransferItem& item, int kind, int folderKind, bool last);
    FileOutcome Stop(int32_t linkStatus);
    FileOutcome Stop();
    void Deselect(uint32_t position);
    bool Finish();
    bool EndAfterAbort();
    void HandBack();
    void WarnNotCopied();
    void WarnPicturesKept();

    CameraPanel& panel_;
    Camera& camera_;
    const std::string destination_;
    const int kindsMode_;
    const int kind_;
    const int folderKind_;
    const int subfolderMode_;
    const bool move_;
    const bool keepsThumbnailMove_;

    HANDLE screen_ = nullptr;
    NamingSettings naming_;
    TransferList list_;
    std::vector<bool> complete_; // every pass of the item was copied
    uint32_t passedOver_ = 0;    // pictures with a file that failed and was passed over
    std::optional<DownloadProgressBox> box_;
};

bool IsKind(int32_t status, int32_t photoCode, int32_t thumbnailCode) {
    return status == photoCode || status == thumbnailCode;
}

bool Download::Run(std::optional<TransferList> given) {
    screen_ = SaveWholeScreen();
    naming_ = NamingSettings::Read();
    if (given) {
        list_ = std::move(*given);
    } else if (PanelInfo info; OwnPanelInfo(panel_, info)) {
        CollectSelection(info, panel_.listingFlags, panel_.viewKind, naming_.photoPath,
                         naming_.thumbPath, camera_.Table(), list_);
    }

    uint32_t totalFiles = 0;
    uint32_t totalBytes = 0;
    for (const TransferItem& item : list_) {
        if (kindsMode_ == kOneKind) {
            totalFiles += 1;
            totalBytes += SizeOf(item.position, kind_);
        } else {
            totalFiles += 2;
            totalBytes += SizeOf(item.position, kKindThumbnail) + SizeOf(item.position, kKindPhoto);
        }
    }
    box_.emplace(totalFiles, totalBytes);
    complete_.assign(list_.size(), false);

    for (std::size_t i = 0; i < list_.size(); ++i) {
        const TransferItem item = list_[i];
        const bool last = i + 1 == list_.size();
        bool whole = true;
        bool passedOver = false;
        for (int pass = 0; pass < Passes(); ++pass) {
            int kind = kind_;
            int folderKind = folderKind_;
            if (kindsMode_ == kEachKindOwnFolder) {
                kind = pass;
                folderKind = pass;
            } else if (kindsMode_ != kOneKind) {
                kind = pass;
            }
            switch (CopyFile(item, kind, folderKind, last)) {
            case FileOutcome::Copied:
                break;
            case FileOutcome::PassedOver:
                whole = false;
                passedOver = true;
                break;
            case FileOutcome::Stopped:
                return false;
            case FileOutcome::Aborted:
                whole = false;
                if (!last && AskDownloadRemaining()) {
                    break;
                }
                passedOver_ += passedOver ? 1 : 0;
                return EndAfterAbort();
            }
        }
        passedOver_ += passedOver ? 1 : 0;
        complete_[i] = whole;
        if (whole && (panel_.listingFlags & (kListingPictures | kListingInsideFolder)) != 0) {
            Deselect(item.position);
        }
    }
    return Finish();
}

uint32_t Download::SizeOf(uint32_t position, int kind) const {
    const PictureRecord* record = camera_.RecordAt(position);
    if (record == nullptr) {
        return 0;
    }
    return kind == kKindPhoto ? record->photoSize : record->thumbnailSize;
}

std::string Download::TargetFolder(uint32_t position, int folderKind) const {
    const bool subfolder =
        subfolderMode_ == kSubfolderAlways || (subfolderMode_ == kSubfolderUnlessInside &&
                                               (panel_.listingFlags & kListingInsideFolder) == 0);
    if (!subfolder) {
        return destination_;
    }
    char name[kNameBufferSize];
    ExpandNameOrEmpty(position, naming_.FolderTemplate(folderKind), name, &camera_.Table());
    if (name[0] == '\0') {
        return destination_;
    }
    return destination_ + name + "\\";
}

FileOutcome Download::CopyFile(const TransferItem& item, int kind, int folderKind, bool last) {
    const bool photo = kind == kKindPhoto;
    const int32_t fileFailure = photo ? linkstatus::kPhotoFile : linkstatus::kThumbnailFile;
    char prefix[kNameBufferSize];
    ExpandNameOrEmpty(item.position, naming_.Prefix(kind), prefix, &camera_.Table());
    const std::string folder = TargetFolder(item.position, folderKind);
    const uint32_t width = naming_.Digits(kind);

    // No path the system cannot hold is ever handed to it: the file could not
    // be created there.
    const std::size_t shortest = folder.size() + std::strlen(prefix) + width + kExtensionLength;
    if (shortest >= kMaxPathBuffer) {
        return Stop(fileFailure);
    }
    uint32_t number = 0;
    int32_t numbering = NextNumberInFolder(width, prefix, folder, number);
    if (numbering == kLinkNoFolderListing) {
        if (!CurrentPlatform().files->MakeDirectory(folder.c_str())) {
            return Stop(linkstatus::kFolderCreate);
        }
        numbering = NextNumberInFolder(width, prefix, folder, number);
    }
    if (numbering != 0) {
        return Stop(numbering);
    }
    const std::string path = folder + NumberedFileName(prefix, number, width);
    if (path.size() >= kMaxPathBuffer) {
        return Stop(fileFailure);
    }

    box_->StartFile(path);
    DownloadProgressBox& box = *box_;
    const bool copied = camera_.DownloadPicture(
        item.position + 1, photo, last, path.c_str(),
        [&box](uint32_t received, uint32_t size) { return box.Update(received, size); },
        item.timeStamp);
    const uint32_t size = SizeOf(item.position, kind);
    if (copied) {
        box_->FinishFile(size);
        return FileOutcome::Copied;
    }
    const int32_t status = camera_.LinkStatus();
    if (IsKind(status, linkstatus::kPhotoDownload, linkstatus::kThumbnailDownload) ||
        IsKind(status, linkstatus::kPhotoFile, linkstatus::kThumbnailFile)) {
        return Stop();
    }
    if (IsKind(status, linkstatus::kPhotoCancelled, linkstatus::kThumbnailCancelled)) {
        return FileOutcome::Aborted;
    }
    if (camera_.NotAnswering()) {
        return Stop(); // the next pictures would each wait for the same silence
    }
    box_->FinishFile(size);
    return FileOutcome::PassedOver;
}

FileOutcome Download::Stop(int32_t linkStatus) {
    camera_.SetLinkStatus(linkStatus);
    return Stop();
}

// Every stop hands the camera back, also after a folder failure: an earlier
// file may have left it at the high speed.
FileOutcome Download::Stop() {
    ReportAndRecover(camera_, screen_);
    return FileOutcome::Stopped;
}

void Download::Deselect(uint32_t position) {
    PanelInfo info;
    if (!OwnPanelInfo(panel_, info)) {
        return;
    }
    for (int k = 0; info.PanelItems != nullptr && k < info.ItemsNumber; ++k) {
        if (info.PanelItems[k].UserData == position) {
            info.PanelItems[k].Flags &= ~PPIF_SELECTED;
        }
    }
    PanelControl(panel_, FCTL_SETSELECTION, &info);
    PanelControl(panel_, FCTL_REDRAWPANEL, nullptr);
}

bool Download::Finish() {
    RestoreSavedScreen(screen_);
    TransferList copied;
    for (std::size_t i = 0; i < list_.size(); ++i) {
        if (complete_[i]) {
            copied.push_back(list_[i]);
        }
    }
    FreeTransferList(list_);
    const bool deleting = move_ && !copied.empty();
    if (move_) {
        DeletePictures(panel_, std::move(copied));
    }
    if (!deleting) {
        HandBack();
    }
    UpdateAndRedraw(panel_);
    WarnNotCopied();
    WarnPicturesKept();
    return true;
}

bool Download::EndAfterAbort() {
    if (move_ && AskDeleteRemaining()) {
        return Finish();
    }
    Recover(camera_, screen_);
    FreeTransferList(list_);
    WarnNotCopied();
    WarnPicturesKept();
    return true;
}

// A failed or aborted last file leaves the camera at the high speed.
void Download::HandBack() {
    if (camera_.Connected() && !camera_.Disconnect()) {
        ShowCameraError(camera_.Codes(), screen_);
    }
}

void Download::WarnNotCopied() {
    if (passedOver_ == 0) {
        return;
    }
    char line[kWarningLineSize];
    const int64_t count = passedOver_;
    FormatLine(line, sizeof line, MessageText(MNotCopied), &count, 1);
    const char* lines[2] = {MessageText(MTitle), line};
    ShowLines(FMSG_WARNING | FMSG_MB_OK, "Errors", lines, 2);
}

void Download::WarnPicturesKept() {
    if (!keepsThumbnailMove_) {
        return;
    }
    const char* lines[2] = {MessageText(MTitle), MessageText(MThumbnailsOnlyKept)};
    ShowLines(FMSG_WARNING | FMSG_MB_OK, "Errors", lines, 2);
}

} // namespace

bool DownloadPictures(CameraPanel& panel, const std::string& destination, int kindsMode, int kind,
                      int folderKind, int subfolderMode, bool move,
                      std::optional<TransferList> list) {
    if (!panel.camera) {
        return false;
    }
    const OperationTiming timing;
    Download download(panel, destination, kindsMode, kind, folderKind, subfolderMode, move);
    return download.Run(std::move(list));
}

} // namespace pixlor
