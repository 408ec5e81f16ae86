#include "transfer/DownloadPictures.h"

#include <algorithm>
#include <vector>

#include "platform/Sleeper.h"
#include "transfer/DeletePictures.h"
#include "transfer/FileCopy.h"
#include "transfer/NameTemplate.h"

namespace pixlor {
namespace {

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
    uint32_t SizeOf(uint32_t position, PictureKind kind) const {
        return PictureSize(camera_, position, kind);
    }
    std::string TargetFolder(uint32_t position, PictureKind folderKind) const;
    FileOutcome CopyFile(const TransferItem& item, PictureKind kind, PictureKind folderKind,
                         bool last);
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
    list_ = PicturesToTransfer(std::move(given), view_, panel_, naming_, camera_.Table());

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
    PictureFile file;
    file.position = item.position;
    file.kind = kind;
    file.time = item.timeStamp;
    file.target.folder = TargetFolder(item.position, folderKind);
    file.target.numbered = true;
    file.target.prefix =
        ExpandedName(item.position, naming_.Prefix(kind), &camera_.Table()).c_str();
    file.target.digits = naming_.Digits(kind);
    file.last = last;
    return CopyPictureFile(camera_, view_, file);
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
