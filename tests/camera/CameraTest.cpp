#include <algorithm>

#include <gtest/gtest.h>

#include "camera/Camera.h"
#include "camera/LinkStatus.h"
#include "camera/PacketStatus.h"
#include "fakes/FakeCamera.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeFileSystem.h"
#include "fakes/FakeSleeper.h"
#include "serial/PortFlags.h"

namespace pixlor {
namespace {

using fakes::CameraFault;
using fakes::FakeCamera;
using fakes::FakePicture;
using fakes::FakeSerialDevice;
using fakes::FakeSerialFactory;
using fakes::FakeSleeper;
using fakes::SerialOp;
using Bytes = std::vector<uint8_t>;

constexpr uint32_t k15June2002 = 0x3D0B3375; // 2002-06-15 12:30:45
const FileTime kTime{0x89ABCDEF, 0x01C21467};

class CameraTest : public testing::Test {
protected:
    FakeSerialDevice device;
    FakeSerialFactory factory{device};
    FakeSleeper sleeper;
    FakeClock clock{1021626330}; // 2002-05-17 09:05:30
    FakeFileSystem files;
    ScopedPlatform scope{
        Platform{.serial = &factory, .sleeper = &sleeper, .clock = &clock, .files = &files}};
    FakeCamera fake{device};
    Camera camera{1, 5};

    // n pictures of distinct sizes and dates, their table and information loaded.
    void Pictures(uint32_t n, uint32_t photoSize = 2500) {
        for (uint32_t i = 0; i < n; ++i) {
            fake.AddPicture(FakePicture::Sized(photoSize + i, 300 + i, k15June2002 + i * 86400,
                                               static_cast<uint8_t>(i)));
        }
        ASSERT_TRUE(camera.LoadPictureTable());
        for (uint32_t i = 1; i <= n; ++i) {
            ASSERT_TRUE(camera.LoadPictureInfo(i, i == n));
        }
        ASSERT_TRUE(camera.Disconnect());
        fake.commands.clear();
        fake.controlBytes.clear();
        fake.speedIndexes.clear();
    }
    Bytes FileBytes(const char* path) const {
        const FakeFile* file = files.File(path);
        return file ? file->bytes : Bytes{};
    }
};

TEST_F(CameraTest, AnEmptyCameraHasAnEmptyTableAndRefusesPictureNumbers) {
    ASSERT_TRUE(camera.LoadPictureTable());
    EXPECT_EQ(camera.PictureCount(), 0u);
    EXPECT_EQ(camera.Table().Size(), 0u);
    EXPECT_EQ(camera.RecordAt(0), nullptr);
    EXPECT_EQ(fake.speedIndexes, (std::vector<uint32_t>{5, 0})) << "connected, handed back";
    EXPECT_FALSE(camera.Connected());

    const size_t traffic = device.calls.size();
    EXPECT_FALSE(camera.LoadPictureInfo(1, true));
    EXPECT_EQ(camera.LinkStatus(), linkstatus::kInfoRange);
    EXPECT_FALSE(camera.DownloadPicture(1, PictureKind::Photo, true, "a.jpg", {}, kTime));
    EXPECT_EQ(camera.LinkStatus(), linkstatus::kPhotoRange);
    EXPECT_FALSE(camera.DownloadPicture(0, PictureKind::Thumbnail, true, "a.jpg", {}, kTime));
    EXPECT_EQ(camera.LinkStatus(), linkstatus::kThumbnailRange);
    EXPECT_EQ(device.calls.size(), traffic) << "no traffic for out-of-range numbers";
}

TEST_F(CameraTest, TheTableHoldsEachPicturesSizesAndUtcDate) {
    fake.AddPicture(FakePicture::Sized(5000, 320, k15June2002));
    fake.AddPicture(FakePicture::Sized(7000, 400, 0xFFFFFFFF)); // no date: now
    fake.AddPicture(FakePicture::Sized(1, 2, 0xFFFFFFFE));      // unsigned, up to 2106
    ASSERT_TRUE(camera.LoadPictureTable());
    ASSERT_EQ(camera.Table().Size(), 3u);
    for (uint32_t i = 1; i <= 3; ++i) {
        ASSERT_TRUE(camera.LoadPictureInfo(i, i == 3)) << i;
    }
    struct Expect {
        uint32_t photo, thumb, year;
        uint8_t month, day, hour, minute, second;
    };
    const Expect expected[] = {{5000, 320, 2002, 6, 15, 12, 30, 45},
                               {7000, 400, 2002, 5, 17, 9, 5, 30},
                               {1, 2, 2106, 2, 7, 6, 28, 14}};
    for (uint32_t i = 0; i < 3; ++i) {
        const PictureRecord& r = *camera.RecordAt(i);
        const Expect& e = expected[i];
        EXPECT_TRUE(r.infoLoaded);
        EXPECT_EQ(r.photoSize, e.photo);
        EXPECT_EQ(r.thumbnailSize, e.thumb);
        EXPECT_EQ(r.year, e.year);
        EXPECT_EQ(r.month, e.month);
        EXPECT_EQ(r.day, e.day);
        EXPECT_EQ(r.hour, e.hour);
        EXPECT_EQ(r.minute, e.minute);
        EXPECT_EQ(r.second, e.second);
    }
    EXPECT_EQ(camera.LinkStatus(), linkstatus::kPictureInfo) << "success keeps 3";
    EXPECT_EQ(fake.speedIndexes, (std::vector<uint32_t>{5, 0, 5, 0}));
    EXPECT_EQ(fake.CommandsOf(0x00).size(), 4u + 3u) << "speed switches and three selections";

    const size_t traffic = device.calls.size();
    EXPECT_TRUE(camera.LoadPictureInfo(2, true));
    EXPECT_EQ(device.calls.size(), traffic) << "a loaded record makes no traffic";
}

TEST_F(CameraTest, AShortInformationPayloadReadsMissingBytesAsZeroAndHasNoDate) {
    fake.AddPicture(FakePicture::Sized(0x12345678, 0x0000ABCD, k15June2002));
    fake.infoLength = 6; // the photo size and half the thumbnail size
    ASSERT_TRUE(camera.LoadPictureTable());
    ASSERT_TRUE(camera.LoadPictureInfo(1, true));
    const PictureRecord& r = *camera.RecordAt(0);
    EXPECT_EQ(r.photoSize, 0x12345678u);
    EXPECT_EQ(r.thumbnailSize, 0x0000ABCDu);
    EXPECT_EQ(r.year, 2002u);
    EXPECT_EQ(r.month, 5) << "the current date, not 15 June";

    fake.infoLength = 23; // the time field is cut short
    fake.AddPicture(FakePicture::Sized(1, 1, k15June2002));
    Camera second(1, 5);
    ASSERT_TRUE(second.LoadPictureTable());
    ASSERT_TRUE(second.LoadPictureInfo(2, true));
    EXPECT_EQ(second.RecordAt(1)->month, 5);
    EXPECT_EQ(second.RecordAt(1)->hour, 9);
}

struct RefusalCase {
    const char* name;
    CameraFault fault;
    int sends; // the request is resent on NAK only
    bool handedBack;
    uint32_t flags;
};

class CameraRefusal : public CameraTest, public testing::WithParamInterface<RefusalCase> {};

TEST_P(CameraRefusal, HandsTheCameraBackOnlyAfterARefusalOrNakAndKeepsTheCodes) {
    const RefusalCase& c = GetParam();
    fake.AddPicture(FakePicture::Sized(10, 10, k15June2002));
    ASSERT_TRUE(camera.LoadPictureTable());
    fake.speedIndexes.clear();
    ASSERT_TRUE(camera.Connect());
    ASSERT_TRUE(camera.SelectPicture(1));
    fake.faults.assign(static_cast<size_t>(c.sends), c.fault);
    EXPECT_FALSE(camera.LoadPictureInfo(1, false));
    EXPECT_EQ(camera.Codes(),
              (CameraCodes{linkstatus::kPictureInfo, packetstatus::kRequestDataFailed, c.flags}));
    EXPECT_EQ(camera.Connected(), !c.handedBack);
    EXPECT_EQ(fake.CommandsOf(0x04).size(), static_cast<size_t>(c.sends));
    EXPECT_EQ(fake.speedIndexes,
              c.handedBack ? (std::vector<uint32_t>{5, 0}) : (std::vector<uint32_t>{5}));
}

INSTANTIATE_TEST_SUITE_P(Answers, CameraRefusal,
                         testing::Values(RefusalCase{"Refused", CameraFault::Refuse, 1, true, 0x04},
                                         RefusalCase{"Nak", CameraFault::Nak, 3, true, 0x10},
                                         RefusalCase{"Timeout", CameraFault::Silent, 1, false,
                                                     0x20},
                                         RefusalCase{"Junk", CameraFault::Junk, 1, false, 0x02}),
                         [](const auto& param) { return std::string(param.param.name); });

TEST_F(CameraTest, ConnectFailuresLeaveTheCameraUnconnected) {
    fake.awake = false;
    EXPECT_FALSE(camera.LoadPictureTable());
    EXPECT_EQ(camera.Codes(), (CameraCodes{linkstatus::kPictureCount, packetstatus::kNoProbeAnswer,
                                           portflag::kReadFailed}));
    EXPECT_FALSE(camera.CountKnown());
    EXPECT_TRUE(camera.Disconnect()) << "a broken line is not talked to";
    EXPECT_EQ(camera.LinkStatus(), 0);
    // Only the speed reset at the configured speed, tried once after the wake-up.
    ASSERT_EQ(fake.commands.size(), 1u);
    EXPECT_EQ(fake.commands[0].payload, (Bytes{0x00, 17, 0, 0, 0, 0}));

    fake.awake = true;
    fake.faults = {CameraFault::None, CameraFault::Refuse}; // register 17 is refused
    EXPECT_FALSE(camera.LoadPictureTable());
    EXPECT_EQ(camera.Link().status, packetstatus::kSpeedSwitchRefused);
    EXPECT_FALSE(camera.Connected());
    ASSERT_TRUE(camera.LoadPictureTable());
}

// A broken line hands nothing back, so a camera may still be at the high
// speed when the next connection wakes it at 19200 bit/s. The connection then
// tries once: the speed reset at the configured speed, the wake-up again.
struct StrandedCase {
    const char* name;
    uint32_t speedIndex;  // configured
    uint32_t cameraSpeed; // where the camera listens (0: nowhere, asleep)
    bool connects;
    std::vector<uint32_t> lineSpeeds;  // the host's line settings after opening
    int resets;                        // speed resets the camera heard at its speed
    std::vector<uint32_t> extraPauses; // after the first wake-up's
};

class StrandedCameraTest : public CameraTest, public testing::WithParamInterface<StrandedCase> {};

TEST_P(StrandedCameraTest, IsFoundAtTheConfiguredSpeedOnce) {
    const StrandedCase& c = GetParam();
    Camera configured(1, c.speedIndex);
    fake.AddPicture(FakePicture::Sized(2500, 300, k15June2002));
    fake.strictSpeed = true;
    fake.lineSpeed = c.cameraSpeed;
    fake.awake = c.cameraSpeed != 0;

    EXPECT_EQ(configured.LoadPictureTable(), c.connects);

    std::vector<uint32_t> speeds;
    for (const fakes::SerialCall& call : device.CallsOf(SerialOp::SetLine)) {
        speeds.push_back(call.line.baudRate);
    }
    speeds.erase(speeds.begin()); // the opening's 19200
    EXPECT_EQ(speeds, c.lineSpeeds);
    EXPECT_EQ(std::count(fake.speedIndexes.begin(), fake.speedIndexes.end(), 0u) -
                  (c.connects ? 1 : 0),
              c.resets);
    // The pauses after the first wake-up's: 100 ms, three probes of 100 ms.
    // After a failure all of them, after a success the first.
    std::vector<uint32_t> after(sleeper.pauses.begin() + 5, sleeper.pauses.end());
    if (c.connects) {
        after.resize(std::min(after.size(), c.extraPauses.size()));
    }
    EXPECT_EQ(after, c.extraPauses);
    if (!c.connects) {
        EXPECT_EQ(configured.Codes(),
                  (CameraCodes{linkstatus::kPictureCount, packetstatus::kNoProbeAnswer,
                               portflag::kReadFailed}))
            << "the first failure's codes";
        EXPECT_FALSE(configured.Connected());
    } else {
        EXPECT_EQ(configured.PictureCount(), 1u);
        EXPECT_EQ(fake.lineSpeed, 19200u) << "handed back";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Speeds, StrandedCameraTest,
    testing::Values(StrandedCase{"LeftAtTheConfiguredSpeed",
                                 5,
                                 115200,
                                 true,
                                 {115200, 19200, 115200, 19200},
                                 1,
                                 {5, 1, 1, 100}},
                    StrandedCase{
                        "NoCameraCostsOneTimeOut", 5, 0, false, {115200, 19200}, 0, {5, 1, 1}},
                    StrandedCase{"AtAnotherSpeed", 5, 57600, false, {115200, 19200}, 0, {5, 1, 1}},
                    StrandedCase{"ConfiguredAt19200NothingMoreIsTried", 2, 0, false, {}, 0, {}}),
    [](const auto& param) { return std::string(param.param.name); });

TEST_F(CameraTest, AResetHeardButNoWakeUpReportsTheFirstFailure) {
    fake.awake = false; // acknowledges commands, never a probe
    fake.AddPicture(FakePicture::Sized(2500, 300, k15June2002));
    EXPECT_FALSE(camera.LoadPictureTable());
    EXPECT_EQ(camera.Codes(), (CameraCodes{linkstatus::kPictureCount, packetstatus::kNoProbeAnswer,
                                           portflag::kReadFailed}));
    EXPECT_EQ(fake.speedIndexes, (std::vector<uint32_t>{0}));
    EXPECT_EQ(fake.probes, 6) << "three probes, the reset, three probes";
}

TEST_F(CameraTest, DisconnectReportsAFailedSpeedReset) {
    Pictures(1);
    ASSERT_TRUE(camera.Connect());
    fake.faults = {CameraFault::Refuse};
    EXPECT_FALSE(camera.Disconnect());
    EXPECT_EQ(camera.LinkStatus(), linkstatus::kDisconnect);
    EXPECT_TRUE(camera.Connected());
}

TEST_F(CameraTest, DownloadWritesEveryPacketAndGivesTheFileItsTime) {
    Pictures(2, 2500);
    fake.packetSize = 1000;
    std::vector<std::pair<uint32_t, uint32_t>> calls;
    auto progress = [&calls](uint32_t received, uint32_t total) {
        calls.emplace_back(received, total);
        return true;
    };
    ASSERT_TRUE(camera.DownloadPicture(2, PictureKind::Photo, true, "b.jpg", progress, kTime));
    EXPECT_EQ(camera.LinkStatus(), 0);
    EXPECT_EQ(FileBytes("b.jpg"), fake.pictures[1].photo);
    const FakeFile* file = files.File("b.jpg");
    ASSERT_NE(file, nullptr);
    EXPECT_FALSE(file->open);
    EXPECT_EQ(file->creation, kTime);
    EXPECT_EQ(file->lastAccess, kTime);
    EXPECT_EQ(file->lastWrite, kTime);
    EXPECT_EQ(calls, (std::vector<std::pair<uint32_t, uint32_t>>{
                         {0, 2501}, {1000, 2501}, {2000, 2501}, {2501, 2501}}));
    // Select 2, ask for the photo, ACK each packet, the last one too, hand back.
    EXPECT_EQ(fake.CommandsOf(0x04).size(), 1u);
    EXPECT_EQ(fake.controlBytes, (Bytes{0x00, 0x06, 0x06, 0x06, 0x06}));
    EXPECT_EQ(fake.speedIndexes, (std::vector<uint32_t>{5, 0}));

    ASSERT_TRUE(camera.DownloadPicture(1, PictureKind::Thumbnail, false, "t.jpg", {}, kTime));
    EXPECT_EQ(FileBytes("t.jpg"), fake.pictures[0].thumbnail);
    EXPECT_TRUE(camera.Connected()) << "closeAfter false stays at the high speed";
}

TEST_F(CameraTest, DownloadAsksAgainForCorruptOrLostPackets) {
    Pictures(1, 3000);
    fake.packetSize = 1000;
    ASSERT_TRUE(camera.Connect());
    ASSERT_TRUE(camera.SelectPicture(1));
    // Packet 1 corrupt once, packet 2 lost once, packet 3 (the last) corrupt twice.
    fake.faults = {CameraFault::Corrupt, CameraFault::None,    CameraFault::Silent,
                   CameraFault::None,    CameraFault::Corrupt, CameraFault::Corrupt};
    ASSERT_TRUE(camera.DownloadPicture(1, PictureKind::Photo, true, "p.jpg", {}, kTime));
    EXPECT_EQ(FileBytes("p.jpg"), fake.pictures[0].photo);
    EXPECT_EQ(std::count(fake.controlBytes.begin(), fake.controlBytes.end(), 0x15), 4);
    EXPECT_EQ(fake.CommandsOf(0x04).size(), 1u) << "the request itself is not resent";
}

// An answer whose first byte arrives as an ACK is not data: the buffer still
// holds the packet before it. Taking it gave a wrong picture count (and with
// it a deletion by sub-code 0 of another picture) or a packet twice.
TEST_F(CameraTest, AnswersGarbledIntoAnAckAreAskedForAgain) {
    Pictures(3, 3000);
    Camera fresh(1, 5);
    // Probe, speed, register 1, then the count.
    fake.faults = {CameraFault::None, CameraFault::None, CameraFault::None, CameraFault::Ack};
    ASSERT_TRUE(fresh.LoadPictureTable());
    EXPECT_EQ(fresh.PictureCount(), 3u) << "not the value of register 1";

    fake.packetSize = 1000;
    ASSERT_TRUE(camera.Connect());
    ASSERT_TRUE(camera.SelectPicture(2));
    // The request's answer and the second packet.
    fake.faults = {CameraFault::Ack, CameraFault::None, CameraFault::None, CameraFault::Ack};
    ASSERT_TRUE(camera.DownloadPicture(2, PictureKind::Photo, true, "p.jpg", {}, kTime));
    EXPECT_EQ(FileBytes("p.jpg"), fake.pictures[1].photo);
}

TEST_F(CameraTest, ThreeBadPacketsInARowFailTheDownloadAndKeepThePartialFile) {
    Pictures(1, 3000);
    fake.packetSize = 1000;
    ASSERT_TRUE(camera.Connect());
    ASSERT_TRUE(camera.SelectPicture(1));
    fake.faults = {CameraFault::None, CameraFault::Corrupt, CameraFault::Corrupt,
                   CameraFault::Corrupt};
    EXPECT_FALSE(camera.DownloadPicture(1, PictureKind::Photo, true, "p.jpg", {}, kTime));
    EXPECT_EQ(camera.Codes(), (CameraCodes{linkstatus::kPhotoDownload, packetstatus::kReceiveFailed,
                                           portflag::kBadChecksum}));
    EXPECT_EQ(std::count(fake.controlBytes.begin(), fake.controlBytes.end(), 0x15), 2);
    EXPECT_EQ(FileBytes("p.jpg").size(), 1000u);
    EXPECT_TRUE(files.File("p.jpg")->timesSet);
    EXPECT_TRUE(camera.Connected()) << "a corrupt line is not talked to further";
    EXPECT_EQ(fake.cancels, 0);
}

TEST_F(CameraTest, CancelAfterTheFirstPacketKeepsTheFileAndHandsTheCameraBack) {
    Pictures(1, 2500);
    fake.packetSize = 1000;
    int calls = 0;
    auto stopAfterFirst = [&calls](uint32_t, uint32_t) { return ++calls < 2; };
    EXPECT_FALSE(
        camera.DownloadPicture(1, PictureKind::Photo, false, "p.jpg", stopAfterFirst, kTime));
    EXPECT_EQ(camera.LinkStatus(), linkstatus::kPhotoCancelled);
    EXPECT_EQ(FileBytes("p.jpg"),
              Bytes(fake.pictures[0].photo.begin(), fake.pictures[0].photo.begin() + 1000));
    EXPECT_EQ(files.File("p.jpg")->lastWrite, kTime);
    EXPECT_EQ(fake.cancels, 1);
    EXPECT_EQ(fake.speedIndexes, (std::vector<uint32_t>{5, 0})) << "closeAfter forced";
    EXPECT_EQ(device.line.baudRate, 19200u);
    EXPECT_FALSE(camera.Connected());

    calls = 0;
    EXPECT_FALSE(
        camera.DownloadPicture(1, PictureKind::Thumbnail, false, "t.jpg", stopAfterFirst, kTime));
    EXPECT_EQ(camera.LinkStatus(), linkstatus::kThumbnailCancelled);
    EXPECT_EQ(FileBytes("t.jpg"), fake.pictures[0].thumbnail) << "one packet: all of it";
    EXPECT_EQ(fake.cancels, 2);
}

TEST_F(CameraTest, AFirstProgressCallThatStopsFailsWithoutAFileOrTraffic) {
    Pictures(1);
    ASSERT_TRUE(camera.Connect());
    ASSERT_TRUE(camera.SelectPicture(1));
    const size_t traffic = device.calls.size();
    auto stop = [](uint32_t, uint32_t) { return false; };
    EXPECT_FALSE(camera.DownloadPicture(1, PictureKind::Photo, false, "p.jpg", stop, kTime));
    EXPECT_EQ(camera.LinkStatus(), linkstatus::kPhotoCancelled);
    EXPECT_FALSE(camera.DownloadPicture(1, PictureKind::Thumbnail, false, "t.jpg", stop, kTime));
    EXPECT_EQ(camera.LinkStatus(), linkstatus::kThumbnailCancelled);
    EXPECT_EQ(device.calls.size(), traffic);
    EXPECT_EQ(files.Calls(FileOp::CreateNew), 0u);
}

TEST_F(CameraTest, AnExistingFileIsNeverOverwrittenAndNoDataIsRequested) {
    Pictures(1);
    files.AddFile("p.jpg", "mine");
    EXPECT_FALSE(camera.DownloadPicture(1, PictureKind::Photo, true, "p.jpg", {}, kTime));
    EXPECT_EQ(camera.LinkStatus(), linkstatus::kPhotoFile);
    EXPECT_FALSE(camera.DownloadPicture(1, PictureKind::Thumbnail, true, "p.jpg", {}, kTime));
    EXPECT_EQ(camera.LinkStatus(), linkstatus::kThumbnailFile);
    EXPECT_EQ(files.Text("p.jpg"), "mine");
    EXPECT_TRUE(fake.CommandsOf(0x04).empty());
}

// A line, a disk and a camera of its own, for each case of a table.
struct OwnWorld {
    FakeSerialDevice device;
    FakeSerialFactory factory{device};
    FakeFileSystem files;
    ScopedPlatform scope{Platform{.serial = &factory, .files = &files}};
    FakeCamera fake{device};
};

TEST_F(CameraTest, AFullDiskStopsTheDownloadLikeACancel) {
    for (const PictureKind kind : {PictureKind::Photo, PictureKind::Thumbnail}) {
        const bool isPhoto = kind == PictureKind::Photo;
        SCOPED_TRACE(isPhoto ? "photo" : "thumbnail");
        OwnWorld w;
        w.fake.AddPicture(FakePicture::Sized(3000, 3000, k15June2002));
        w.fake.packetSize = 1000;
        Camera cam(1, 5);
        ASSERT_TRUE(cam.LoadPictureTable());
        w.files.FailWrite(2);
        EXPECT_FALSE(cam.DownloadPicture(1, kind, false, "p.jpg", {}, kTime));
        EXPECT_EQ(cam.LinkStatus(), isPhoto ? linkstatus::kPhotoFile : linkstatus::kThumbnailFile);
        EXPECT_EQ(w.fake.cancels, 1);
        EXPECT_EQ(w.fake.speedIndexes.back(), 0u) << "handed back at 19200";
        EXPECT_EQ(w.device.line.baudRate, 19200u);
        const FakeFile* file = w.files.File("p.jpg");
        ASSERT_NE(file, nullptr) << "the partial file stays";
        EXPECT_EQ(file->bytes.size(), 1000u);
        EXPECT_TRUE(file->timesSet);
        EXPECT_FALSE(file->open);
    }
}

TEST_F(CameraTest, ACameraSendingMoreThanThePicturesSizeIsStoppedAtThatSize) {
    struct Case {
        uint32_t reported;
        size_t kept; // whole packets that fitted the reported size
    };
    for (const Case& c : {Case{2500, 2000}, Case{1000, 1000}, Case{999, 0}, Case{0, 0}}) {
        SCOPED_TRACE(c.reported);
        OwnWorld w;
        FakePicture picture = FakePicture::Sized(3000, 300, k15June2002);
        picture.reportedPhotoSize = c.reported;
        w.fake.AddPicture(picture);
        w.fake.packetSize = 1000;
        Camera cam(1, 5);
        ASSERT_TRUE(cam.LoadPictureTable());
        std::vector<uint32_t> shown;
        auto progress = [&shown](uint32_t received, uint32_t) {
            shown.push_back(received);
            return true;
        };
        EXPECT_FALSE(cam.DownloadPicture(1, PictureKind::Photo, false, "p.jpg", progress, kTime));
        EXPECT_EQ(cam.LinkStatus(), linkstatus::kPhotoDownload);
        EXPECT_EQ(w.fake.cancels, 1) << "the camera is stopped";
        EXPECT_LE(shown.back(), c.reported) << "the progress never passes the size";
        const FakeFile* file = w.files.File("p.jpg");
        ASSERT_NE(file, nullptr);
        EXPECT_EQ(file->bytes.size(), c.kept);
        EXPECT_FALSE(file->open);
        EXPECT_EQ(w.device.line.baudRate, 19200u) << "handed back";
        EXPECT_FALSE(cam.Connected());
        EXPECT_EQ(cam.Codes(), (CameraCodes{linkstatus::kPhotoDownload, packetstatus::kOk,
                                            portflag::kTooMuchData}))
            << "the report says why";
        const size_t sent = w.fake.commands.size();
        EXPECT_TRUE(cam.Disconnect());
        EXPECT_EQ(w.fake.commands.size(), sent) << "already handed back";
    }
}

TEST_F(CameraTest, AFileThatFailsToCloseFailsTheDownload) {
    Pictures(1);
    files.FailCall(FileOp::Close, 1, 112);
    EXPECT_FALSE(camera.DownloadPicture(1, PictureKind::Photo, true, "p.jpg", {}, kTime));
    EXPECT_EQ(camera.LinkStatus(), linkstatus::kPhotoFile);
    EXPECT_EQ(fake.cancels, 0) << "the transfer itself had ended";
    EXPECT_FALSE(camera.Connected());
}

TEST_F(CameraTest, WaitingForDataAfterAnUnexpectedFirstAnswerIsBounded) {
    Pictures(1);
    ASSERT_TRUE(camera.Connect());
    ASSERT_TRUE(camera.SelectPicture(1));
    fake.faults = {CameraFault::Junk};
    for (int i = 0; i < 30; ++i) {
        fake.faults.push_back(CameraFault::Silent);
    }
    sleeper.pauses.clear();
    EXPECT_FALSE(camera.DownloadPicture(1, PictureKind::Photo, true, "p.jpg", {}, kTime));
    EXPECT_EQ(camera.LinkStatus(), linkstatus::kPhotoDownload);
    EXPECT_EQ(camera.Link().Port().flags, portflag::kReadFailed);
    // One NAK after the junk answer, one after each of the first nine time-outs.
    EXPECT_EQ(std::count(fake.controlBytes.begin(), fake.controlBytes.end(), 0x15), 10);
    EXPECT_TRUE(files.HasFile("p.jpg"));
}

TEST_F(CameraTest, DeletingPicture2Of5MovesTheLaterRecordsDown) {
    Pictures(5);
    const PictureRecord third = *camera.RecordAt(2);
    ASSERT_TRUE(camera.DeletePicture(2, true));
    EXPECT_EQ(camera.LinkStatus(), 0);
    EXPECT_EQ(camera.PictureCount(), 4u);
    EXPECT_EQ(camera.Table().Size(), 4u);
    EXPECT_EQ(camera.RecordAt(1)->photoSize, third.photoSize);
    EXPECT_EQ(camera.RecordAt(1)->day, third.day);
    EXPECT_EQ(fake.deleted, std::vector<uint32_t>{2});
    const auto actions = fake.CommandsOf(0x02);
    ASSERT_EQ(actions.size(), 1u);
    EXPECT_EQ(actions[0].payload, (Bytes{0x02, 0x07, 0x00}));
    EXPECT_EQ(fake.registers[4], 2u);
    EXPECT_EQ(fake.speedIndexes, (std::vector<uint32_t>{5, 0}));
}

TEST_F(CameraTest, ARefusedSubCode0IsRetriedWithASelectionAndNeverUsedAgain) {
    Pictures(5);
    fake.refuseSubCode0 = true;
    ASSERT_TRUE(camera.DeletePicture(5, false));
    ASSERT_TRUE(camera.DeletePicture(4, true));
    EXPECT_EQ(camera.Link().deleteMode, 2);
    EXPECT_EQ(fake.deleted, (std::vector<uint32_t>{5, 4}));
    const auto actions = fake.CommandsOf(0x02);
    ASSERT_EQ(actions.size(), 3u);
    EXPECT_EQ(actions[0].payload[1], 0);
    EXPECT_EQ(actions[1].payload[1], 7);
    EXPECT_EQ(actions[2].payload[1], 7);
    // Speed 5, the selection of 4 (5 was still selected from the table), speed 0.
    EXPECT_EQ(fake.CommandsOf(0x00).size(), 3u);
    EXPECT_EQ(fake.registers[4], 4u);
    EXPECT_EQ(camera.PictureCount(), 3u);

    // A camera that takes sub-code 0 deletes the last picture without a selection.
    fake.refuseSubCode0 = false;
    Camera other(1, 5);
    ASSERT_TRUE(other.LoadPictureTable());
    fake.commands.clear();
    ASSERT_TRUE(other.DeletePicture(3, true));
    EXPECT_EQ(fake.CommandsOf(0x02).at(0).payload[1], 0);
    EXPECT_EQ(fake.CommandsOf(0x00).size(), 2u) << "only the speed packets";
}

TEST_F(CameraTest, DeletionFailures) {
    Pictures(3);
    ASSERT_TRUE(camera.Connect());
    fake.faults = {CameraFault::Refuse}; // refuse the selection
    EXPECT_FALSE(camera.DeletePicture(1, true));
    EXPECT_EQ(camera.LinkStatus(), linkstatus::kSelect);
    EXPECT_EQ(camera.PictureCount(), 3u);

    EXPECT_FALSE(camera.DeletePicture(0, true)) << "0 never reaches sub-code 0";
    EXPECT_EQ(camera.LinkStatus(), linkstatus::kSelectRange);
    EXPECT_EQ(fake.CommandsOf(0x02).size(), 0u);

    device.FailOn(SerialOp::SetTimeouts, 1);
    EXPECT_FALSE(camera.DeletePicture(2, true));
    EXPECT_EQ(camera.LinkStatus(), linkstatus::kDeleteTimeouts);
}

TEST_F(CameraTest, DestructionHandsTheCameraBackAndClosesThePort) {
    {
        Camera c(1, 3);
        ASSERT_TRUE(c.LoadPictureTable());
        ASSERT_TRUE(c.Connect());
    }
    EXPECT_EQ(fake.speedIndexes, (std::vector<uint32_t>{3, 0, 3, 0}));
    EXPECT_EQ(device.CountOf(SerialOp::Close), 1);
}

} // namespace
} // namespace pixlor
