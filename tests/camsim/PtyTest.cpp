// Exchanges over a real pseudo-terminal, with a host written here with plain termios
// calls so that it shares no framing code with the emulator.
#include "tools/camsim/Simulator.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace camsim {
namespace {

using namespace std::chrono_literals;

class Host {
public:
    explicit Host(const std::string& path) {
        fd_ = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (fd_ >= 0) {
            SetSpeed(B19200);
        }
    }
    ~Host() {
        if (fd_ >= 0) {
            close(fd_);
        }
    }
    bool ok() const { return fd_ >= 0; }
    void SetSpeed(speed_t speed) {
        termios t{};
        tcgetattr(fd_, &t);
        cfmakeraw(&t);
        cfsetispeed(&t, speed);
        cfsetospeed(&t, speed);
        tcsetattr(fd_, TCSANOW, &t);
    }
    void Purge() { tcflush(fd_, TCIFLUSH); }
    void Write(const Bytes& bytes) {
        ASSERT_EQ(write(fd_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }
    // Up to n bytes, waiting at most `timeout` in all.
    Bytes Read(std::size_t n, std::chrono::milliseconds timeout = 1000ms) {
        Bytes out;
        const auto until = Clock::now() + timeout;
        while (out.size() < n) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now());
            if (left <= 0ms) {
                break;
            }
            pollfd p{fd_, POLLIN, 0};
            if (poll(&p, 1, static_cast<int>(left.count())) <= 0) {
                break;
            }
            std::uint8_t buf[4096];
            const ssize_t got = read(fd_, buf, std::min(sizeof buf, n - out.size()));
            if (got > 0) {
                out.insert(out.end(), buf, buf + got);
            }
        }
        return out;
    }
    // A data packet as the host reads it: header, then payload and checksum.
    Bytes ReadPacket(std::chrono::milliseconds timeout = 1000ms) {
        Bytes p = Read(4, timeout);
        if (p.size() < 4) {
            return p;
        }
        const Bytes rest = Read(p[2] + 256u * p[3] + 2, timeout);
        p.insert(p.end(), rest.begin(), rest.end());
        return p;
    }

private:
    int fd_ = -1;
};

// The host's own framing, written from the protocol tables.
Bytes Packet(std::uint8_t marker, const Bytes& payload) {
    Bytes out{0x1B, marker, static_cast<std::uint8_t>(payload.size()), 0};
    unsigned sum = 0;
    for (std::uint8_t b : payload) {
        out.push_back(b);
        sum += b;
    }
    out.push_back(static_cast<std::uint8_t>(sum & 0xFF));
    out.push_back(static_cast<std::uint8_t>((sum >> 8) & 0xFF));
    return out;
}

bool SumOk(const Bytes& p) {
    if (p.size() < 6 || p.size() != p[2] + 256u * p[3] + 6) {
        return false;
    }
    unsigned sum = 0;
    for (std::size_t i = 4; i + 2 < p.size(); ++i) {
        sum += p[i];
    }
    return (sum & 0xFFFF) == p[p.size() - 2] + 256u * p[p.size() - 1];
}

Picture Numbered(std::size_t size, std::uint32_t time) {
    Picture p;
    for (std::size_t i = 0; i < size; ++i) {
        p.photo.push_back(static_cast<std::uint8_t>(i * 7 + i / 251));
    }
    p.thumbnail = {1, 2, 3};
    p.time = time;
    return p;
}

class Pty : public ::testing::Test {
protected:
    void Start(Options options) {
        dir = std::filesystem::temp_directory_path() /
              ("camsim-test-" + std::to_string(getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir);
        options.stateFile = (dir / "state").string();
        sim = std::make_unique<Simulator>(std::move(options));
        ASSERT_TRUE(sim->Start((dir / "ttyCOM1").string())) << sim->Error();
        host = std::make_unique<Host>((dir / "ttyCOM1").string());
        ASSERT_TRUE(host->ok());
    }
    void TearDown() override {
        host.reset();
        sim.reset();
        std::filesystem::remove_all(dir);
    }

    std::filesystem::path dir;
    std::unique_ptr<Simulator> sim;
    std::unique_ptr<Host> host;
};

// A camera that works again forgets its faults and drops the answers they
// held back: no late answer arrives to be taken for a later one.
TEST_F(Pty, ClearedFaultsDropTheAnswersTheyHeldBack) {
    Options o;
    o.pictures = {Numbered(10, 1)};
    Start(o);
    ASSERT_TRUE(sim->AddFault("slow:600"));
    host->Write({0x00});
    ASSERT_TRUE(sim->WaitForReceived(1, 1000ms));
    sim->ClearFaults();
    host->Write({0x00});
    EXPECT_EQ(host->Read(1, 300ms), Bytes{0x15}) << "the second probe is answered at once";
    EXPECT_TRUE(host->Read(1, 800ms).empty()) << "the first probe's late answer is gone";
}

TEST_F(Pty, ProbeAndPictureCount) {
    Options o;
    o.pictures = {Numbered(10, 1), Numbered(20, 2), Numbered(30, 3)};
    Start(o);
    host->Write({0x00});
    EXPECT_EQ(host->Read(1), Bytes{0x15});
    host->Write(Packet(0x43, {0x01, 0x0A}));
    const Bytes p = host->ReadPacket();
    EXPECT_TRUE(SumOk(p));
    EXPECT_EQ(p, (Bytes{0x03, 0x00, 0x04, 0x00, 0x03, 0x00, 0x00, 0x00, 0x03, 0x00}));
    host->Write({0x06});
    // A corrupt command is answered NAK, and nothing else follows.
    Bytes bad = Packet(0x43, {0x01, 0x0A});
    bad[6] ^= 0xFF;
    host->Write(bad);
    EXPECT_EQ(host->Read(2, 300ms), Bytes{0x15});
    ASSERT_TRUE(sim->WaitForReceived(4, 1000ms));
    EXPECT_EQ(sim->Received()[3].kind, Kind::Corrupt);

    // One exchange a line, each with its time and direction.
    std::vector<std::string> lines;
    for (const std::string& line : sim->TraceText()) {
        if (line.find(" * ") == std::string::npos) {
            lines.push_back(line.substr(line.find_first_not_of(' ')));
        }
    }
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_TRUE(lines[0].ends_with(" > 00")) << lines[0];
    EXPECT_TRUE(lines[1].ends_with(" < 15")) << lines[1];
    EXPECT_TRUE(lines[2].ends_with(" > 1B 43 02 00 01 0A 0B 00")) << lines[2];
    EXPECT_TRUE(lines[3].ends_with(" < 03 00 04 00 03 00 00 00 03 00")) << lines[3];
    EXPECT_TRUE(lines[4].ends_with(" > 06")) << lines[4];
    EXPECT_TRUE(lines[6].ends_with(" < 15")) << lines[6];
}

TEST_F(Pty, SpeedSwitchThenTheLineWorksAt115200) {
    Options o;
    o.pictures = {Numbered(10, 1)};
    o.strictSpeed = true;
    Start(o);
    EXPECT_EQ(sim->HostSpeed(), 19200u);
    host->Write(Packet(0x53, {0x00, 0x11, 0x05, 0, 0, 0}));
    EXPECT_EQ(host->Read(1), Bytes{0x06});
    // Still at 19200 on the host's side: a strict camera hears noise and stays silent.
    host->Write(Packet(0x43, {0x01, 0x01}));
    EXPECT_TRUE(host->Read(1, 700ms).empty());

    host->SetSpeed(B115200);
    EXPECT_TRUE(sim->WaitForHostSpeed(115200, 1000ms));
    EXPECT_EQ(sim->CameraSpeed(), 115200u);
    host->Write(Packet(0x43, {0x01, 0x01}));
    EXPECT_TRUE(SumOk(host->ReadPacket()));
    host->Write({0x06});
    host->Write(Packet(0x53, {0x00, 0x11, 0x00, 0, 0, 0}));
    EXPECT_EQ(host->Read(1), Bytes{0x06});
    EXPECT_EQ(sim->CameraSpeed(), 19200u);
    bool lost = false;
    for (const std::string& line : sim->TraceText()) {
        lost |= line.find("lost at a speed mismatch: 1B 43 02 00 01 01 02 00") != std::string::npos;
    }
    EXPECT_TRUE(lost);
}

TEST_F(Pty, DownloadInPacketsWithNakResendAcrossReopen) {
    Options o;
    o.pictures = {Numbered(5000, 1)};
    o.faults = {*ParseFault("checksum:2@photo")};
    Start(o);
    host->Write(Packet(0x43, {0x00, 0x04, 0x01, 0, 0, 0}));
    ASSERT_EQ(host->Read(1), Bytes{0x06});
    host.reset(); // the host closes and reopens the port between commands
    host = std::make_unique<Host>((dir / "ttyCOM1").string());
    host->Write(Packet(0x43, {0x04, 0x0E}));
    Bytes data;
    int naks = 0;
    for (int i = 0; i < 10; ++i) {
        const Bytes p = host->ReadPacket();
        ASSERT_GE(p.size(), 6u);
        if (!SumOk(p)) {
            ++naks;
            host->Purge();
            host->Write({0x15});
            continue;
        }
        data.insert(data.end(), p.begin() + 4, p.end() - 2);
        host->Purge();
        host->Write({0x06});
        if (p[0] == 0x03) {
            break;
        }
        EXPECT_EQ(p[0], 0x02);
        EXPECT_EQ(p.size(), 2048u + 6);
    }
    EXPECT_EQ(naks, 1);
    EXPECT_EQ(data, sim->PictureData()[0].photo);
}

TEST_F(Pty, CompletionFollowsTheHostsPurge) {
    Options o;
    o.pictures = {Numbered(10, 1), Numbered(10, 2)};
    o.completionFallback = 2000ms; // long: a quick completion must come from the purge
    Start(o);
    host->Write(Packet(0x43, {0x02, 0x00, 0x00}));
    EXPECT_EQ(host->Read(1), Bytes{0x06});
    const auto purged = Clock::now();
    host->Purge();
    EXPECT_EQ(host->Read(1, 1500ms), Bytes{0x05});
    EXPECT_LT(Clock::now() - purged, 1000ms);
    ASSERT_EQ(sim->Pictures().size(), 1u);
    std::ifstream state(dir / "state");
    std::string first;
    std::getline(state, first);
    EXPECT_EQ(first, "count 1");
}

TEST_F(Pty, PacingFollowsTheLineSpeed) {
    Options o;
    o.pictures = {Numbered(3000, 1)};
    o.camera.packetSize = 3000;
    o.pace = true;
    Start(o);
    host->Write(Packet(0x43, {0x00, 0x04, 0x01, 0, 0, 0}));
    ASSERT_EQ(host->Read(1), Bytes{0x06});
    const auto begin = Clock::now();
    host->Write(Packet(0x43, {0x04, 0x0E}));
    const Bytes p = host->ReadPacket(4000ms);
    const double seconds = std::chrono::duration<double>(Clock::now() - begin).count();
    EXPECT_TRUE(SumOk(p));
    const double expected = 3006 * 10.0 / 19200; // about 1.57 s
    EXPECT_GT(seconds, expected * 0.8);
    EXPECT_LT(seconds, expected * 1.6);
}

TEST_F(Pty, VanishClosesTheLineAndKeepsTheState) {
    Options o;
    o.pictures = {Numbered(10, 1)};
    o.faults = {*ParseFault("vanish:1@count")};
    Start(o);
    host->Write(Packet(0x43, {0x01, 0x0A}));
    EXPECT_TRUE(SumOk(host->ReadPacket()));
    for (int i = 0; i < 100 && sim->Running(); ++i) {
        usleep(10000);
    }
    EXPECT_FALSE(sim->Running());
    EXPECT_FALSE(std::filesystem::is_symlink(dir / "ttyCOM1"));
    EXPECT_TRUE(std::filesystem::exists(dir / "state"));
}

TEST(PtyLinkPath, NeverReplacesAFileButReplacesAStaleLink) {
    const auto dir =
        std::filesystem::temp_directory_path() / ("camsim-link-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    const auto file = dir / "regular";
    std::ofstream(file) << "keep";
    Simulator a(Options{});
    EXPECT_FALSE(a.Start(file.string()));
    EXPECT_EQ(std::filesystem::file_size(file), 4u);

    const auto link = dir / "link";
    std::filesystem::create_symlink("/nonexistent/pts", link);
    Simulator b(Options{});
    ASSERT_TRUE(b.Start(link.string())) << b.Error();
    EXPECT_EQ(std::filesystem::read_symlink(link), b.SlavePath());
    b.Stop();
    EXPECT_FALSE(std::filesystem::is_symlink(link));
    std::filesystem::remove_all(dir);
}

} // namespace
} // namespace camsim
