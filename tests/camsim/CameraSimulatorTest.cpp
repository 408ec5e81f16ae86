#include "tools/camsim/CameraSimulator.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace camsim {
namespace {

using std::chrono::milliseconds;

Bytes Hex(const std::string& text) {
    Bytes out;
    std::istringstream in(text);
    std::string byte;
    while (in >> byte) {
        out.push_back(static_cast<std::uint8_t>(std::stoul(byte, nullptr, 16)));
    }
    return out;
}

Bytes Command(std::uint8_t marker, const Bytes& payload) {
    Bytes out{kEsc, marker, static_cast<std::uint8_t>(payload.size()), 0};
    out.insert(out.end(), payload.begin(), payload.end());
    const std::uint16_t sum = Checksum(payload);
    out.push_back(static_cast<std::uint8_t>(sum & 0xFF));
    out.push_back(static_cast<std::uint8_t>(sum >> 8));
    return out;
}

Bytes Select(std::uint8_t n) {
    return Command(0x43, {0x00, 0x04, n, 0, 0, 0});
}

Picture Pic(std::size_t photoSize, std::size_t thumbSize, std::uint32_t time, std::uint8_t seed) {
    Picture p;
    for (std::size_t i = 0; i < photoSize; ++i) {
        p.photo.push_back(static_cast<std::uint8_t>(seed + i));
    }
    p.thumbnail.assign(thumbSize, seed);
    p.time = time;
    return p;
}

class Camera : public ::testing::Test {
protected:
    void Make(CameraConfig config, std::vector<Picture> pictures) {
        camera = std::make_unique<CameraSimulator>(config, std::move(pictures));
    }
    void SetUp() override {
        CameraConfig config;
        config.packetSize = 4;
        Make(config,
             {Pic(10, 3, 1000, 0x10), Pic(4, 0, 0x3D0B3375, 0x20), Pic(6, 2, kNoTime, 0x30)});
    }
    // All bytes of the replies, one after the other.
    Bytes Send(const Bytes& bytes) {
        last.clear();
        now += milliseconds(10);
        camera->Feed(bytes, now, last);
        Bytes out;
        for (const Reply& r : last) {
            out.insert(out.end(), r.bytes.begin(), r.bytes.end());
        }
        return out;
    }

    std::unique_ptr<CameraSimulator> camera;
    std::vector<Reply> last;
    Clock::time_point now{};
};

struct WorkedCase {
    const char* name;
    const char* command;
    const char* answer;
};

class WorkedPackets : public Camera, public ::testing::WithParamInterface<WorkedCase> {};

TEST_P(WorkedPackets, AnswersAsTheProtocolSays) {
    std::vector<Picture> pictures(201, Pic(1, 1, 0, 1));
    pictures[200] = Pic(0x1234, 0x56, 0x3D0B3375, 7);
    Make(CameraConfig{}, std::move(pictures));
    if (std::string(GetParam().name) == "info") {
        ASSERT_EQ(Send(Hex("1B 43 06 00 00 04 C9 00 00 00 CD 00")), Bytes{kAck});
    }
    EXPECT_EQ(Send(Hex(GetParam().command)), Hex(GetParam().answer));
}

INSTANTIATE_TEST_SUITE_P(
    Camera, WorkedPackets,
    ::testing::Values(
        WorkedCase{"count", "1B 43 02 00 01 0A 0B 00", "03 00 04 00 C9 00 00 00 C9 00"},
        WorkedCase{"speed", "1B 53 06 00 00 11 05 00 00 00 16 00", "06"},
        WorkedCase{"select", "1B 43 06 00 00 04 C9 00 00 00 CD 00", "06"},
        WorkedCase{"info", "1B 43 02 00 04 2F 33 00",
                   "03 00 18 00 34 12 00 00 56 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00"
                   " 75 33 0B 3D 8C 01"},
        WorkedCase{"delete", "1B 43 03 00 02 07 00 09 00", "11"}, // nothing selected yet
        WorkedCase{"probe", "00", "15"}),
    [](const auto& param) { return std::string(param.param.name); });

TEST_F(Camera, SpeedSwitchAcksAtTheOldSpeedThenFollows) {
    ASSERT_EQ(Send(Hex("1B 53 06 00 00 11 05 00 00 00 16 00")), Bytes{kAck});
    EXPECT_EQ(last[0].lineSpeed, 19200u);
    EXPECT_EQ(camera->LineSpeed(), 115200u);
    EXPECT_EQ(Send(Command(0x43, {0x01, 17})), DataPacket(kLast, Bytes{5, 0, 0, 0}));
    EXPECT_EQ(last[0].lineSpeed, 115200u);
    Send({kAck});
    EXPECT_EQ(Send(Command(0x53, {0x00, 17, 6, 0, 0, 0})), Bytes{kRefuse}); // no index 6
    EXPECT_EQ(camera->LineSpeed(), 115200u);
    EXPECT_EQ(Send(Command(0x53, {0x00, 17, 1, 0, 0, 0})), Bytes{kAck});
    EXPECT_EQ(camera->LineSpeed(), 9600u);
    EXPECT_EQ(camera->Log().back().marker, 0x53);
}

TEST_F(Camera, BadFramingIsAnsweredWithNak) {
    const Bytes good = Command(0x43, {0x01, 10});
    Bytes badSum = good;
    badSum.back() ^= 1;
    Bytes badMarker = good;
    badMarker[1] = 0x44;
    Bytes badPayload = good;
    badPayload[5] = 11; // checksum no longer matches
    for (const Bytes& bad : {badSum, badMarker, badPayload}) {
        EXPECT_EQ(Send(bad), Bytes{kNak});
        EXPECT_EQ(camera->Log().back().kind, Kind::Corrupt);
        EXPECT_FALSE(camera->TransferPending());
    }
    // The camera is back in step: the same command, well framed, works.
    EXPECT_EQ(Send(good), DataPacket(kLast, Bytes{3, 0, 0, 0}));
}

TEST_F(Camera, UnfinishedPacketIsDroppedAndNakedAfterThePause) {
    EXPECT_TRUE(Send(Hex("1B 43 02 00 01")).empty());
    ASSERT_TRUE(camera->Deadline());
    std::vector<Reply> replies;
    camera->Tick(*camera->Deadline() - milliseconds(1), replies);
    EXPECT_TRUE(replies.empty());
    camera->Tick(*camera->Deadline(), replies);
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0].bytes, Bytes{kNak});
    EXPECT_EQ(camera->Log().back().kind, Kind::Corrupt);
    // A late byte after the pause starts afresh rather than completing the old packet.
    now += milliseconds(1000);
    EXPECT_EQ(Send(Command(0x43, {0x01, 10})), DataPacket(kLast, Bytes{3, 0, 0, 0}));
}

TEST_F(Camera, RegisterAnswerWaitsForAckAndResendsOnNak) {
    const Bytes packet = DataPacket(kLast, Bytes{3, 0, 0, 0});
    EXPECT_EQ(Send(Command(0x43, {0x01, 10})), packet);
    EXPECT_TRUE(camera->TransferPending());
    EXPECT_EQ(Send({kNak}), packet);
    EXPECT_EQ(Send({kNak}), packet);
    EXPECT_TRUE(Send({kAck}).empty());
    EXPECT_FALSE(camera->TransferPending());
    EXPECT_TRUE(Send({kAck}).empty()); // a stray ACK is ignored
    EXPECT_EQ(camera->Log().back().kind, Kind::Stray);
}

TEST_F(Camera, DownloadInPacketsWithResendAndCancel) {
    ASSERT_EQ(Send(Select(1)), Bytes{kAck});
    const Bytes& photo = camera->Pictures()[0].photo;
    const Bytes p1 = DataPacket(kMore, std::span(photo).subspan(0, 4));
    const Bytes p2 = DataPacket(kMore, std::span(photo).subspan(4, 4));
    const Bytes p3 = DataPacket(kLast, std::span(photo).subspan(8, 2));
    EXPECT_EQ(Send(Command(0x43, {0x04, 0x0E})), p1);
    EXPECT_EQ(Send({kAck}), p2);
    EXPECT_EQ(Send({kNak}), p2);
    EXPECT_EQ(Send({kAck}), p3);
    EXPECT_TRUE(Send({kAck}).empty());

    EXPECT_EQ(Send(Command(0x43, {0x04, 0x0E})), p1);
    EXPECT_TRUE(Send({kCancel}).empty());
    EXPECT_TRUE(Send({kAck}).empty()); // nothing more after a cancel
    // A new command in the middle of a transfer ends it too.
    EXPECT_EQ(Send(Command(0x43, {0x04, 0x0E})), p1);
    EXPECT_EQ(Send(Command(0x43, {0x01, 4})), DataPacket(kLast, Bytes{1, 0, 0, 0}));
}

TEST_F(Camera, ThumbnailExactMultipleAndEmptyData) {
    Make(CameraConfig{4}, {Pic(8, 0, 0, 1)});
    ASSERT_EQ(Send(Select(1)), Bytes{kAck});
    const Bytes& photo = camera->Pictures()[0].photo;
    EXPECT_EQ(Send(Command(0x43, {0x04, 0x0E})), DataPacket(kMore, std::span(photo).subspan(0, 4)));
    EXPECT_EQ(Send({kAck}), DataPacket(kLast, std::span(photo).subspan(4, 4)));
    Send({kAck});
    EXPECT_EQ(Send(Command(0x43, {0x04, 0x0F})), Hex("03 00 00 00 00 00"));
}

TEST_F(Camera, InfoRecordReportsSizesAndTime) {
    Picture p = Pic(5, 2, kNoTime, 1);
    p.reportedPhotoSize = 1048576;
    Make(CameraConfig{}, {p});
    ASSERT_EQ(Send(Select(1)), Bytes{kAck});
    EXPECT_EQ(Send(Command(0x43, {0x04, 0x2F})),
              DataPacket(kLast, InfoRecord(1048576, 2, kNoTime)));
}

TEST_F(Camera, RequestsWithoutValidSelectionAndUnknownCommandsAreRefused) {
    for (const Bytes& cmd : {Command(0x43, {0x04, 0x2F}), Command(0x43, {0x04, 0x0E}), Select(0),
                             Select(4), Command(0x43, {0x04, 0x33}), Command(0x43, {0x01, 99}),
                             Command(0x43, {0x00, 10, 1, 0, 0, 0}), Command(0x43, {0x09}),
                             Command(0x43, {}), Command(0x43, {0x02, 3, 0})}) {
        EXPECT_EQ(Send(cmd), Bytes{kRefuse}) << ::testing::PrintToString(cmd);
    }
    EXPECT_EQ(camera->Pictures().size(), 3u);
}

TEST_F(Camera, DeleteLastAndSelectedKeepRegister4) {
    EXPECT_EQ(Send(Command(0x43, {0x02, 0, 0})), (Bytes{kAck, kDone}));
    ASSERT_EQ(last.size(), 2u);
    EXPECT_FALSE(last[0].afterHostPurge);
    EXPECT_TRUE(last[1].afterHostPurge);
    ASSERT_EQ(camera->Pictures().size(), 2u);
    EXPECT_EQ(camera->Pictures()[1].time, 0x3D0B3375u);

    ASSERT_EQ(Send(Select(1)), Bytes{kAck});
    EXPECT_EQ(Send(Command(0x43, {0x02, 7, 0})), (Bytes{kAck, kDone}));
    ASSERT_EQ(camera->Pictures().size(), 1u);
    EXPECT_EQ(camera->Pictures()[0].time, 0x3D0B3375u); // the former picture 2
    EXPECT_EQ(camera->Selected(), 1u);
    EXPECT_EQ(Send(Command(0x43, {0x02, 7, 0})), (Bytes{kAck, kDone}));
    EXPECT_TRUE(camera->Pictures().empty());
    EXPECT_EQ(Send(Command(0x43, {0x02, 7, 0})), Bytes{kRefuse});
    EXPECT_EQ(Send(Command(0x43, {0x02, 0, 0})), Bytes{kRefuse});
    EXPECT_EQ(camera->Deletions(), 3u);
}

TEST_F(Camera, RefusesDeleteLastWhenConfigured) {
    CameraConfig config;
    config.refuseDeleteLast = true;
    Make(config, {Pic(1, 1, 0, 1), Pic(1, 1, 0, 2)});
    EXPECT_EQ(Send(Command(0x43, {0x02, 0, 0})), Bytes{kRefuse});
    ASSERT_EQ(Send(Select(2)), Bytes{kAck});
    EXPECT_EQ(Send(Command(0x43, {0x02, 7, 0})), (Bytes{kAck, kDone}));
    EXPECT_EQ(camera->Pictures().size(), 1u);
}

// Faults: each case adds one and checks the answers to a short conversation.
TEST_F(Camera, PacketFaultsCountDataPacketsOfTheirCommand) {
    camera->AddFault(*ParseFault("checksum:2@photo"));
    ASSERT_EQ(Send(Select(1)), Bytes{kAck});
    const Bytes& photo = camera->Pictures()[0].photo;
    const Bytes p2 = DataPacket(kMore, std::span(photo).subspan(4, 4));
    Send(Command(0x43, {0x01, 10})); // not a photo packet: not counted
    Send({kAck});
    EXPECT_EQ(Send(Command(0x43, {0x04, 0x0E})), DataPacket(kMore, std::span(photo).subspan(0, 4)));
    Bytes corrupt = Send({kAck});
    ASSERT_EQ(corrupt.size(), p2.size());
    EXPECT_NE(corrupt, p2);
    EXPECT_EQ(Bytes(corrupt.begin(), corrupt.end() - 2), Bytes(p2.begin(), p2.end() - 2));
    EXPECT_EQ(Send({kNak}), p2); // the resend is sound

    camera->AddFault(*ParseFault("cut:1"));
    Bytes cut = Send({kAck});
    EXPECT_EQ(cut.size(), 4u); // half of the 8-byte last packet
    EXPECT_EQ(Send({kNak}), DataPacket(kLast, std::span(photo).subspan(8, 2)));

    camera->AddFault(*ParseFault("vanish:1@count"));
    Send({kAck});
    Send(Command(0x43, {0x01, 10}));
    ASSERT_EQ(last.size(), 1u);
    EXPECT_TRUE(last[0].thenVanish);
}

TEST_F(Camera, ChecksumAlwaysCorruptsEveryPacket) {
    camera->AddFault(*ParseFault("checksum-always"));
    const Bytes good = DataPacket(kLast, Bytes{3, 0, 0, 0});
    EXPECT_NE(Send(Command(0x43, {0x01, 10})), good);
    EXPECT_NE(Send({kNak}), good);
    EXPECT_NE(Send({kNak}), good);
}

TEST_F(Camera, ChecksumAlwaysFromTheKthPacketSparesTheOnesBefore) {
    camera->AddFault(*ParseFault("checksum-always:2@count"));
    const Bytes good = DataPacket(kLast, Bytes{3, 0, 0, 0});
    EXPECT_EQ(Send(Command(0x43, {0x01, 10})), good);
    EXPECT_NE(Send({kNak}), good);
    EXPECT_NE(Send({kNak}), good);
}

TEST_F(Camera, ClearedFaultsNoLongerFire) {
    camera->AddFault(*ParseFault("checksum-always"));
    camera->AddFault(*ParseFault("nak:5@select"));
    camera->AddFault(*ParseFault("slow:3000"));
    camera->ClearFaults();
    std::vector<Reply> replies;
    camera->Feed(Select(1), Clock::now(), replies);
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0].bytes, Bytes{kAck});
    EXPECT_EQ(replies[0].delay.count(), 0);
    EXPECT_EQ(Send(Command(0x43, {0x01, 10})), DataPacket(kLast, Bytes{3, 0, 0, 0}));
}

TEST_F(Camera, AnswerFaultsReplaceTheAnswerWithoutExecuting) {
    camera->AddFault(*ParseFault("nak:2@speed"));
    const Bytes speed = Command(0x53, {0x00, 17, 5, 0, 0, 0});
    EXPECT_EQ(Send(speed), Bytes{kNak});
    EXPECT_EQ(Send(speed), Bytes{kNak});
    EXPECT_EQ(camera->LineSpeed(), 19200u);
    EXPECT_EQ(Send(speed), Bytes{kAck});
    EXPECT_EQ(camera->LineSpeed(), 115200u);

    camera->AddFault(*ParseFault("silent@select#2"));
    EXPECT_EQ(Send(Select(1)), Bytes{kAck});
    EXPECT_TRUE(Send(Select(2)).empty());
    EXPECT_EQ(camera->Selected(), 1u);
    EXPECT_EQ(Send(Select(2)), Bytes{kAck});

    camera->AddFault(*ParseFault("refuse:delete"));
    EXPECT_EQ(Send(Command(0x43, {0x02, 0, 0})), Bytes{kRefuse});
    EXPECT_EQ(camera->Pictures().size(), 3u);

    camera->AddFault(*ParseFault("byte:0x42@probe"));
    EXPECT_EQ(Send({kProbe}), Bytes{0x42});
    EXPECT_EQ(Send({kProbe}), Bytes{kNak});
}

TEST_F(Camera, GarbledDataAnswerIsResentOnNak) {
    camera->AddFault(*ParseFault("byte:0x42"));
    EXPECT_EQ(Send(Command(0x43, {0x01, 10})), Bytes{0x42});
    EXPECT_EQ(Send({kNak}), DataPacket(kLast, Bytes{3, 0, 0, 0}));
}

TEST_F(Camera, DelayAndSlowPostponeAnswers) {
    camera->AddFault(*ParseFault("slow:30"));
    camera->AddFault(*ParseFault("delay:1500@count"));
    Send({kProbe});
    EXPECT_EQ(last.at(0).delay, milliseconds(30));
    Send(Command(0x43, {0x01, 10}));
    EXPECT_EQ(last.at(0).delay, milliseconds(1530));
    Send({kNak});
    EXPECT_EQ(last.at(0).delay, milliseconds(30));
    Send({kAck});
    Send(Command(0x43, {0x02, 0, 0}));
    ASSERT_EQ(last.size(), 2u);
    EXPECT_EQ(last[1].delay, milliseconds(30));
}

TEST_F(Camera, AckFaultsActOnTheNextPacket) {
    camera->AddFault(*ParseFault("silent@ack#2"));
    ASSERT_EQ(Send(Select(1)), Bytes{kAck});
    Send(Command(0x43, {0x04, 0x0E}));
    EXPECT_FALSE(Send({kAck}).empty());
    EXPECT_TRUE(Send({kAck}).empty());  // the third packet never comes
    EXPECT_FALSE(Send({kNak}).empty()); // but a NAK gets the second again
}

TEST(Helpers, ChecksumAndCrc) {
    EXPECT_EQ(Checksum(Hex("00 04 C9 00 00 00")), 0xCD);
    EXPECT_EQ(Checksum(Bytes(300, 0xFF)), (300 * 0xFF) & 0xFFFF);
    EXPECT_EQ(DataPacket(kLast, {}), Hex("03 00 00 00 00 00"));
    const std::string text = "123456789";
    EXPECT_EQ(Crc32(Bytes(text.begin(), text.end())), 0xCBF43926u);
    EXPECT_EQ(SpeedOfIndex(0), 19200u);
    EXPECT_EQ(SpeedOfIndex(1), 9600u);
    EXPECT_EQ(SpeedOfIndex(5), 115200u);
    EXPECT_EQ(SpeedOfIndex(6), 0u);
}

} // namespace
} // namespace camsim
