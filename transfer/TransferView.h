// What the user sees and decides while pictures are copied or deleted, as the
// download and delete engines meet it: the screen, the panel's selection and
// marks, the progress, the questions and the reports. The engines name what
// happens; the host's implementation (commands/FarTransferView) turns each
// operation into its boxes and panel calls, the tests record them as events.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "camera/Camera.h"
#include "camera/CameraCodes.h"
#include "transfer/NameRules.h"
#include "transfer/NamingSettings.h"
#include "transfer/PanelItems.h"

namespace pixlor {

// What the panel shows when the operation starts.
struct PanelView {
    bool listsPictures = false; // its items are pictures to mark (also inside a folder)
    bool listsFolders = false;  // its items are the virtual folders of the folder template
    bool insideFolder = false;  // it shows the inside of one virtual folder
    PictureKind kind = PictureKind::Photo;

    bool ListsPictures() const { return listsPictures; }
    bool InsideFolder() const { return insideFolder; }
};

class TransferView {
public:
    virtual ~TransferView() = default;

    // The screen before the operation: saved once, restored once (a report
    // restores it too, before its box).
    virtual void SaveScreen() = 0;
    virtual void RestoreScreen() = 0;
    // The "Errors" box with the camera's codes, the saved screen restored first.
    virtual void ReportError(const CameraCodes& codes) = 0;
    // The "Errors" box naming a file a download left incomplete and that
    // could not be removed.
    virtual void ReportIncompleteFile(const std::string& path) = 0;
    // How the host compares the names of the files and folders written to.
    virtual const NameRules& Names() const = 0;

    // The panel's selected items as they are.
    virtual std::vector<PanelItem> Selection() = 0;
    // The positions of the pictures still marked; none where folders are listed.
    virtual std::vector<uint32_t> MarkedPositions(const PanelView& panel) = 0;
    // A copied picture's mark cleared, the panel redrawn.
    virtual void Unmark(uint32_t position) = 0;
    // The panel re-read after one deletion (its marks forgotten) and redrawn.
    virtual void RefreshAfterDeletion() = 0;
    // The panel re-read at the end of a deletion and redrawn from its top.
    virtual void RefreshFromTop() = 0;
    // The panel re-read at the end of a copy, `marked` marked again, redrawn.
    virtual void RefreshKeeping(const PanelView& panel, const std::vector<uint32_t>& marked) = 0;
    // A deletion may have happened unseen: the listed numbers may be stale
    // (the operation's caller closes the panel).
    virtual void ListMayBeStale() = 0;

    // The copy's progress: totals first, then each file.
    virtual void StartCopy(uint32_t totalFiles, uint32_t totalBytes) = 0;
    virtual void StartFile(const std::string& path) = 0;
    // The camera's progress callback; false when the user aborts (Esc).
    virtual bool FileProgress(uint32_t received, uint32_t size) = 0;
    // A file copied or passed over: its size counts as done.
    virtual void FinishFile(uint32_t size) = 0;
    // The deletion's progress: picture `index` (from 1) of `count`.
    virtual void ShowDeleting(std::size_t index, std::size_t count) = 0;

    // The two questions after an abort; true only for OK.
    virtual bool AskDownloadRemaining() = 0;
    virtual bool AskDeleteRemaining() = 0;
    // The warnings at the end of a copy.
    virtual void WarnNotCopied(uint32_t pictures) = 0;
    virtual void WarnThumbnailMoveKept() = 0;
};

// The pictures an operation works on: the list it was given, or those of the
// panel's selection.
TransferList PicturesToTransfer(std::optional<TransferList> given, TransferView& view,
                                const PanelView& panel, const NamingSettings& naming,
                                const PictureTable& table);

// After a failed camera operation: the report, then the camera handed back at
// 19200 bit/s, whose own failure is reported the same way.
void ReportAndRecover(Camera& camera, TransferView& view);
// The hand-back alone: its failure is reported, its success restores the screen.
void Recover(Camera& camera, TransferView& view);
// A camera still connected (a failed or aborted last file leaves it at the
// high speed) is handed back; a failure is reported.
void HandBack(Camera& camera, TransferView& view);

} // namespace pixlor
