// The progress boxes of a copy, redrawn from the camera's progress callback:
// the seven-line box of a download to folders (the target path, the current
// file's and the whole operation's byte counts with a bar each, the Esc hint)
// and the four-line box of the host's copy (its path, its percentage, the Esc
// hint). Each polls Esc with one EscPoll for the whole operation, so a press
// aborts one file.
#pragma once

#include <cstdint>
#include <string>

#include "host/Messages.h"
#include "host/PanelCalls.h"
#include "transfer/PathLimit.h"

namespace pixlor {

inline constexpr int kBarCells = 50;
inline constexpr std::size_t kBarLength = kBarCells + 2;
inline constexpr int kShownPathLength = 52;
inline constexpr int kHostShownPathLength = 60;             // the four-line box is wider
inline constexpr char kFullCell = static_cast<char>(0xDB);  // full block, OEM
inline constexpr char kShadeCell = static_cast<char>(0xB1); // medium shade, OEM

// part * 100 / whole, truncated; a whole of 0 counts as complete.
uint32_t PercentOf(uint64_t part, uint64_t whole);

// "[", 50 cells, "]": cell i (from 1) is full when 2 * i is not above `percent`.
std::string ProgressBar(uint32_t percent);

// Copies `path` into `out` (kMaxPathBuffer bytes) and shortens it with the
// host's TruncPathStr.
void ShortenPath(const std::string& path, int maxLength, char* out);

class CopyProgressBox {
public:
    virtual ~CopyProgressBox() = default;
    // A new file: its path shown, the Esc hint again.
    virtual void StartFile(const std::string& path) = 0;
    // A file copied or passed over: its size counts as done.
    virtual void FinishFile(uint32_t size) = 0;
    // The camera's callback: polls Esc, redraws; false to cancel the file.
    virtual bool Update(uint32_t received, uint32_t size) = 0;
};

class DownloadProgressBox final : public CopyProgressBox {
public:
    static constexpr int kLines = 7;

    DownloadProgressBox(uint32_t totalFiles, uint32_t totalBytes);

    void StartFile(const std::string& path) override;
    void FinishFile(uint32_t size) override { bytesFinished_ += size; }
    bool Update(uint32_t received, uint32_t size) override;

    const char* Line(int index) const { return lines_[index]; }
    uint32_t FilesStarted() const { return filesStarted_; }
    uint64_t BytesFinished() const { return bytesFinished_; }

private:
    static constexpr std::size_t kLineSize = 160;

    uint32_t totalFiles_;
    uint32_t totalBytes_;
    uint32_t filesStarted_ = 0;
    uint64_t bytesFinished_ = 0;
    char path_[kMaxPathBuffer] = {};
    char fileLine_[kLineSize] = {};
    char totalLine_[kLineSize] = {};
    std::string fileBar_;
    std::string totalBar_;
    const char* lines_[kLines] = {};
    EscPoll esc_;
};

class HostCopyBox final : public CopyProgressBox {
public:
    static constexpr int kLines = 4;

    HostCopyBox();

    void StartFile(const std::string& path) override;
    void FinishFile(uint32_t /*size*/) override {}
    bool Update(uint32_t received, uint32_t size) override;

private:
    char path_[kMaxPathBuffer] = {};
    char percent_[16] = "00%";
    const char* lines_[kLines] = {};
    EscPoll esc_; // the release of a press skips no other file
};

} // namespace pixlor
