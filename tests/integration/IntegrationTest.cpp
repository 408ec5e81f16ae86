// The termios port, the packet link and the camera object against the camera
// emulator on a pseudo-terminal, with the real sleeper, clock and files.
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "camera/Camera.h"
#include "camera/LinkStatus.h"
#include "camera/PacketLink.h"
#include "camera/PacketStatus.h"
#include "serial/PortFlags.h"
#include "tools/camsim/SamplePictures.h"
#include "tools/camsim/Simulator.h"

namespace pixlor {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

constexpr uint8_t kCom2 = 1;
constexpr uint64_t kUnixEpochTicks = 116444736000000000ull; // 1970 in FILETIME ticks

FileTime FileTimeOf(uint64_t unixSeconds) {
    return FileTime::FromTicks(kUnixEpochTicks + unixSeconds * 10000000ull);
}

Bytes ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

class Integration : public testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("pixlor-integration-" + std::to_string(getpid()));
        fs::create_directories(dir);
        setenv("PIXLOR_DEVICES", dir.c_str(), 1);
    }
    void TearDown() override {
        sim.reset();
        unsetenv("PIXLOR_DEVICES");
        fs::remove_all(dir);
    }
    void StartCamera(size_t pictures, camsim::CameraConfig config = {}) {
        camsim::Options options;
        options.pictures = camsim::SamplePictures(pictures);
        options.camera = config;
        options.strictSpeed = true; // bytes at the wrong speed are lost, as on a real line
        sim = std::make_unique<camsim::Simulator>(options);
        ASSERT_TRUE(sim->Start((dir / "com2").string())) << sim->Error();
    }
    std::string File(const char* name) const { return (dir / name).string(); }

    fs::path dir;
    std::unique_ptr<camsim::Simulator> sim;
};

TEST_F(Integration, LinkHandshakeSpeedSwitchAndRegisters) {
    StartCamera(5);
    PacketLink link(kCom2);
    ASSERT_TRUE(link.Handshake()) << link.status;
    ASSERT_TRUE(link.SetLineSpeed(5)) << link.status;
    EXPECT_EQ(sim->HostSpeed(), 115200u);
    uint32_t count = 0;
    ASSERT_TRUE(link.GetRegister(10, count));
    EXPECT_EQ(count, 5u);
    ASSERT_TRUE(link.SetRegister(4, 3));
    EXPECT_EQ(sim->Selected(), 3u);

    // A NAK and a lost answer are resent; a refusal is not.
    ASSERT_TRUE(sim->AddFault("nak@select"));
    ASSERT_TRUE(sim->AddFault("silent@select#2"));
    ASSERT_TRUE(link.SetRegister(4, 2));
    EXPECT_EQ(sim->Selected(), 2u);
    ASSERT_TRUE(sim->AddFault("refuse@photo"));
    EXPECT_FALSE(link.RequestData(0x0E));
    EXPECT_EQ(link.status, packetstatus::kRequestDataFailed);
    EXPECT_EQ(link.Port().flags, portflag::kRefused);

    ASSERT_TRUE(link.ResetLineSpeed());
    EXPECT_EQ(sim->HostSpeed(), 19200u);
    ASSERT_TRUE(link.Handshake()) << "the camera answers at 19200 again";
}

TEST_F(Integration, LinkMultiPacketTransferWithACorruptPacket) {
    camsim::CameraConfig config;
    config.packetSize = 512;
    StartCamera(1, config);
    const camsim::Picture picture = sim->PictureData().at(0);
    PacketLink link(kCom2);
    ASSERT_TRUE(link.Handshake());
    ASSERT_TRUE(link.SetLineSpeed(3));
    ASSERT_TRUE(link.SetRegister(4, 1));
    ASSERT_TRUE(sim->AddFault("checksum:2@photo"));
    ASSERT_TRUE(link.RequestData(0x0E));
    Bytes got;
    for (;;) {
        const auto payload = link.PacketPayload();
        got.insert(got.end(), payload.begin(), payload.end());
        if (link.PacketType() == 0x03) {
            break;
        }
        bool negative = false;
        while (!link.AcknowledgeAndReceive(negative)) {
            ASSERT_EQ(link.Port().flags, portflag::kBadChecksum);
            ASSERT_FALSE(negative) << "one corrupt packet only";
            negative = true;
        }
    }
    ASSERT_TRUE(link.SendByte(0x06));
    EXPECT_EQ(got, picture.photo);
    ASSERT_TRUE(link.ResetLineSpeed());
}

TEST_F(Integration, CameraTableAndDownloads) {
    StartCamera(5);
    const auto summaries = sim->Pictures();
    const auto data = sim->PictureData();
    Camera camera(kCom2, 5);
    ASSERT_TRUE(camera.LoadPictureTable()) << camera.LinkStatus();
    ASSERT_EQ(camera.PictureCount(), 5u);
    for (uint32_t n = 1; n <= 5; ++n) {
        ASSERT_TRUE(camera.LoadPictureInfo(n, n == 5)) << n;
    }
    ASSERT_TRUE(camera.Disconnect());
    EXPECT_EQ(sim->HostSpeed(), 19200u);
    for (uint32_t i = 0; i < 5; ++i) {
        const PictureRecord& r = *camera.RecordAt(i);
        EXPECT_EQ(r.photoSize, summaries[i].photoSize);
        EXPECT_EQ(r.thumbnailSize, summaries[i].thumbnailSize);
    }
    const PictureRecord& fifth = *camera.RecordAt(4);
    EXPECT_EQ(fifth.year, 2002u);
    EXPECT_EQ(fifth.month, 6);
    EXPECT_EQ(fifth.day, 15);
    EXPECT_EQ(fifth.hour, 12);
    EXPECT_EQ(fifth.minute, 30);
    EXPECT_EQ(fifth.second, 45);

    // A multi-packet photo and a thumbnail, the picture's date as file times.
    const FileTime time = FileTimeOf(summaries[4].time);
    ASSERT_TRUE(
        camera.DownloadPicture(5, PictureKind::Photo, false, File("p5.jpg").c_str(), {}, time))
        << camera.LinkStatus();
    ASSERT_TRUE(
        camera.DownloadPicture(5, PictureKind::Thumbnail, true, File("t5.jpg").c_str(), {}, time));
    EXPECT_EQ(ReadFile(dir / "p5.jpg"), data[4].photo);
    EXPECT_EQ(ReadFile(dir / "t5.jpg"), data[4].thumbnail);
    struct stat st {};
    ASSERT_EQ(stat((dir / "p5.jpg").c_str(), &st), 0);
    EXPECT_EQ(static_cast<uint64_t>(st.st_mtime), summaries[4].time);
    EXPECT_EQ(sim->HostSpeed(), 19200u);

    // Never over an existing file.
    EXPECT_FALSE(
        camera.DownloadPicture(4, PictureKind::Photo, true, File("p5.jpg").c_str(), {}, time));
    EXPECT_EQ(camera.LinkStatus(), linkstatus::kPhotoFile);
    EXPECT_EQ(ReadFile(dir / "p5.jpg"), data[4].photo);
    ASSERT_TRUE(camera.Disconnect());

    // Cancel after the first packet: the file keeps it, the camera is back at 19200.
    int calls = 0;
    auto once = [&calls](uint32_t, uint32_t) { return ++calls < 2; };
    EXPECT_FALSE(
        camera.DownloadPicture(1, PictureKind::Photo, false, File("p1.jpg").c_str(), once, time));
    EXPECT_EQ(camera.LinkStatus(), linkstatus::kPhotoCancelled);
    const Bytes partial = ReadFile(dir / "p1.jpg");
    ASSERT_FALSE(partial.empty());
    ASSERT_LT(partial.size(), data[0].photo.size());
    EXPECT_TRUE(std::equal(partial.begin(), partial.end(), data[0].photo.begin()));
    EXPECT_EQ(sim->HostSpeed(), 19200u);
    EXPECT_EQ(sim->CameraSpeed(), 19200u);
    ASSERT_TRUE(camera.Disconnect());
    ASSERT_TRUE(camera.LoadPictureInfo(1, true)) << "the camera still talks";
}

TEST_F(Integration, EmptyCamera) {
    StartCamera(0);
    Camera camera(kCom2, 4);
    ASSERT_TRUE(camera.LoadPictureTable());
    EXPECT_EQ(camera.PictureCount(), 0u);
    EXPECT_FALSE(
        camera.DownloadPicture(1, PictureKind::Photo, true, File("x.jpg").c_str(), {}, {}));
    EXPECT_EQ(camera.LinkStatus(), linkstatus::kPhotoRange);
    EXPECT_FALSE(fs::exists(dir / "x.jpg"));
}

TEST_F(Integration, DeletionWithTheSubCode0Fallback) {
    camsim::CameraConfig config;
    config.refuseDeleteLast = true;
    StartCamera(5, config);
    const auto before = sim->Pictures();
    Camera camera(kCom2, 5);
    ASSERT_TRUE(camera.LoadPictureTable());
    ASSERT_TRUE(camera.DeletePicture(2, false)) << camera.LinkStatus();
    ASSERT_TRUE(camera.DeletePicture(4, true)) << camera.LinkStatus(); // now the last
    EXPECT_EQ(camera.Link().deleteMode, 2);
    EXPECT_EQ(camera.PictureCount(), 3u);
    const auto after = sim->Pictures();
    ASSERT_EQ(after.size(), 3u);
    EXPECT_EQ(after[0].photoCrc, before[0].photoCrc);
    EXPECT_EQ(after[1].photoCrc, before[2].photoCrc);
    EXPECT_EQ(after[2].photoCrc, before[3].photoCrc);
    EXPECT_EQ(sim->HostSpeed(), 19200u);
}

} // namespace
} // namespace pixlor
