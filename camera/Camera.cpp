#include "camera/Camera.h"

#include <exception>
#include <memory>

#include "camera/LinkStatus.h"
#include "camera/PacketStatus.h"
#include "camera/UtcDate.h"
#include "platform/Platform.h"
#include "serial/PortFlags.h"

namespace pixlor {
namespace {

constexpr uint8_t kRegisterCheck = 1;
constexpr uint8_t kRegisterSelected = 4;
constexpr uint8_t kRegisterCount = 10;
constexpr uint8_t kRequestPhoto = 0x0E;
constexpr uint8_t kRequestThumbnail = 0x0F;
constexpr uint8_t kRequestInfo = 0x2F;
constexpr uint8_t kDeleteLast = 0;
constexpr uint8_t kDeleteSelected = 7;
constexpr uint32_t kDeleteWaitUs = 1000000;
constexpr uint8_t kRefusedByDeleteLast = 2; // deleteMode once sub-code 0 was refused

constexpr uint32_t kInfoSize = 24;
constexpr uint32_t kNoTime = 0xFFFFFFFF;
// Time-outs that do not count as tries while waiting for a picture's data.
constexpr int kMaxUncountedTimeouts = 10;

// Whether an operation hands the camera back at its end (closeAfter, release).
constexpr bool kHandBack = true;
constexpr bool kStayConnected = false;
// Whether the hand-back keeps the link's status and the port's flags as they
// were before it, or leaves its own there (preserveCodes).
constexpr bool kKeepCodes = true;
constexpr bool kUpdateCodes = false;
// A NAK asks for the same packet again, an ACK for the next (negative).
constexpr bool kSamePacketAgain = true;
constexpr bool kNextPacket = false;

// What tells a photo's download from a thumbnail's: the data it asks for and
// the LinkStatus of each way it can fail.
struct KindOnTheLine {
    uint8_t request;
    int32_t failed;     // the link, or data that is not the picture
    int32_t outOfRange; // no such picture
    int32_t cancelled;  // the progress callback said stop
    int32_t fileFailed; // the file not created, written or closed
};
constexpr KindOnTheLine kPhoto{kRequestPhoto, linkstatus::kPhotoDownload, linkstatus::kPhotoRange,
                               linkstatus::kPhotoCancelled, linkstatus::kPhotoFile};
constexpr KindOnTheLine kThumbnail{kRequestThumbnail, linkstatus::kThumbnailDownload,
                                   linkstatus::kThumbnailRange, linkstatus::kThumbnailCancelled,
                                   linkstatus::kThumbnailFile};

const KindOnTheLine& KindOf(PictureKind kind) {
    return kind == PictureKind::Photo ? kPhoto : kThumbnail;
}

// The tries of one packet while a picture's data comes in.
struct PacketRetries {
    uint32_t firstFlags; // the port's flags after the request
    int tries = 0;
    int uncountedTimeouts = 0;
};

// Asks for a packet that failed to arrive again, until it comes or the tries
// are spent; true when it came.
bool AwaitPacket(PacketLink& link, PacketRetries& retries) {
    const uint32_t& flags = link.Port().flags;
    while ((flags & portflag::kRetryMask) != 0) {
        // After an unexpected first answer the camera may still be busy:
        // time-outs then do not count as tries, but the wait is bounded.
        if ((retries.firstFlags & portflag::kUnexpectedByte) != 0 &&
            (flags & portflag::kReadFailed) != 0) {
            retries.tries = 0;
            if (++retries.uncountedTimeouts >= kMaxUncountedTimeouts) {
                break;
            }
        } else {
            ++retries.tries;
        }
        if ((flags & portflag::kUnexpectedByte) != 0) {
            CurrentPlatform().sleeper->Sleep(500);
        }
        if (retries.tries == 3) {
            break;
        }
        link.AcknowledgeAndReceive(kSamePacketAgain);
    }
    if (flags != 0) {
        return false;
    }
    retries.tries = 0;
    return true;
}

// A little-endian field of the information payload; the bytes it lacks read as 0.
uint32_t InfoField(std::span<const uint8_t> payload, size_t offset) {
    uint32_t value = 0;
    for (size_t i = 0; i < 4; ++i) {
        if (offset + i < payload.size()) {
            value |= uint32_t{payload[offset + i]} << (8 * i);
        }
    }
    return value;
}

} // namespace

Camera::Camera(uint8_t portIndex, uint32_t speedIndex)
    : link_(portIndex), speedIndex_(speedIndex) {}

Camera::~Camera() {
    Disconnect();
    table_.Clear();
}

CameraCodes Camera::Codes() const {
    return CameraCodes{linkStatus_, link_.status, link_.Port().flags};
}

void Camera::RefusalRule() {
    if ((Flags() & portflag::kRefusalMask) != 0) {
        EndConnection(kHandBack, kKeepCodes);
    }
}

bool Camera::Connect() {
    if (connected_) {
        return true;
    }
    if ((!link_.Handshake() && !WakeFromConfiguredSpeed()) || !link_.SetLineSpeed(speedIndex_)) {
        return false;
    }
    // The camera runs at the new speed from here on: a failed check read must
    // still let Disconnect and the refusal rule hand it back.
    connected_ = true;
    uint32_t ignored = 0;
    return link_.GetRegister(kRegisterCheck, ignored);
}

// A broken line (a time-out, an unexpected byte) hands nothing back, so the
// camera may still listen at the configured speed, deaf to the probes at
// 19200 bit/s. The first failure's codes are the ones reported.
bool Camera::WakeFromConfiguredSpeed() {
    const int32_t status = link_.status;
    const uint32_t flags = Flags();
    if (status != packetstatus::kNoProbeAnswer || packet::LineSpeed(speedIndex_) == 19200) {
        return false;
    }
    if (link_.ResetSpeedFrom(speedIndex_) && link_.Handshake()) {
        return true;
    }
    link_.status = status;
    Flags() = flags;
    return false;
}

bool Camera::EndConnection(bool release, bool preserveCodes) {
    const int32_t savedStatus = link_.status;
    const uint32_t savedFlags = Flags();
    auto restore = [&] {
        if (preserveCodes) {
            link_.status = savedStatus;
            Flags() = savedFlags;
        }
    };
    if (!connected_ || !release) {
        return true;
    }
    if (!link_.ResetLineSpeed()) {
        restore();
        return false;
    }
    connected_ = false;
    restore();
    return true;
}

bool Camera::Disconnect() {
    linkStatus_ = linkstatus::kOk;
    if ((Flags() & portflag::kBrokenLineMask) != 0 || link_.Port().deviceGone) {
        return true; // the line is broken: nothing would get through
    }
    if (!EndConnection(kHandBack, kUpdateCodes)) {
        linkStatus_ = linkstatus::kDisconnect;
        return false;
    }
    return true;
}

bool Camera::ReadPictureCount(bool closeAfter) {
    linkStatus_ = linkstatus::kPictureCount;
    if (!Connect()) {
        return false;
    }
    if (!link_.GetRegister(kRegisterCount, pictureCount_)) {
        RefusalRule();
        return false;
    }
    if (!EndConnection(closeAfter, kUpdateCodes)) {
        return false;
    }
    linkStatus_ = linkstatus::kOk;
    countKnown_ = true;
    return true;
}

bool Camera::LoadPictureTable() {
    if (!countKnown_ && !ReadPictureCount(kHandBack)) {
        RefusalRule();
        return false;
    }
    if (pictureCount_ == 0) {
        table_.Clear();
        return true;
    }
    try {
        table_.Build(pictureCount_);
    } catch (const std::exception&) {
        linkStatus_ = linkstatus::kPictureCount; // a count no memory can hold
        return false;
    }
    return true;
}

bool Camera::SelectPicture(uint32_t number) {
    if (number == 0 || number > pictureCount_) {
        linkStatus_ = linkstatus::kSelectRange;
        return false;
    }
    if (link_.selectedPicture != number) {
        if (!link_.SetRegister(kRegisterSelected, number)) {
            RefusalRule();
            linkStatus_ = linkstatus::kSelect;
            return false;
        }
    }
    link_.selectedPicture = number;
    return true;
}

bool Camera::LoadPictureInfo(uint32_t number, bool closeAfter) {
    PictureRecord* record = number == 0 ? nullptr : table_.RecordAt(number - 1);
    if (number == 0 || number > pictureCount_ || record == nullptr) {
        linkStatus_ = linkstatus::kInfoRange;
        return false;
    }
    if (record->infoLoaded) {
        return true;
    }
    linkStatus_ = linkstatus::kPictureInfo;
    if (!Connect()) {
        return false;
    }
    if (!SelectPicture(number)) {
        RefusalRule();
        linkStatus_ = linkstatus::kSelect;
        return false;
    }
    if (!link_.RequestData(kRequestInfo)) {
        RefusalRule();
        linkStatus_ = linkstatus::kPictureInfo;
        return false;
    }
    const std::span<const uint8_t> info = link_.PacketPayload();
    record->photoSize = InfoField(info, 0);
    record->thumbnailSize = InfoField(info, 4);
    uint64_t time = info.size() < kInfoSize ? kNoTime : InfoField(info, 20);
    if (time == kNoTime) {
        time = CurrentPlatform().clock->NowUnixSeconds();
    }
    const UtcDate date = BreakDownUtc(time);
    record->day = date.day;
    record->month = date.month;
    record->year = date.year;
    record->hour = date.hour;
    record->minute = date.minute;
    record->second = date.second;
    if (!link_.SendByte(ctrl::kAck)) {
        return false;
    }
    record->infoLoaded = true;
    return EndConnection(closeAfter, kUpdateCodes);
}

struct Camera::PictureDownload {
    PictureDownload(const KindOnTheLine& of, const DownloadProgress& told, bool handBack)
        : kind(of), progress(told), closeAfter(handBack) {}

    const KindOnTheLine& kind;
    const DownloadProgress& progress;
    bool closeAfter;
    uint32_t total = 0;
    uint32_t received = 0;
    bool tooMuch = false; // the camera sent more than the picture's size
    std::unique_ptr<WritableFile> file;

    bool GoOn(uint32_t bytes) const { return !progress || progress(bytes, total); }
};

int32_t Camera::FileFailure(PictureKind kind) {
    return KindOf(kind).fileFailed;
}

bool Camera::DownloadPicture(uint32_t number, PictureKind kind, bool closeAfter, const char* path,
                             const DownloadProgress& progress, const FileTime& fileTime) {
    partialFile_ = false;
    PictureDownload download{KindOf(kind), progress, closeAfter};
    if (!StartDownload(number, kind, path, download)) {
        return false;
    }
    ReceivePicture(download);
    return FinishDownload(download, fileTime);
}

bool Camera::StartDownload(uint32_t number, PictureKind kind, const char* path,
                           PictureDownload& download) {
    linkStatus_ = download.kind.failed;
    if (number == 0 || number > pictureCount_) {
        linkStatus_ = download.kind.outOfRange;
        return false;
    }
    if (!Connect() || !SelectPicture(number) || !LoadPictureInfo(number, kStayConnected)) {
        return false;
    }
    const PictureRecord* record = table_.RecordAt(number - 1);
    if (record == nullptr) {
        return false; // LoadPictureInfo has vouched for it; kept for the compiler
    }
    download.total = SizeOf(*record, kind);
    if (!download.GoOn(0)) {
        // Cancelled before anything was asked for: no file, nothing sent.
        linkStatus_ = download.kind.cancelled;
        return false;
    }
    download.file = CurrentPlatform().files->CreateNew(path);
    if (!download.file) {
        linkStatus_ = download.kind.fileFailed;
        return false;
    }
    partialFile_ = true;
    return true;
}

void Camera::ReceivePicture(PictureDownload& download) {
    linkStatus_ = linkstatus::kOk;
    link_.RequestData(download.kind.request); // the packets' loop reads the flags
    PacketRetries retries{Flags()};
    while (AwaitPacket(link_, retries) && TakePacket(download)) {
        link_.AcknowledgeAndReceive(kNextPacket);
    }
}

bool Camera::TakePacket(PictureDownload& download) {
    const std::span<const uint8_t> payload = link_.PacketPayload();
    const auto n = static_cast<uint32_t>(payload.size());
    if (n > download.total - download.received) {
        // More than the picture's size: this is not the picture, and a camera
        // that goes on sending would fill the disk. Stop it as a cancel does.
        StopSending(download, download.kind.failed);
        download.tooMuch = true;
        return false;
    }
    download.received += n;
    const bool more = download.GoOn(download.received);
    uint32_t written = 0;
    if (!download.file->Write(payload.data(), n, written) || written != n) {
        // Full disk or a removed drive: stop the camera as a cancel does.
        StopSending(download, download.kind.fileFailed);
        return false;
    }
    if (!more) {
        StopSending(download, download.kind.cancelled);
        return false;
    }
    if (link_.PacketType() == ctrl::kLast) {
        link_.SendByte(ctrl::kAck);
        return false;
    }
    return true;
}

void Camera::StopSending(PictureDownload& download, int32_t code) {
    link_.SendByte(ctrl::kCancel);
    download.closeAfter = true;
    linkStatus_ = code;
}

bool Camera::FinishDownload(PictureDownload& download, const FileTime& fileTime) {
    download.file->SetTimes(fileTime, fileTime, fileTime);
    if (!download.file->Close() && linkStatus_ == linkstatus::kOk) {
        // The last data may not have reached the disk.
        linkStatus_ = download.kind.fileFailed;
    }
    if (Flags() != 0) {
        linkStatus_ = download.kind.failed;
        RefusalRule();
        return false;
    }
    if (linkStatus_ == linkstatus::kOk && download.received != download.total) {
        // The transfer ended before the picture did, or a packet came twice (a
        // lost ACK is answered by the same packet again): the file is not the
        // picture, and a move must not delete it in the camera.
        linkStatus_ = download.kind.failed;
        return false;
    }
    partialFile_ = linkStatus_ != linkstatus::kOk;
    if (!EndConnection(download.closeAfter, kUpdateCodes)) {
        return false;
    }
    if (download.tooMuch) {
        // Set after the hand-back, whose exchange clears the word: the report
        // says why the link code stands.
        Flags() |= portflag::kTooMuchData;
    }
    return linkStatus_ == linkstatus::kOk;
}

bool Camera::DeletePicture(uint32_t number, bool closeAfter) {
    if (!Connect()) {
        return false;
    }
    if (number == 0) {
        // Sub-code 0 would delete the camera's last picture.
        linkStatus_ = linkstatus::kSelectRange;
        return false;
    }
    for (;;) {
        if (number != pictureCount_ || link_.deleteMode == kRefusedByDeleteLast) {
            if (!SelectPicture(number)) {
                return false;
            }
        }
        linkStatus_ = linkstatus::kDelete;
        const bool last = number == pictureCount_ && link_.deleteMode != kRefusedByDeleteLast;
        if (link_.Action(last ? kDeleteLast : kDeleteSelected, 0, kDeleteWaitUs)) {
            break;
        }
        if ((Flags() & portflag::kRefused) != 0 && link_.deleteMode == 0) {
            link_.deleteMode = kRefusedByDeleteLast; // this camera wants a selection
            continue;
        }
        if ((Flags() & portflag::kTimeoutsFailed) != 0) {
            linkStatus_ = linkstatus::kDeleteTimeouts;
        }
        RefusalRule();
        return false;
    }
    table_.Remove(number - 1);
    --pictureCount_;
    if (!EndConnection(closeAfter, kUpdateCodes)) {
        return false;
    }
    linkStatus_ = linkstatus::kOk;
    return true;
}

} // namespace pixlor
