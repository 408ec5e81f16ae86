// The figures every benchmark divides by, worked out by hand from the pauses
// and the bytes on the line.
#include <gtest/gtest.h>

#include "bench/LineModel.h"

namespace pixlor::bench {
namespace {

struct PacketCase {
    uint64_t size;
    uint32_t packetSize;
    uint64_t packets;
};

TEST(LineModel, PacketsOfAPicture) {
    for (const PacketCase& c :
         {PacketCase{0, 2048, 1}, PacketCase{1, 2048, 1}, PacketCase{2048, 2048, 1},
          PacketCase{2049, 2048, 2}, PacketCase{1048576, 512, 2048}, PacketCase{65536, 4096, 16}}) {
        EXPECT_EQ(PacketCount(c.size, c.packetSize), c.packets) << c.size << "/" << c.packetSize;
    }
}

TEST(LineModel, TransferIsThePacketsAndTheirAcksAtTheLineSpeed) {
    EXPECT_DOUBLE_EQ(LineLimit(115200), 11520.0);
    // 1 MiB in 512 packets of 2048: 1048576 + 512 * 7 bytes at 11520 B/s.
    EXPECT_NEAR(TransferMinimum(1048576, 2048, 115200), 1052160 / 11520.0, 1e-9);
    // The request adds 7 ms of pauses and its 8 bytes.
    EXPECT_NEAR(DownloadMinimum(1048576, 2048, 115200), 0.007 + 8 / 11520.0 + 1052160 / 11520.0,
                1e-9);
    // An empty picture is one empty packet and its ACK.
    EXPECT_NEAR(TransferMinimum(0, 2048, 9600), 7 / 960.0, 1e-12);
}

TEST(LineModel, OpeningIsTwoConnectionsAndTwoExchangesAPicture) {
    // One picture at 115200: 863 ms of pauses; probes, NAKs and both speed
    // switches (30 bytes) at 19200; 135 bytes at 115200.
    const double one = 0.863 + 30 / 1920.0 + 135 / 11520.0;
    EXPECT_NEAR(OpenMinimum(1, 115200), one, 1e-9);
    // Each further picture: select (13 bytes) and information (8 + 30 + 1), 14 ms.
    const double each = 0.014 + 52 / 11520.0;
    EXPECT_NEAR(OpenMinimum(200, 115200), one + 199 * each, 1e-9);
    // At 19200 everything crosses at 1920 B/s.
    EXPECT_NEAR(OpenMinimum(1, 19200), 0.863 + 165 / 1920.0, 1e-9);
}

TEST(LineModel, OnA64HzTimerEveryShortPauseLastsATick) {
    // Per picture six pauses of 1 or 5 ms: 14 ms as prescribed, 93.75 ms on
    // ticks of 15.625 ms; the 100 ms pauses last 109.375 ms, the 500 ms one 500.
    const LineCost exact = OpenCost(200, 115200, 0);
    const LineCost ticks = OpenCost(200, 115200, kDefaultTimerTickMs);
    EXPECT_EQ(exact.Pauses(), ticks.Pauses());
    // Seven commands besides the pictures' two each, three pauses a command;
    // the 500 ms pause before the port opens and three of 100 ms.
    const uint64_t commands = 7 + 2 * 200;
    EXPECT_EQ(exact.ShortPauses(), 3 * commands);
    EXPECT_EQ(exact.Pauses(), exact.ShortPauses() + 4);
    EXPECT_NEAR(exact.Seconds(), OpenMinimum(200, 115200), 1e-12);
    const double longer = commands * (3 * 0.015625 - 0.007) + 3 * 0.009375;
    EXPECT_NEAR(ticks.Seconds() - exact.Seconds(), longer, 1e-9);
}

TEST(LineModel, OverlapLetsBytesCrossDuringThePauses) {
    // At 115200 the first two pieces (4 bytes) fit in the 1 ms pauses, and the
    // last ACK waits for nothing.
    EXPECT_NEAR(DownloadMinimum(1048576, 2048, 115200) -
                    DownloadMinimum(1048576, 2048, 115200, Counting::Overlap),
                5 / 11520.0, 1e-9);
    // At 9600 a byte takes longer than the pause: the pieces queue, and the
    // command ends 5 ms + 8 byte times after it began instead of 7 ms + 8.
    EXPECT_NEAR(DownloadMinimum(8192, 512, 9600) -
                    DownloadMinimum(8192, 512, 9600, Counting::Overlap),
                0.002 + 1 / 960.0, 1e-9);
    for (uint32_t speed : {9600u, 19200u, 38400u, 57600u, 115200u}) {
        EXPECT_LT(OpenMinimum(50, speed, Counting::Overlap), OpenMinimum(50, speed)) << speed;
    }
}

} // namespace
} // namespace pixlor::bench
