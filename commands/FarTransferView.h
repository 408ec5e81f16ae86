// The host's side of a copy or deletion: its boxes, its panel's marks and
// updates, the saved screen and the Esc poll.
#pragma once

#include <optional>

#include "commands/ProgressBox.h"
#include "plugin/CameraPanel.h"
#include "transfer/TransferView.h"

namespace pixlor {

class FarTransferView final : public TransferView {
public:
    explicit FarTransferView(CameraPanel& panel) : panel_(panel) {}

    void SaveScreen() override;
    void RestoreScreen() override;
    void ReportError(const CameraCodes& codes) override;
    const NameRules& Names() const override;

    TransferList SelectedPictures(const PanelView& panel, const NamingSettings& naming,
                                  const PictureTable& table) override;
    std::vector<uint32_t> MarkedPositions(const PanelView& panel) override;
    void Unmark(uint32_t position) override;
    void RefreshAfterDeletion() override;
    void RefreshFromTop() override;
    void RefreshKeeping(const PanelView& panel, const std::vector<uint32_t>& marked) override;
    void ListMayBeStale() override;

    void StartCopy(uint32_t totalFiles, uint32_t totalBytes) override;
    void StartFile(const std::string& path) override;
    bool FileProgress(uint32_t received, uint32_t size) override;
    void FinishFile(uint32_t size) override;
    void ShowDeleting(std::size_t index, std::size_t count) override;

    bool AskDownloadRemaining() override;
    bool AskDeleteRemaining() override;
    void WarnNotCopied(uint32_t pictures) override;
    void WarnThumbnailMoveKept() override;

private:
    HANDLE Handle() { return &panel_; }

    CameraPanel& panel_;
    HANDLE screen_ = nullptr;
    std::optional<DownloadProgressBox> box_;
};

// What the panel shows now, for the engines.
PanelView ViewOf(const CameraPanel& panel);

} // namespace pixlor
