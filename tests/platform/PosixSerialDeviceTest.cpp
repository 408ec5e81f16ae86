// The termios device over a pseudo-terminal: the camera side is the master.
#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>

#include <gtest/gtest.h>

#include "platform/SystemBackends.h"
#include "platform/SystemError.h"

namespace pixlor {
namespace {

class PosixSerialDeviceTest : public testing::Test {
protected:
    void SetUp() override {
        master = posix_openpt(O_RDWR | O_NOCTTY);
        ASSERT_GE(master, 0);
        ASSERT_EQ(grantpt(master), 0);
        ASSERT_EQ(unlockpt(master), 0);
        termios tio{};
        tcgetattr(master, &tio);
        cfmakeraw(&tio);
        tcsetattr(master, TCSANOW, &tio);
        dir =
            std::filesystem::temp_directory_path() / ("pixlor-serial-" + std::to_string(getpid()));
        std::filesystem::create_directories(dir);
        std::filesystem::create_symlink(ptsname(master), dir / "com2");
        setenv("PIXLOR_DEVICES", dir.c_str(), 1);
    }
    void TearDown() override {
        unsetenv("PIXLOR_DEVICES");
        std::filesystem::remove_all(dir);
        close(master);
    }
    std::unique_ptr<SerialDevice> OpenCom2() {
        auto device = system::SerialDevices().NewDevice();
        EXPECT_TRUE(device->Open("COM2"));
        LineSetting line;
        EXPECT_TRUE(device->GetLine(line));
        line.baudRate = 19200;
        EXPECT_TRUE(device->SetLine(line));
        EXPECT_TRUE(device->SetTimeouts({0, 1, 100, 0, 0}));
        return device;
    }

    int master = -1;
    std::filesystem::path dir;
};

TEST_F(PosixSerialDeviceTest, MovesEveryByteValueRawBothWays) {
    auto device = OpenCom2();
    uint8_t all[256];
    for (int i = 0; i < 256; ++i) {
        all[i] = static_cast<uint8_t>(i); // 0x11/0x13 (XON/XOFF), CR, LF, ^C...
    }
    uint32_t put = 0;
    ASSERT_TRUE(device->Write(all, 256, put));
    EXPECT_EQ(put, 256u);
    uint8_t echoed[256];
    size_t have = 0;
    while (have < 256) {
        const ssize_t n = read(master, echoed + have, 256 - have);
        ASSERT_GT(n, 0);
        have += static_cast<size_t>(n);
    }
    EXPECT_EQ(std::memcmp(all, echoed, 256), 0);
    ASSERT_EQ(write(master, all, 256), 256);
    uint32_t got = 0;
    uint8_t in[256] = {};
    ASSERT_TRUE(device->Read(in, 256, got));
    EXPECT_EQ(got, 256u);
    EXPECT_EQ(std::memcmp(all, in, 256), 0);
}

TEST_F(PosixSerialDeviceTest, AReadReturnsShortAfterTheTotalTimeout) {
    auto device = OpenCom2();
    const uint8_t two[2] = {0x15, 0x06};
    ASSERT_EQ(write(master, two, 2), 2);
    uint8_t in[4] = {};
    uint32_t got = 0;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(device->Read(in, 4, got)) << "a time-out is no error, as on Win32";
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(got, 2u);
    EXPECT_EQ(in[0], 0x15);
    EXPECT_GE(waited, std::chrono::milliseconds(104)); // 100 + 1 ms per byte
    EXPECT_LT(waited, std::chrono::milliseconds(1000));
}

TEST_F(PosixSerialDeviceTest, PurgeDiscardsTheReceiveQueue) {
    auto device = OpenCom2();
    const uint8_t bytes[3] = {1, 2, 3};
    ASSERT_EQ(write(master, bytes, 3), 3);
    usleep(20000);
    ASSERT_TRUE(device->Purge(kPurgeRxClear));
    ASSERT_TRUE(device->SetTimeouts({0, 0, 20, 0, 0}));
    uint8_t in[1];
    uint32_t got = 0;
    EXPECT_TRUE(device->Read(in, 1, got));
    EXPECT_EQ(got, 0u);
}

TEST_F(PosixSerialDeviceTest, OpenIsExclusiveAndClosingReleasesThePort) {
    auto first = OpenCom2();
    auto second = system::SerialDevices().NewDevice();
    EXPECT_FALSE(second->Open("COM2"));
    EXPECT_EQ(second->LastError(), syserr::kAccessDenied);
    first->Close();
    EXPECT_TRUE(second->Open("COM2"));
}

TEST_F(PosixSerialDeviceTest, AMissingPortFailsAsFileNotFound) {
    auto device = system::SerialDevices().NewDevice();
    EXPECT_FALSE(device->Open("COM5"));
    EXPECT_EQ(device->LastError(), syserr::kFileNotFound);
}

TEST_F(PosixSerialDeviceTest, RejectsASpeedTermiosCannotSet) {
    auto device = OpenCom2();
    LineSetting line;
    ASSERT_TRUE(device->GetLine(line));
    EXPECT_EQ(line.baudRate, 19200u);
    EXPECT_EQ(line.byteSize, 8);
    EXPECT_EQ(line.parity, 0);
    EXPECT_EQ(line.stopBits, 0);
    line.baudRate = 12345;
    EXPECT_FALSE(device->SetLine(line));
    EXPECT_EQ(device->LastError(), syserr::kInvalidParameter);
}

} // namespace
} // namespace pixlor
