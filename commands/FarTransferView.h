// The host's side of a copy or deletion: its boxes, its panel's marks and
// updates, the saved screen and the Esc poll (in the progress boxes).
#pragma once

#include <memory>

#include "commands/ProgressBox.h"
#include "plugin/CameraPanel.h"
#include "transfer/TransferView.h"

namespace pixlor {

// Which box shows a copy's progress.
enum class CopyBox : uint8_t {
    Bars,      // the panel's copy: the file and the total, a bar each
    FourLines, // the host's copy: the file and its percentage
};

class FarTransferView final : public TransferView {
public:
    explicit FarTransferView(CameraPanel& panel, CopyBox box = CopyBox::Bars)
        : panel_(panel), boxKind_(box) {}

    void SaveScreen() override;
    void RestoreScreen() override;
    void ReportError(const CameraCodes& codes) override;
    void ReportIncompleteFile(const std::string& path) override;
    const NameRules& Names() const override;

    std::vector<PanelItem> Selection() override;
    std::vector<uint32_t> MarkedPositions(const PanelView& panel) override;
    void Unmark(uint32_t position) override;
    void RefreshAfterDeletion() override;
    void RefreshFromTop() override;
    void RefreshKeeping(const PanelView& panel, const std::vector<uint32_t>& marked) override;
    // Remembered for the caller, which closes the panel.
    void ListMayBeStale() override { listMayBeStale_ = true; }

    void StartCopy(uint32_t totalFiles, uint32_t totalBytes) override;
    void StartFile(const std::string& path) override;
    bool FileProgress(uint32_t received, uint32_t size) override;
    void FinishFile(uint32_t size) override;
    void ShowDeleting(std::size_t index, std::size_t count) override;

    bool AskDownloadRemaining() override;
    bool AskDeleteRemaining() override;
    void WarnNotCopied(uint32_t pictures) override;
    void WarnThumbnailMoveKept() override;

    // ListMayBeStale was called during the operation.
    bool StaleListSeen() const { return listMayBeStale_; }

private:
    HANDLE Handle() { return &panel_; }

    CameraPanel& panel_;
    const CopyBox boxKind_;
    HANDLE screen_ = nullptr;
    std::unique_ptr<CopyProgressBox> box_;
    bool listMayBeStale_ = false;
};

// The host's item as the engines read it.
PanelItem ItemOf(const PluginPanelItem& item);

// What the panel shows now, for the engines.
PanelView ViewOf(const CameraPanel& panel);

} // namespace pixlor
