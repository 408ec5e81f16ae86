// One session of the panel with a camera, as the fuzz target of the camera's
// answers drives it and as the seed maker records it: the link's set-up
// primitives, then the camera object's table, information, downloads and
// deletions. Every step is followed by the checks of what must hold whatever
// the camera answers; a violation aborts, which the fuzzer reports as a crash.
//
// The session's options are the first four bytes of a fuzz input:
//   0  speed index (low 3 bits, so 6 and 7 are tried too)
//   1  bit 0: the download names of odd pictures exist already
//      bits 1-3: cancel through the progress callback at its n-th call (0: never)
//      bit 4: download the thumbnails too
//      bits 5-7: pictures to delete
//   2  serial call to fail (0 none, else SerialOp + 1, modulo 10)
//   3  bit 7: the fault persists; bits 0-6: at the (n + 1)-th call of it
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "camera/Camera.h"
#include "camera/LinkStatus.h"
#include "camera/PacketStatus.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeFileSystem.h"
#include "fakes/FakeSerialDevice.h"
#include "platform/Platform.h"
#include "serial/PortFlags.h"

namespace pixlor::fuzz {

inline constexpr size_t kOptionBytes = 4;
// Pictures walked through; the table itself may be larger.
inline constexpr uint32_t kWalkedPictures = 6;
// A larger count is a camera that is not worth a table here.
inline constexpr uint32_t kMaxTable = 4096;
// Far beyond what any sequence of bounded retries can make.
inline constexpr uint64_t kMaxPauses = 100000;
inline constexpr uint64_t kMaxTimeouts = 20000;

struct SessionOptions {
    uint32_t speedIndex = 5;
    bool namesTaken = false;
    uint32_t cancelAt = 0; // progress call that returns false; 0 never
    bool thumbnails = false;
    uint32_t deletions = 0;
    int faultOp = -1; // SerialOp, or -1
    int faultAt = 1;
    bool faultPersists = false;

    static SessionOptions From(const uint8_t* data) {
        SessionOptions o;
        o.speedIndex = data[0] & 7u;
        o.namesTaken = (data[1] & 1u) != 0;
        o.cancelAt = (data[1] >> 1) & 7u;
        o.thumbnails = (data[1] & 0x10u) != 0;
        o.deletions = data[1] >> 5;
        const int op = data[2] % 10;
        o.faultOp = op - 1;
        o.faultAt = (data[3] & 0x7F) + 1;
        o.faultPersists = (data[3] & 0x80) != 0;
        return o;
    }
    void To(uint8_t* data) const {
        data[0] = static_cast<uint8_t>(speedIndex);
        data[1] = static_cast<uint8_t>((namesTaken ? 1 : 0) | cancelAt << 1 |
                                       (thumbnails ? 0x10 : 0) | deletions << 5);
        data[2] = static_cast<uint8_t>(faultOp + 1);
        data[3] = static_cast<uint8_t>((faultAt - 1) | (faultPersists ? 0x80 : 0));
    }
};

// Counts the pauses; an endless wait would run into the bound.
class BoundedSleeper final : public Sleeper {
public:
    void Sleep(uint32_t) override {
        if (++pauses > kMaxPauses) {
            Violation("the link pauses without end", __LINE__);
        }
    }
    uint64_t pauses = 0;
};

// The camera's side of the line from a fuzz input: chunks of a 2-byte
// little-endian length and that many bytes. Whenever the host reads with
// nothing queued, the next chunk arrives; without one the read times out, as
// a silent camera does.
class Answers {
public:
    Answers(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    void Attach(fakes::FakeSerialDevice& device) {
        device.onRead = [this](fakes::FakeSerialDevice& d) { Deliver(d); };
    }

    void Deliver(fakes::FakeSerialDevice& device) {
        if (at_ + 2 > size_) {
            if (++timeouts_ > kMaxTimeouts) {
                Violation("the host reads a silent line without end", __LINE__);
            }
            at_ = size_;
            return;
        }
        size_t length = data_[at_] | size_t{data_[at_ + 1]} << 8;
        at_ += 2;
        length = std::min(length, size_ - at_);
        device.Queue(std::span<const uint8_t>(data_ + at_, length));
        at_ += length;
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
    uint64_t timeouts_ = 0;
};

inline constexpr uint32_t kDefinedFlags =
    portflag::kBadChecksum | portflag::kUnexpectedByte | portflag::kRefused | portflag::kNak |
    portflag::kTooMuchData | portflag::kReadFailed | portflag::kLineFailed |
    portflag::kReadNotOpen | portflag::kWriteFailed | portflag::kTimeoutsFailed |
    portflag::kPurgeBeforeWrite | portflag::kPurgeBeforeRead;

inline bool CameraMaySet(int32_t code) {
    // 8 is no code; 17 to 19 belong to the transfer operations.
    return code >= 0 && code <= 20 && code != 8 && (code < 17 || code > 19);
}

inline void CheckCodes(const Camera& camera) {
    FUZZ_CHECK(CameraMaySet(camera.LinkStatus()));
    FUZZ_CHECK(camera.Link().status >= packetstatus::kOk &&
               camera.Link().status <= packetstatus::kReceiveFailed);
    FUZZ_CHECK((camera.Link().Port().flags & ~kDefinedFlags) == 0);
    FUZZ_CHECK(camera.Link().PacketPayload().size() <= packet::kMaxPayload);
    FUZZ_CHECK(camera.Table().Size() == camera.PictureCount() || !camera.CountKnown() ||
               camera.Table().Size() == 0);
}

// A failure is never reported with all three codes at zero.
inline bool SomeCodeTellsWhy(const Camera& camera) {
    return camera.LinkStatus() != 0 || camera.Link().status != 0 || camera.Link().Port().flags != 0;
}

inline void CheckLinkStep(const Camera& camera, bool ok) {
    CheckCodes(camera);
    if (ok) {
        FUZZ_CHECK(camera.Link().status == packetstatus::kOk);
    } else {
        FUZZ_CHECK(camera.Link().status != packetstatus::kOk);
    }
}

inline std::string DownloadName(uint32_t number, PictureKind kind) {
    return (kind == PictureKind::Photo ? "pic" : "thumb") + std::to_string(number) + ".jpg";
}

inline void RunSession(fakes::FakeSerialDevice& device, const SessionOptions& options) {
    fakes::FakeSerialFactory factory(device);
    BoundedSleeper sleeper;
    FakeClock clock;
    FakeFileSystem files;
    ScopedPlatform scope(
        Platform{.serial = &factory, .sleeper = &sleeper, .clock = &clock, .files = &files});
    if (options.faultOp >= 0) {
        device.FailOn(static_cast<fakes::SerialOp>(options.faultOp), options.faultAt,
                      options.faultPersists);
    }
    const std::string kept = "kept";
    if (options.namesTaken) {
        for (uint32_t n = 1; n <= kWalkedPictures; n += 2) {
            files.AddFile(DownloadName(n, PictureKind::Photo), kept);
            files.AddFile(DownloadName(n, PictureKind::Thumbnail), kept);
        }
    }
    const std::vector<std::string> before = files.FilePaths();

    Camera camera(1, options.speedIndex);
    PacketLink& link = camera.Link();

    // The link's own set-up, as a connection makes it.
    bool ok = link.Handshake();
    CheckLinkStep(camera, ok);
    if (ok) {
        ok = link.SetLineSpeed(options.speedIndex);
        CheckLinkStep(camera, ok);
    }
    if (ok) {
        uint32_t value = 0;
        ok = link.GetRegister(1, value);
        CheckLinkStep(camera, ok);
    }
    if (ok) {
        CheckLinkStep(camera, link.ResetLineSpeed());
    }

    // The panel's opening: count, table, every picture's information.
    for (int attempt = 0; attempt < 2 && !camera.CountKnown(); ++attempt) {
        const bool counted = camera.ReadPictureCount(true);
        CheckCodes(camera);
        FUZZ_CHECK(counted == camera.CountKnown());
        FUZZ_CHECK(counted == (camera.LinkStatus() == linkstatus::kOk));
        if (!counted) {
            camera.Disconnect();
            CheckCodes(camera);
        }
    }
    if (!camera.CountKnown() || camera.PictureCount() > kMaxTable) {
        return;
    }
    FUZZ_CHECK(camera.LoadPictureTable());
    CheckCodes(camera);
    FUZZ_CHECK(camera.Table().Size() == camera.PictureCount());
    const uint32_t walked = std::min(camera.PictureCount(), kWalkedPictures);
    for (uint32_t n = 1; n <= walked; ++n) {
        const bool loaded = camera.LoadPictureInfo(n, n == walked);
        CheckCodes(camera);
        if (loaded) {
            const PictureRecord* record = camera.RecordAt(n - 1);
            FUZZ_CHECK(record != nullptr && record->infoLoaded);
            FUZZ_CHECK(record->month >= 1 && record->month <= 12);
            FUZZ_CHECK(record->day >= 1 && record->day <= 31);
            FUZZ_CHECK(record->hour < 24 && record->minute < 60 && record->second < 60);
        } else {
            camera.Disconnect();
            CheckCodes(camera);
        }
    }
    camera.Disconnect();
    CheckCodes(camera);

    // Copying: every walked picture, then its thumbnail if asked.
    uint32_t progressCalls = 0;
    for (uint32_t n = 1; n <= walked; ++n) {
        for (const PictureKind kind : {PictureKind::Photo, PictureKind::Thumbnail}) {
            const bool isPhoto = kind == PictureKind::Photo;
            if (!isPhoto && !options.thumbnails) {
                continue;
            }
            const std::string name = DownloadName(n, kind);
            const bool existed = files.HasFile(name);
            uint32_t lastReceived = 0;
            uint32_t calls = 0;
            auto progress = [&](uint32_t received, uint32_t total) {
                const PictureRecord* record = camera.RecordAt(n - 1);
                FUZZ_CHECK(record != nullptr);
                FUZZ_CHECK(total == SizeOf(*record, kind));
                FUZZ_CHECK(calls > 0 || received == 0);
                FUZZ_CHECK(received >= lastReceived);
                lastReceived = received;
                ++calls;
                return options.cancelAt == 0 || ++progressCalls != options.cancelAt;
            };
            const bool last = n == walked && (isPhoto ? !options.thumbnails : true);
            const bool copied = camera.DownloadPicture(n, kind, last, name.c_str(), progress,
                                                       FileTime{n, 0x01C21467});
            CheckCodes(camera);
            const FakeFile* file = files.File(name);
            if (existed) {
                FUZZ_CHECK(!copied);
                FUZZ_CHECK(files.Text(name) == kept);
            } else if (file != nullptr) {
                // What the callback was told is exactly what the file holds.
                FUZZ_CHECK(file->bytes.size() == lastReceived);
                FUZZ_CHECK(!file->open);
                FUZZ_CHECK(file->timesSet);
            }
            if (copied) {
                FUZZ_CHECK(file != nullptr);
                FUZZ_CHECK(camera.LinkStatus() == linkstatus::kOk);
                FUZZ_CHECK(camera.Link().Port().flags == 0);
            } else {
                FUZZ_CHECK(SomeCodeTellsWhy(camera));
                camera.Disconnect();
                CheckCodes(camera);
            }
        }
    }

    // Deleting from the first picture on.
    for (uint32_t d = 0; d < options.deletions && camera.PictureCount() > 0; ++d) {
        const uint32_t count = camera.PictureCount();
        const bool deleted = camera.DeletePicture(1, d + 1 == options.deletions);
        CheckCodes(camera);
        if (deleted) {
            FUZZ_CHECK(camera.PictureCount() == count - 1);
            FUZZ_CHECK(camera.LinkStatus() == linkstatus::kOk);
        } else {
            // Deleted, but the camera could not be handed back afterwards.
            const bool handBackFailed = camera.LinkStatus() == linkstatus::kDelete &&
                                        (camera.Link().status == packetstatus::kSpeedResetRefused ||
                                         camera.Link().status == packetstatus::kLineFailed);
            FUZZ_CHECK(camera.PictureCount() == count ||
                       (camera.PictureCount() == count - 1 && handBackFailed));
            FUZZ_CHECK(SomeCodeTellsWhy(camera));
            camera.Disconnect();
            CheckCodes(camera);
        }
        FUZZ_CHECK(camera.Table().Size() == camera.PictureCount());
    }

    // No file that was there before was touched; no read asked for more than a packet.
    for (const std::string& path : before) {
        FUZZ_CHECK(files.Text(path) == kept);
    }
    for (const fakes::SerialCall& call : device.calls) {
        FUZZ_CHECK(call.op != fakes::SerialOp::Read || call.count <= packet::kMaxPayload);
    }
}

} // namespace pixlor::fuzz
