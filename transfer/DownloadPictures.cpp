#include "transfer/DownloadPictures.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "camera/LinkStatus.h"
#include "platform/Platform.h"
#include "platform/Sleeper.h"
#include "transfer/DeletePictures.h"
#include "transfer/DownloadFailure.h"
#include "transfer/NameTemplate.h"
#include "transfer/PathLimit.h"

namespace pixlor {
namespace {

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
    Download(Camera& camera, TransferView& view, const PanelView& panel,
             const DownloadRequest& request)
        : camera_(camera), view_(view), panel_(panel), request_(request),
          move_(request.move && CopiesPhotos()),
          keepsThumbnailMove_(request.move && !CopiesPhotos()) {}

    bool Run(std::optional<TransferList> given);

private:
    bool OneKind() const { return request_.kindsMode == KindsMode::OneKind; }
    int Passes() const { return OneKind() ? 1 : 2; }
    bool CopiesPhotos() const { return !OneKind() || request_.kind == PictureKind::Photo; }
    uint32_t SizeOf(uint32_t position, PictureKind kind) const;
    std::string TargetFolder(uint32_t position, PictureKind folderKind) const;
    FileOutcome CopyFile(const TransferItem& item, PictureKind kind, PictureKind folderKind,
                         bool last);
    FileOutcome Stop(int32_t linkStatus);
    FileOutcome Stop();
    bool Finish();
    bool EndAfterAbort();
    void Warn();

    Camera& camera_;
    TransferView& view_;
    const PanelView panel_;
    const DownloadRequest request_;
    const bool move_;
    const bool keepsThumbnailMove_;

    NamingSettings naming_;
    TransferList list_;
    std::vector<bool> complete_; // every pass of the item was copied
    uint32_t passedOver_ = 0;    // pictures with a file that failed and was passed over
};

bool Download::Run(std::optional<TransferList> given) {
    view_.SaveScreen();
    naming_ = NamingSettings::Read();
    list_ = given ? std::move(*given) : view_.SelectedPictures(panel_, naming_, camera_.Table());

    uint32_t totalFiles = 0;
    uint32_t totalBytes = 0;
    for (const TransferItem& item : list_) {
        if (OneKind()) {
            totalFiles += 1;
            totalBytes += SizeOf(item.position, request_.kind);
        } else {
            totalFiles += 2;
            totalBytes += SizeOf(item.position, PictureKind::Thumbnail) +
                          SizeOf(item.position, PictureKind::Photo);
        }
    }
    view_.StartCopy(totalFiles, totalBytes);
    complete_.assign(list_.size(), false);

    for (std::size_t i = 0; i < list_.size(); ++i) {
        const TransferItem item = list_[i];
        const bool last = i + 1 == list_.size();
        bool whole = true;
        bool passedOver = false;
        for (int pass = 0; pass < Passes(); ++pass) {
            // Two kinds: the thumbnail first, then the photo.
            const PictureKind passKind = pass == 0 ? PictureKind::Thumbnail : PictureKind::Photo;
            const PictureKind kind = OneKind() ? request_.kind : passKind;
            const PictureKind folderKind =
                request_.kindsMode == KindsMode::EachKindOwnFolder ? passKind : request_.folderKind;
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
                if (!last && view_.AskDownloadRemaining()) {
                    break;
                }
                passedOver_ += passedOver ? 1 : 0;
                return EndAfterAbort();
            }
        }
        passedOver_ += passedOver ? 1 : 0;
        complete_[i] = whole;
        if (whole && panel_.ListsPictures()) {
            view_.Unmark(item.position);
        }
    }
    return Finish();
}

uint32_t Download::SizeOf(uint32_t position, PictureKind kind) const {
    const PictureRecord* record = camera_.RecordAt(position);
    if (record == nullptr) {
        return 0;
    }
    return kind == PictureKind::Photo ? record->photoSize : record->thumbnailSize;
}

std::string Download::TargetFolder(uint32_t position, PictureKind folderKind) const {
    const SubfolderMode mode = request_.subfolderMode;
    const bool subfolder = mode == SubfolderMode::Always ||
                           (mode == SubfolderMode::UnlessInside && !panel_.InsideFolder());
    if (!subfolder) {
        return request_.destination;
    }
    const NameBuffer name =
        ExpandedName(position, naming_.FolderTemplate(folderKind), &camera_.Table());
    if (name.empty()) {
        return request_.destination;
    }
    return request_.destination + name.c_str() + "\\";
}

FileOutcome Download::CopyFile(const TransferItem& item, PictureKind kind, PictureKind folderKind,
                               bool last) {
    const int32_t fileFailure = Camera::FileFailure(kind);
    const NameBuffer prefix = ExpandedName(item.position, naming_.Prefix(kind), &camera_.Table());
    const std::string folder = TargetFolder(item.position, folderKind);
    const uint32_t width = naming_.Digits(kind);

    // No path the system cannot hold is ever handed to it: the file could not
    // be created there.
    const std::size_t shortest =
        folder.size() + std::strlen(prefix.c_str()) + width + kExtensionLength;
    if (shortest >= kMaxPathBuffer) {
        NotePathTooLong();
        return Stop(fileFailure);
    }
    uint32_t number = 0;
    int32_t numbering = NextNumberInFolder(view_.Names(), width, prefix.c_str(), folder, number);
    if (numbering == linkstatus::kFolderMissing) {
        if (!CurrentPlatform().files->MakeDirectory(folder.c_str())) {
            return Stop(linkstatus::kFolderCreate);
        }
        numbering = NextNumberInFolder(view_.Names(), width, prefix.c_str(), folder, number);
    }
    if (numbering != 0) {
        return Stop(numbering);
    }
    const std::string path = folder + NumberedFileName(prefix.c_str(), number, width);
    if (path.size() >= kMaxPathBuffer) {
        NotePathTooLong(); // not the folder scan's "no more files"
        return Stop(fileFailure);
    }

    view_.StartFile(path);
    TransferView& view = view_;
    const bool copied = camera_.DownloadPicture(
        item.position + 1, kind, last, path.c_str(),
        [&view](uint32_t received, uint32_t size) { return view.FileProgress(received, size); },
        item.timeStamp);
    const uint32_t size = SizeOf(item.position, kind);
    if (copied) {
        view_.FinishFile(size);
        return FileOutcome::Copied;
    }
    switch (ClassifyDownloadFailure(camera_)) {
    case DownloadFailure::Stops:
        return Stop();
    case DownloadFailure::Aborted:
        return FileOutcome::Aborted;
    case DownloadFailure::PassedOver:
        break;
    }
    view_.FinishFile(size);
    return FileOutcome::PassedOver;
}

FileOutcome Download::Stop(int32_t linkStatus) {
    camera_.SetLinkStatus(linkStatus);
    return Stop();
}

// Every stop hands the camera back, also after a folder failure: an earlier
// file may have left it at the high speed.
FileOutcome Download::Stop() {
    ReportAndRecover(camera_, view_);
    return FileOutcome::Stopped;
}

bool Download::Finish() {
    view_.RestoreScreen();
    // The pictures still marked were not copied completely. The panel's update
    // below makes the host forget its marks (and a move's deletions renumber
    // the pictures), so they are marked again after it.
    std::vector<uint32_t> stay;
    if (std::find(complete_.begin(), complete_.end(), false) != complete_.end()) {
        stay = view_.MarkedPositions(panel_);
    }
    TransferList copied;
    for (std::size_t i = 0; i < list_.size(); ++i) {
        if (complete_[i]) {
            copied.push_back(list_[i]);
        }
    }
    FreeTransferList(list_);
    const bool deleting = move_ && !copied.empty();
    if (move_) {
        DeletePictures(camera_, view_, panel_, std::move(copied), &stay);
    }
    if (!deleting) {
        HandBack(camera_, view_);
    }
    view_.RefreshKeeping(panel_, stay);
    Warn();
    return true;
}

bool Download::EndAfterAbort() {
    if (move_ && view_.AskDeleteRemaining()) {
        return Finish();
    }
    Recover(camera_, view_);
    FreeTransferList(list_);
    Warn();
    return true;
}

void Download::Warn() {
    if (passedOver_ != 0) {
        view_.WarnNotCopied(passedOver_);
    }
    if (keepsThumbnailMove_) {
        view_.WarnThumbnailMoveKept();
    }
}

} // namespace

bool DownloadPictures(Camera& camera, TransferView& view, const PanelView& panel,
                      const DownloadRequest& request, std::optional<TransferList> list) {
    const OperationTiming timing;
    Download download(camera, view, panel, request);
    return download.Run(std::move(list));
}

} // namespace pixlor
