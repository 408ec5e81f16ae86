#include "commands/ProgressBox.h"

#include <algorithm>

#include "host/Host.h"
#include "host/MessageIds.h"
#include "host/Messages.h"
#include "platform/BoundedText.h"

namespace pixlor {

uint32_t PercentOf(uint64_t part, uint64_t whole) {
    if (whole == 0) {
        return 100;
    }
    // 64 bits: a batch of many pictures passes 2^32 / 100 bytes.
    return static_cast<uint32_t>(std::min<uint64_t>(part * 100 / whole, UINT32_MAX));
}

std::string ProgressBar(uint32_t percent) {
    std::string bar(kBarLength, kShadeCell);
    bar.front() = '[';
    bar.back() = ']';
    for (uint32_t cell = 1; cell <= kBarCells; ++cell) {
        if (2 * cell <= percent) {
            bar[cell] = kFullCell;
        }
    }
    return bar;
}

void ShortenPath(const std::string& path, int maxLength, char* out) {
    CopyBounded(out, kMaxPathBuffer, path);
    if (hostFunctions.TruncPathStr != nullptr) {
        hostFunctions.TruncPathStr(out, maxLength);
    }
}

DownloadProgressBox::DownloadProgressBox(uint32_t totalFiles, uint32_t totalBytes)
    : totalFiles_(totalFiles), totalBytes_(totalBytes) {
    lines_[0] = MessageText(MCopyTitle);
    lines_[1] = path_;
    lines_[2] = fileLine_;
    lines_[4] = totalLine_;
    lines_[6] = MessageText(MPressEscToAbort);
    lines_[3] = "";
    lines_[5] = "";
}

void DownloadProgressBox::StartFile(const std::string& path) {
    ShortenPath(path, kShownPathLength, path_);
    lines_[6] = MessageText(MPressEscToAbort);
    ++filesStarted_;
}

bool DownloadProgressBox::Update(uint32_t received, uint32_t size) {
    const bool esc = esc_.Pressed();
    if (esc) {
        lines_[6] = MessageText(MAborting);
    }
    const uint32_t filePercent = PercentOf(received, size);
    const uint64_t done = received + bytesFinished_;
    const uint32_t totalPercent = PercentOf(done, totalBytes_);

    const int64_t fileValues[4] = {filesStarted_, received, size, filePercent};
    FormatLine(fileLine_, sizeof fileLine_, MessageText(MFileProgress), fileValues, 4);
    const int64_t totalValues[4] = {totalFiles_, static_cast<int64_t>(done), totalBytes_,
                                    totalPercent};
    FormatLine(totalLine_, sizeof totalLine_, MessageText(MTotalProgress), totalValues, 4);
    fileBar_ = ProgressBar(filePercent);
    totalBar_ = ProgressBar(totalPercent);
    lines_[3] = fileBar_.c_str();
    lines_[5] = totalBar_.c_str();

    ShowLines(FMSG_LEFTALIGN, nullptr, lines_, kLines);
    return !esc;
}

HostCopyBox::HostCopyBox() {
    lines_[0] = MessageText(MHostCopyTitle);
    lines_[1] = path_;
    lines_[2] = percent_;
    lines_[3] = MessageText(MPressEscToAbort);
}

void HostCopyBox::StartFile(const std::string& path) {
    ShortenPath(path, kHostShownPathLength, path_);
    CopyBounded(percent_, sizeof percent_, "00%");
    lines_[3] = MessageText(MPressEscToAbort);
}

bool HostCopyBox::Update(uint32_t received, uint32_t size) {
    const bool esc = esc_.Pressed();
    if (esc) {
        lines_[3] = MessageText(MAborting);
    }
    // A fixed format and at most ten digits: the buffer holds any value.
    const auto percent = static_cast<int>(PercentOf(received, size));
    if (hostFunctions.sprintf != nullptr) {
        hostFunctions.sprintf(percent_, "%02d%%", percent);
    }
    ShowLines(0, nullptr, lines_, kLines);
    return !esc;
}

} // namespace pixlor
