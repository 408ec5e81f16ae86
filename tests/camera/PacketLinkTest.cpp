#include <gtest/gtest.h>

#include "camera/PacketLink.h"
#include "camera/PacketStatus.h"
#include "fakes/FakeCamera.h"
#include "fakes/FakeSleeper.h"
#include "serial/PortFlags.h"

namespace pixlor {
namespace {

using fakes::CameraFault;
using fakes::FakeCamera;
using fakes::FakeSerialDevice;
using fakes::FakeSerialFactory;
using fakes::FakeSleeper;
using fakes::SerialOp;
using Bytes = std::vector<uint8_t>;

struct FrameCase {
    Bytes payload;
    bool speedPacket;
    Bytes packet;
};

TEST(PacketFrame, MatchesTheWorkedPackets) {
    const FrameCase cases[] = {
        {{0x01, 0x0A}, false, {0x1B, 0x43, 0x02, 0x00, 0x01, 0x0A, 0x0B, 0x00}},
        {{0x00, 0x11, 0x05, 0, 0, 0},
         true,
         {0x1B, 0x53, 0x06, 0x00, 0x00, 0x11, 0x05, 0x00, 0x00, 0x00, 0x16, 0x00}},
        {{0x00, 0x04, 0xC9, 0, 0, 0},
         false,
         {0x1B, 0x43, 0x06, 0x00, 0x00, 0x04, 0xC9, 0x00, 0x00, 0x00, 0xCD, 0x00}},
        {{0x04, 0x2F}, false, {0x1B, 0x43, 0x02, 0x00, 0x04, 0x2F, 0x33, 0x00}},
        {{0x02, 0x07, 0x00}, false, {0x1B, 0x43, 0x03, 0x00, 0x02, 0x07, 0x00, 0x09, 0x00}},
        {{}, false, {0x1B, 0x43, 0x00, 0x00, 0x00, 0x00}},
    };
    for (const FrameCase& c : cases) {
        EXPECT_EQ(packet::Frame(c.payload, c.speedPacket), c.packet);
    }
}

TEST(PacketChecksum, IsThePlainUnsignedSumModulo65536) {
    EXPECT_EQ(packet::Checksum(Bytes{}), 0);
    EXPECT_EQ(packet::Checksum(Bytes{0x00, 0x04, 0xC9, 0, 0, 0}), 0x00CD);
    EXPECT_EQ(packet::Checksum(Bytes{0xFF, 0xFF}), 0x01FE) << "bytes count as unsigned";
    EXPECT_EQ(packet::Checksum(Bytes(258, 0xFF)), (258 * 255) & 0xFFFF);
    EXPECT_EQ(packet::Checksum(Bytes(32761, 0xFF)), (32761 * 255) & 0xFFFF) << "wraps";
}

TEST(PacketHeader, LengthIsLittleEndian) {
    const uint8_t header[4] = {0x02, 0x99, 0xF9, 0x7F};
    EXPECT_EQ(packet::PayloadLength(header), 32761);
    const uint8_t empty[4] = {0x03, 0, 0, 0};
    EXPECT_EQ(packet::PayloadLength(empty), 0);
}

TEST(PacketLineSpeed, MapsIndexesAndClampsAbove5) {
    const uint32_t expected[] = {19200, 9600, 19200, 38400, 57600, 115200, 115200, 115200};
    for (uint32_t i = 0; i < 8; ++i) {
        EXPECT_EQ(packet::LineSpeed(i), expected[i]) << i;
    }
    EXPECT_EQ(packet::LineSpeed(0xFFFFFFFF), 115200u);
}

class PacketLinkTest : public testing::Test {
protected:
    FakeSerialDevice device;
    FakeSerialFactory factory{device};
    FakeSleeper sleeper;
    ScopedPlatform scope{Platform{.serial = &factory, .sleeper = &sleeper}};
    FakeCamera camera{device};
    PacketLink link{1};

    uint32_t Flags() const { return link.Port().flags; }
    void Connected() {
        ASSERT_TRUE(link.Handshake());
        device.ClearRecord();
        sleeper.pauses.clear();
        camera.commands.clear();
        camera.controlBytes.clear();
    }
};

TEST_F(PacketLinkTest, FirstHandshakeOpensAt19200PurgesAndProbes) {
    ASSERT_TRUE(link.Handshake());
    EXPECT_EQ(link.status, 0);
    EXPECT_EQ(sleeper.pauses, (std::vector<uint32_t>{500, 100, 100}));
    EXPECT_EQ(device.CallsOf(SerialOp::Open).at(0).name, "COM2");
    EXPECT_EQ(device.line.baudRate, 19200u);
    EXPECT_EQ(camera.controlBytes, Bytes{0x00});

    // Later handshakes only bring the line back to 19200 and probe.
    sleeper.pauses.clear();
    ASSERT_TRUE(link.SetLineSpeed(4));
    EXPECT_EQ(device.line.baudRate, 57600u);
    sleeper.pauses.clear();
    ASSERT_TRUE(link.Handshake());
    EXPECT_EQ(sleeper.pauses, (std::vector<uint32_t>{100}));
    EXPECT_EQ(device.line.baudRate, 19200u);
    EXPECT_EQ(device.CountOf(SerialOp::Open), 1);
}

TEST_F(PacketLinkTest, ProbesAnsweredByAnythingButNakFailAfterThree) {
    camera.faults = {CameraFault::Junk, CameraFault::Junk, CameraFault::Junk};
    EXPECT_FALSE(link.Handshake());
    EXPECT_EQ(link.status, packetstatus::kNoProbeAnswer);
    EXPECT_EQ(camera.probes, 3);
    EXPECT_EQ(sleeper.pauses, (std::vector<uint32_t>{500, 100, 100, 100, 100}));

    camera.faults = {CameraFault::Silent, CameraFault::Junk};
    EXPECT_TRUE(link.Handshake()) << "the third probe is answered";
    EXPECT_EQ(camera.probes, 6);
}

TEST_F(PacketLinkTest, HandshakeFailures) {
    device.FailOn(SerialOp::Open, 1);
    EXPECT_FALSE(link.Handshake());
    EXPECT_EQ(link.status, packetstatus::kOpenFailed);
    EXPECT_EQ(Flags(), portflag::kLineFailed);

    // The open purge succeeds, the link's first purge fails four times.
    device.FailOn(SerialOp::Purge, 2, true);
    sleeper.pauses.clear();
    EXPECT_FALSE(link.Handshake());
    EXPECT_EQ(link.status, packetstatus::kPurgeFailed);
    EXPECT_EQ(device.CountOf(SerialOp::Purge), 5);
    EXPECT_EQ(sleeper.pauses, (std::vector<uint32_t>{500, 100, 1000, 1000, 1000}));
    EXPECT_EQ(Flags(), portflag::kPurgeBeforeWrite);
}

TEST_F(PacketLinkTest, ASuccessfulPurgeClearsTheBitsOfEarlierAttempts) {
    device.FailOn(SerialOp::Purge, 2); // the link's first purge attempt
    device.FailOn(SerialOp::Purge, 3);
    ASSERT_TRUE(link.Handshake());
    EXPECT_EQ(sleeper.pauses, (std::vector<uint32_t>{500, 100, 1000, 1000, 100}));
    EXPECT_EQ(Flags(), 0u);
}

TEST_F(PacketLinkTest, CommandsArePacedAndWrittenInThreePieces) {
    Connected();
    ASSERT_TRUE(link.SetRegister(4, 201));
    EXPECT_EQ(sleeper.pauses, (std::vector<uint32_t>{5, 1, 1}));
    const auto writes = device.CallsOf(SerialOp::Write);
    ASSERT_EQ(writes.size(), 3u);
    EXPECT_EQ(writes[0].bytes, Bytes{0x1B});
    EXPECT_EQ(writes[1].bytes, (Bytes{0x43, 0x06, 0x00}));
    EXPECT_EQ(writes[2].bytes, (Bytes{0x00, 0x04, 0xC9, 0, 0, 0, 0xCD, 0x00}));
    // A purge before the first piece and after the reception, never before reads.
    EXPECT_EQ(device.calls.front().op, SerialOp::Purge);
    EXPECT_EQ(device.calls.back().op, SerialOp::Purge);
    EXPECT_EQ(device.calls.back().mask, kPurgeRxClear);
}

struct ResendCase {
    const char* name;
    std::vector<CameraFault> faults;
    int sends;
    bool ok;
    int32_t status;
    uint32_t flags;
};

class SetRegisterResend : public PacketLinkTest, public testing::WithParamInterface<ResendCase> {};

TEST_P(SetRegisterResend, ResendsOnTimeoutAndNakOnly) {
    const ResendCase& c = GetParam();
    Connected();
    camera.faults.assign(c.faults.begin(), c.faults.end());
    EXPECT_EQ(link.SetRegister(4, 2), c.ok);
    EXPECT_EQ(static_cast<int>(camera.commands.size()), c.sends);
    EXPECT_EQ(link.status, c.status);
    EXPECT_EQ(Flags(), c.flags);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, SetRegisterResend,
    testing::Values(ResendCase{"Ack", {}, 1, true, 0, 0},
                    ResendCase{"NakThenAck", {CameraFault::Nak}, 2, true, 0, 0},
                    ResendCase{"TimeoutThenAck", {CameraFault::Silent}, 2, true, 0, 0},
                    ResendCase{"ThreeNaks",
                               {CameraFault::Nak, CameraFault::Nak, CameraFault::Nak},
                               3,
                               false,
                               8,
                               0x0010},
                    ResendCase{"ThreeTimeouts",
                               {CameraFault::Silent, CameraFault::Silent, CameraFault::Silent},
                               3,
                               false,
                               8,
                               0x0020},
                    ResendCase{"Refusal", {CameraFault::Refuse}, 1, false, 8, 0x0004},
                    ResendCase{"Junk", {CameraFault::Junk}, 1, false, 8, 0x0002}),
    [](const auto& param) { return std::string(param.param.name); });

TEST_F(PacketLinkTest, RequestDataResendsOnNakButNotOnTimeout) {
    Connected();
    camera.faults = {CameraFault::Silent};
    EXPECT_FALSE(link.RequestData(0x2F));
    EXPECT_EQ(link.status, packetstatus::kRequestDataFailed);
    EXPECT_EQ(Flags(), portflag::kReadFailed);
    EXPECT_EQ(camera.commands.size(), 1u);

    camera.faults = {CameraFault::Nak, CameraFault::Nak};
    EXPECT_TRUE(link.RequestData(0x2F));
    EXPECT_EQ(camera.commands.size(), 4u);
    EXPECT_EQ(link.PacketType(), 0x03);
    EXPECT_EQ(link.PacketPayloadLength(), 24);
    EXPECT_TRUE(camera.controlBytes.empty()) << "the data packet stays unacknowledged";
}

TEST_F(PacketLinkTest, GetRegisterAnswersACorruptPacketWithNak) {
    camera.registers[1] = 0xA1B2C3D4;
    Connected();
    camera.faults = {CameraFault::Corrupt};
    uint32_t value = 0;
    ASSERT_TRUE(link.GetRegister(1, value));
    EXPECT_EQ(value, 0xA1B2C3D4u);
    EXPECT_EQ(camera.commands.size(), 1u) << "no resend of the command";
    EXPECT_EQ(camera.controlBytes, (Bytes{0x15, 0x06}));
}

TEST_F(PacketLinkTest, GetRegisterGivesUpAfterThreeNaks) {
    Connected();
    camera.faults = {CameraFault::Corrupt, CameraFault::Corrupt, CameraFault::Corrupt,
                     CameraFault::Corrupt};
    // The NAKs make the camera send its packet again; corrupt each time.
    uint32_t value = 0;
    EXPECT_FALSE(link.GetRegister(10, value));
    EXPECT_EQ(link.status, packetstatus::kGetRegisterFailed);
    EXPECT_EQ(Flags(), portflag::kBadChecksum);
    EXPECT_EQ(camera.controlBytes, (Bytes{0x15, 0x15, 0x15}));
}

// A lone ACK where a data packet is due leaves an earlier packet in the
// buffer: it is an unexpected byte, never the answer.
TEST_F(PacketLinkTest, AnAckWhereDataIsDueIsNotTakenForTheData) {
    camera.AddPicture(fakes::FakePicture::Sized(2500, 0, 0));
    camera.registers[1] = 7;
    camera.registers[4] = 1;
    Connected();
    uint32_t value = 0;
    ASSERT_TRUE(link.GetRegister(1, value)); // the buffer now holds 7

    camera.faults = {CameraFault::Ack};
    ASSERT_TRUE(link.GetRegister(10, value)) << "asked again with a NAK";
    EXPECT_EQ(value, 1u) << "the count, not the register read before";
    EXPECT_EQ(camera.controlBytes, (Bytes{0x06, 0x15, 0x06}));

    camera.faults = {CameraFault::Ack};
    EXPECT_FALSE(link.RequestData(0x0E));
    EXPECT_EQ(Flags(), portflag::kUnexpectedByte);
    EXPECT_EQ(link.status, packetstatus::kRequestDataFailed);

    ASSERT_TRUE(link.RequestData(0x0E));
    camera.faults = {CameraFault::Ack};
    EXPECT_FALSE(link.AcknowledgeAndReceive(false));
    EXPECT_EQ(Flags(), portflag::kUnexpectedByte);
    EXPECT_EQ(link.status, packetstatus::kReceiveFailed);
    ASSERT_TRUE(link.AcknowledgeAndReceive(true)) << "the NAK brings the packet";
    EXPECT_EQ(link.PacketPayloadLength(), 1000);

    // Garbled every time, GetRegister gives up after three NAKs.
    camera.controlBytes.clear();
    camera.faults = {CameraFault::Ack, CameraFault::Ack, CameraFault::Ack, CameraFault::Ack};
    EXPECT_FALSE(link.GetRegister(10, value));
    EXPECT_EQ(link.status, packetstatus::kGetRegisterFailed);
    EXPECT_EQ(Flags(), portflag::kUnexpectedByte);
    EXPECT_EQ(camera.controlBytes, (Bytes{0x15, 0x15, 0x15}));

    // Where an ACK is the answer it still is.
    EXPECT_TRUE(link.SetRegister(4, 1));
}

TEST_F(PacketLinkTest, AShortRegisterPacketGivesZerosForTheMissingBytes) {
    camera.registers[1] = 0xA1B2C3D4;
    Connected();
    uint32_t value = 0;
    ASSERT_TRUE(link.GetRegister(1, value));
    // The camera answers register 10 with a payload of one byte.
    device.onWrite = [](FakeSerialDevice& d, std::span<const uint8_t> bytes) {
        if (bytes.size() == 4) { // the payload and checksum of the command
            d.Queue({0x03, 0x00, 0x01, 0x00, 0x05, 0x05, 0x00});
        }
    };
    ASSERT_TRUE(link.GetRegister(10, value));
    EXPECT_EQ(value, 5u);
}

TEST_F(PacketLinkTest, AnOversizedPacketIsNotReadAndTheQueueIsDiscarded) {
    Connected();
    camera.faults = {CameraFault::Oversized};
    EXPECT_FALSE(link.RequestData(0x0E));
    EXPECT_EQ(Flags(), portflag::kUnexpectedByte);
    const auto reads = device.CallsOf(SerialOp::Read);
    ASSERT_EQ(reads.size(), 2u) << "type byte and header only";
    EXPECT_EQ(reads[1].count, 3u);
    EXPECT_TRUE(device.inbound.empty());
}

TEST_F(PacketLinkTest, AnEmptyDataPacketIsSixBytesWithChecksumZero) {
    camera.AddPicture({});
    camera.registers[4] = 1;
    Connected();
    ASSERT_TRUE(link.RequestData(0x0E));
    EXPECT_EQ(link.PacketType(), 0x03);
    EXPECT_EQ(link.PacketPayloadLength(), 0);
    EXPECT_TRUE(link.PacketPayload().empty());
}

TEST_F(PacketLinkTest, AcknowledgeAndReceiveFetchesTheNextOrTheSamePacket) {
    camera.AddPicture(fakes::FakePicture::Sized(2500, 0, 0));
    camera.registers[4] = 1;
    Connected();
    ASSERT_TRUE(link.RequestData(0x0E));
    EXPECT_EQ(link.PacketType(), 0x02);
    ASSERT_TRUE(link.AcknowledgeAndReceive(false));
    EXPECT_EQ(link.PacketPayload()[0], static_cast<uint8_t>(1000 * 7));
    ASSERT_TRUE(link.AcknowledgeAndReceive(true));
    EXPECT_EQ(link.PacketPayload()[0], static_cast<uint8_t>(1000 * 7)) << "NAK: the same again";
    ASSERT_TRUE(link.AcknowledgeAndReceive(false));
    EXPECT_EQ(link.PacketType(), 0x03);
    EXPECT_EQ(link.PacketPayloadLength(), 500);

    camera.faults = {CameraFault::Silent};
    EXPECT_FALSE(link.AcknowledgeAndReceive(true));
    EXPECT_EQ(link.status, packetstatus::kReceiveFailed);
}

TEST_F(PacketLinkTest, ActionWaitsForTheCompletionWithItsOwnTimeout) {
    camera.AddPicture({});
    camera.registers[4] = 1;
    Connected();
    ASSERT_TRUE(link.Action(7, 0, 3000000));
    EXPECT_EQ(link.status, 0);
    const auto timeouts = device.CallsOf(SerialOp::SetTimeouts);
    ASSERT_EQ(timeouts.size(), 2u);
    EXPECT_EQ(timeouts[0].timeouts.readTotalConstantMs, 3000u);
    EXPECT_EQ(timeouts[1].timeouts.readTotalConstantMs, 1000u);
    EXPECT_EQ(link.Port().readTimeoutConstantUs, 1000000u);
    EXPECT_EQ(camera.deleted, std::vector<uint32_t>{1});

    // With the default wait only the restoring call is made.
    camera.AddPicture({});
    device.ClearRecord();
    ASSERT_TRUE(link.Action(0, 0, 1000000));
    EXPECT_EQ(device.CountOf(SerialOp::SetTimeouts), 1);
}

TEST_F(PacketLinkTest, ActionFailures) {
    camera.AddPicture({});
    camera.registers[4] = 1;
    Connected();
    camera.faults = {CameraFault::Refuse};
    EXPECT_FALSE(link.Action(7, 0, 1000000));
    EXPECT_EQ(link.status, packetstatus::kActionFailed);
    EXPECT_EQ(Flags(), portflag::kRefused);
    EXPECT_EQ(camera.commands.size(), 1u) << "a refusal is not resent";

    camera.completionByte = 0x06;
    EXPECT_FALSE(link.Action(7, 0, 1000000)) << "the completion must be 0x05";
    EXPECT_EQ(link.status, packetstatus::kActionFailed);

    camera.AddPicture({});
    camera.completionByte = 0x05;
    device.FailOn(SerialOp::SetTimeouts, 1);
    EXPECT_FALSE(link.Action(7, 0, 5000000));
    EXPECT_EQ(link.Port().readTimeoutConstantUs, 1000000u) << "the wait is put back";
    EXPECT_NE(Flags() & portflag::kTimeoutsFailed, 0u);
}

TEST_F(PacketLinkTest, OnlyThePacketsOfRegister17CarryTheSpeedMarker) {
    Connected();
    ASSERT_TRUE(link.SetLineSpeed(5));
    EXPECT_EQ(device.Written(),
              (Bytes{0x1B, 0x53, 0x06, 0x00, 0x00, 0x11, 0x05, 0x00, 0x00, 0x00, 0x16, 0x00}));
    EXPECT_EQ(device.line.baudRate, 115200u);
    camera.faults = {CameraFault::Refuse};
    EXPECT_FALSE(link.ResetLineSpeed());
    EXPECT_EQ(link.status, packetstatus::kSpeedResetRefused);
    EXPECT_EQ(device.line.baudRate, 115200u) << "the local speed follows only an accepted switch";
    uint32_t value = 0;
    ASSERT_TRUE(link.GetRegister(10, value));
    ASSERT_EQ(camera.commands.size(), 3u);
    EXPECT_EQ(camera.commands[0].marker, 0x53);
    EXPECT_EQ(camera.commands[1].marker, 0x53);
    EXPECT_EQ(camera.commands[2].marker, 0x43);
}

TEST_F(PacketLinkTest, SpeedSwitchFailures) {
    Connected();
    camera.faults = {CameraFault::Nak, CameraFault::Nak, CameraFault::Nak};
    EXPECT_FALSE(link.SetLineSpeed(3));
    EXPECT_EQ(link.status, packetstatus::kSpeedSwitchRefused);
    EXPECT_EQ(device.line.baudRate, 19200u);

    device.FailOn(SerialOp::SetLine, 1);
    EXPECT_FALSE(link.SetLineSpeed(3));
    EXPECT_EQ(link.status, packetstatus::kLineFailed);

    ASSERT_TRUE(link.SetLineSpeed(9));
    EXPECT_EQ(camera.speedIndexes.back(), 5u) << "an index above 5 counts as 5 on both ends";
    EXPECT_EQ(device.line.baudRate, 115200u);
}

} // namespace
} // namespace pixlor
