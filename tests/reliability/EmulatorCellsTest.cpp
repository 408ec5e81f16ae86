// A few cells over the real line that the matrix does not hold: a camera gone
// in the middle of a packet stream, a corrupt packet with larger pictures, and
// a camera that refuses to delete by sub-code 0. Real time-outs: keep them few.
#include <algorithm>

#include <gtest/gtest.h>

#include "reliability/EmulatorWorld.h"
#include "tools/camsim/SamplePictures.h"

namespace pixlor::reliability {
namespace {

camsim::CameraConfig Packets512() {
    camsim::CameraConfig config = EmulatorWorld::SmallPackets();
    config.packetSize = 512;
    return config;
}

TEST(EmulatorCell, F6WithTheCameraGoneInTheSecondPictureDeletesNothing) {
    EmulatorWorld world(2, Packets512());
    ASSERT_TRUE(world.Started()) << world.StartError();
    ASSERT_TRUE(world.Open());
    const EmulatorWorld::PictureList original = world.Pictures();
    ASSERT_TRUE(world.sim->AddFault("vanish:" + std::to_string(world.PacketsOf(0) + 1) + "@photo"));

    world.CopyKey(true);

    EXPECT_EQ(world.CompleteFiles({original[0]}), 1u) << "the first picture is complete";
    EXPECT_EQ(world.CompleteFiles({original[1]}), 0u);
    EXPECT_EQ(world.PartialFiles(original), 1u) << "the second picture's partial file is left";
    EXPECT_EQ(world.Pictures().size(), 2u) << "the move stops before deleting anything";
    // A read time-out, and the receive queue of a line that is gone cannot be discarded.
    EXPECT_EQ(world.Reports(0), std::vector<std::string>{"4/11/0x1020"});
}

TEST(EmulatorCell, F5WithACorruptPacketIsRecoveredByTheRetries) {
    EmulatorWorld world(2, Packets512());
    ASSERT_TRUE(world.Started()) << world.StartError();
    ASSERT_TRUE(world.Open());
    ASSERT_TRUE(world.sim->AddFault("checksum:2@photo"));
    const EmulatorWorld::PictureList original = world.Pictures();

    world.CopyKey(false);

    EXPECT_TRUE(world.Reports(0).empty());
    EXPECT_EQ(world.CompleteFiles(original), 2u);
    EXPECT_EQ(world.PartialFiles(original), 0u);
    EXPECT_TRUE(world.AtDefaultSpeed()) << "handed back at 19200 bit/s";
}

TEST(EmulatorCell, F8OnACameraRefusingSubCode0FallsBackToTheSelection) {
    camsim::CameraConfig config = EmulatorWorld::SmallPackets();
    config.refuseDeleteLast = true;
    EmulatorWorld world(2, config);
    ASSERT_TRUE(world.Started()) << world.StartError();
    ASSERT_TRUE(world.Open());

    world.DeleteKey();

    EXPECT_TRUE(world.Reports(0).empty());
    EXPECT_TRUE(world.Pictures().empty());
    EXPECT_FALSE(world.IsOpen()) << "the empty panel closes";
    EXPECT_TRUE(world.AtDefaultSpeed());
}

// An ACK where a data packet is due (a stray byte on the line) once made the
// download take the packet before it again: with pictures of whole packets the
// size came out right, F6 reported a complete copy of a wrong file and deleted
// the picture. It is an unexpected answer now, and the NAK brings the packet.
TEST(EmulatorCell, F6WithAnAckInsteadOfTheFirstPacketCopiesTheRightBytes) {
    EmulatorWorld world(0);
    ASSERT_TRUE(world.Started()) << world.StartError();
    EmulatorWorld::PictureList pictures;
    for (int i = 0; i < 2; ++i) {
        pictures.push_back(world.NewPicture());
        camsim::ResizePhoto(pictures.back(), 3 * world.config.packetSize);
    }
    ASSERT_TRUE(world.StartCamera(pictures));
    ASSERT_TRUE(world.Open());
    ASSERT_TRUE(world.sim->AddFault("byte:0x06@photo#2"));

    world.CopyKey(true);

    EXPECT_TRUE(world.Reports(0).empty());
    EXPECT_EQ(world.CompleteFiles(pictures), 2u);
    EXPECT_EQ(world.PartialFiles(pictures), 0u);
    EXPECT_EQ(world.LostPictures(pictures), 0u);
    EXPECT_TRUE(world.Pictures().empty());
}

// A broken line hands nothing back: the camera stays at the high speed and
// does not hear the next handshake at 19200 bit/s until it is switched off
// and on. This is why the matrix switches it off and on after such cells.
TEST(EmulatorCell, AfterATimeOutTheCameraHearsTheNextOpeningOnlyOnceSwitchedOffAndOn) {
    EmulatorWorld world(2);
    ASSERT_TRUE(world.Started()) << world.StartError();
    ASSERT_TRUE(world.sim->AddFault("cut:2@info"));
    EXPECT_FALSE(world.Open());
    EXPECT_EQ(world.Reports(0), std::vector<std::string>{"3/10/0x20"});
    EXPECT_EQ(world.sim->CameraSpeed(), 115200u);

    world.sim->ClearFaults();
    const size_t mark = world.host.Messages().size();
    EXPECT_FALSE(world.Open()) << "the probes at 19200 bit/s are lost";
    EXPECT_EQ(world.Reports(mark), std::vector<std::string>{"1/4/0x20"});

    EXPECT_FALSE(world.Heal()) << "switched off and on";
    EXPECT_TRUE(world.Open());
    EXPECT_TRUE(world.AtDefaultSpeed());
}

} // namespace
} // namespace pixlor::reliability
