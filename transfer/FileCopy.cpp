#include "transfer/FileCopy.h"

#include <optional>

#include "camera/LinkStatus.h"
#include "platform/Platform.h"
#include "transfer/DownloadFailure.h"
#include "transfer/PathLimit.h"
#include "transfer/TransferList.h"

namespace pixlor {
namespace {

constexpr std::size_t kExtensionLength = 4; // ".jpg"

// Every stop hands the camera back, also after a folder or path failure: an
// earlier file may have left it at the high speed.
FileOutcome Stop(Camera& camera, TransferView& view) {
    ReportAndRecover(camera, view);
    return FileOutcome::Stopped;
}

FileOutcome Stop(Camera& camera, TransferView& view, int32_t linkStatus) {
    camera.SetLinkStatus(linkStatus);
    return Stop(camera, view);
}

// The file's path, or the LinkStatus of the failure. No path the system
// cannot hold is ever handed to it: the file could not be created there.
std::optional<std::string> TargetPath(const NameRules& names, const FileTarget& target,
                                      int32_t fileFailure, int32_t& failure) {
    failure = fileFailure;
    std::string name = target.name;
    if (target.numbered) {
        const std::size_t shortest =
            target.folder.size() + target.prefix.size() + target.digits + kExtensionLength;
        if (shortest >= kMaxPathBuffer) {
            NotePathTooLong();
            return std::nullopt;
        }
        uint32_t number = 0;
        int32_t numbering =
            NextNumberInFolder(names, target.digits, target.prefix.c_str(), target.folder, number);
        if (numbering == linkstatus::kFolderMissing) {
            if (!CurrentPlatform().files->MakeDirectory(target.folder.c_str())) {
                failure = linkstatus::kFolderCreate;
                return std::nullopt;
            }
            numbering = NextNumberInFolder(names, target.digits, target.prefix.c_str(),
                                           target.folder, number);
        }
        if (numbering != 0) {
            failure = numbering;
            return std::nullopt;
        }
        name = NumberedFileName(target.prefix, number, target.digits);
    }
    std::string path = target.folder + name;
    if (path.size() >= kMaxPathBuffer) {
        NotePathTooLong(); // not the folder scan's "no more files"
        return std::nullopt;
    }
    return path;
}

// A download that ended before the whole picture leaves no file under the
// picture's name. The removal keeps the system error of the cause for its
// report. False when an incomplete file stays.
bool RemoveIncomplete(const Camera& camera, const std::string& path) {
    if (!camera.LeftPartialFile()) {
        return true;
    }
    FileSystem& files = *CurrentPlatform().files;
    const uint32_t cause = files.LastError();
    if (files.RemoveFile(path.c_str())) {
        return true;
    }
    files.NoteFailure(cause);
    return false;
}

} // namespace

uint32_t PictureSize(const Camera& camera, uint32_t position, PictureKind kind) {
    const PictureRecord* record = camera.RecordAt(position);
    if (record == nullptr) {
        return 0;
    }
    return SizeOf(*record, kind);
}

FileOutcome CopyPictureFile(Camera& camera, TransferView& view, const PictureFile& file) {
    const uint32_t number = file.position + 1;
    if (file.detailsFirst && !camera.LoadPictureInfo(number, false)) {
        return Stop(camera, view);
    }
    int32_t failure = 0;
    const std::optional<std::string> path =
        TargetPath(view.Names(), file.target, Camera::FileFailure(file.kind), failure);
    if (!path) {
        return Stop(camera, view, failure);
    }

    view.StartFile(*path);
    const bool copied = camera.DownloadPicture(
        number, file.kind, file.last, path->c_str(),
        [&view](uint32_t received, uint32_t size) { return view.FileProgress(received, size); },
        file.time);
    const uint32_t size = PictureSize(camera, file.position, file.kind);
    if (copied) {
        view.FinishFile(size);
        return FileOutcome::Copied;
    }
    // Removed before any box waits for the user; reported after the cause.
    const bool incompleteKept = !RemoveIncomplete(camera, *path);
    FileOutcome outcome = FileOutcome::PassedOver;
    switch (ClassifyDownloadFailure(camera)) {
    case DownloadFailure::Stops:
        outcome = Stop(camera, view);
        break;
    case DownloadFailure::Aborted:
        outcome = FileOutcome::Aborted;
        break;
    case DownloadFailure::PassedOver:
        view.FinishFile(size);
        break;
    }
    if (incompleteKept) {
        view.ReportIncompleteFile(*path);
    }
    return outcome;
}

} // namespace pixlor
