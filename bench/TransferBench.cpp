// pixlor-bench-transfer: the download of one picture through Camera, PacketLink,
// ComPort and the POSIX serial and file backends, from the camera emulator on a
// pseudo-terminal that sends at the line's speed. One row per line speed and
// packet size: throughput, its share of the line limit (speed / 10 bytes a
// second) and the protocol's own minimum time for the same picture.
//
// The slow lines take long, so by default the picture is sized to about eight
// seconds of line time (8 KiB at 9600 bit/s up to 64 KiB at 115200), except at
// 115200 bit/s with 2048-byte packets, the product's defaults, which moves the
// real 1 MiB. --full moves 1 MiB everywhere (over an hour).
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "bench/CameraRig.h"
#include "bench/LineModel.h"
#include "camera/Camera.h"
#include "platform/FileTime.h"

namespace pixlor::bench {
namespace {

constexpr uint32_t kMiB = 1024 * 1024;
constexpr uint32_t kKiB = 1024;

struct SpeedEntry {
    uint32_t index; // register 17
    uint32_t speed;
    uint32_t defaultSize;
};
constexpr SpeedEntry kSpeeds[] = {
    {1, 9600, 8 * kKiB},   {2, 19200, 16 * kKiB},  {3, 38400, 32 * kKiB},
    {4, 57600, 48 * kKiB}, {5, 115200, 64 * kKiB},
};
constexpr uint32_t kPacketSizes[] = {512, 1024, 2048, 4096};

struct Settings {
    bool full = false;
    std::optional<uint32_t> size;
    std::vector<uint32_t> speeds;
    std::vector<uint32_t> packets;
    int repeat = 1;
};

std::vector<uint32_t> ParseList(std::string_view text) {
    std::vector<uint32_t> out;
    while (!text.empty()) {
        const size_t comma = text.find(',');
        out.push_back(static_cast<uint32_t>(
            std::strtoul(std::string(text.substr(0, comma)).c_str(), nullptr, 10)));
        text = comma == std::string_view::npos ? std::string_view{} : text.substr(comma + 1);
    }
    return out;
}

int Usage() {
    std::fprintf(stderr, "usage: pixlor-bench-transfer [--full] [--picture-size BYTES]\n"
                         "       [--speeds 9600,...] [--packets 512,...] [--repeat N]\n");
    return 2;
}

const SpeedEntry* FindSpeed(uint32_t speed) {
    for (const SpeedEntry& e : kSpeeds) {
        if (e.speed == speed) {
            return &e;
        }
    }
    return nullptr;
}

uint32_t SizeFor(const Settings& settings, const SpeedEntry& speed, uint32_t packetSize) {
    if (settings.size) {
        return *settings.size;
    }
    if (settings.full || (speed.speed == 115200 && packetSize == 2048)) {
        return kMiB;
    }
    return speed.defaultSize;
}

std::vector<uint8_t> ReadWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// One download on a fresh camera, connected and with the picture known; the
// time of DownloadPicture alone, or nothing when it failed.
std::optional<double> DownloadOnce(uint32_t size, const SpeedEntry& speed, uint32_t packetSize,
                                   int run) {
    std::vector<camsim::Picture> pictures{PictureOfSize(size, static_cast<unsigned>(run) + 1)};
    const std::vector<uint8_t> expected = pictures[0].photo;
    CameraRig rig(std::move(pictures), packetSize);
    if (!rig.Started()) {
        std::fprintf(stderr, "emulator: %s\n", rig.Error().c_str());
        return std::nullopt;
    }
    Camera camera(kRigPort, speed.index);
    if (!camera.LoadPictureTable() || !camera.LoadPictureInfo(1, false)) {
        std::fprintf(stderr, "connecting failed: LinkStatus %d\n", camera.LinkStatus());
        return std::nullopt;
    }
    const std::string path = rig.File("picture.jpg");
    const auto start = std::chrono::steady_clock::now();
    const bool ok =
        camera.DownloadPicture(1, PictureKind::Photo, false, path.c_str(), {}, FileTime{});
    const double seconds = SecondsSince(start);
    camera.Disconnect();
    if (!ok) {
        const CameraCodes codes = camera.Codes();
        std::fprintf(stderr, "download failed: LinkStatus %d, PacketStatus %d, PortFlags 0x%X\n",
                     codes.linkStatus, codes.packetStatus, codes.portFlags);
        return std::nullopt;
    }
    if (ReadWhole(path) != expected) {
        std::fprintf(stderr, "the downloaded file differs from the picture\n");
        return std::nullopt;
    }
    return seconds;
}

} // namespace

int Run(int argc, char** argv) {
    Settings settings;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        if (arg == "--full") {
            settings.full = true;
        } else if (arg == "--picture-size" && value) {
            settings.size = static_cast<uint32_t>(std::strtoul(value, nullptr, 10));
            ++i;
        } else if (arg == "--speeds" && value) {
            settings.speeds = ParseList(value);
            ++i;
        } else if (arg == "--packets" && value) {
            settings.packets = ParseList(value);
            ++i;
        } else if (arg == "--repeat" && value) {
            settings.repeat = std::max(1, std::atoi(value));
            ++i;
        } else {
            return Usage();
        }
    }
    if (settings.speeds.empty()) {
        for (const SpeedEntry& e : kSpeeds) {
            settings.speeds.push_back(e.speed);
        }
    }
    if (settings.packets.empty()) {
        settings.packets.assign(std::begin(kPacketSizes), std::end(kPacketSizes));
    }

    std::printf("# transfer: one picture, emulator paced at the line's speed, %d run(s) a row\n",
                settings.repeat);
    std::printf("# line limit = speed / 10 B/s; minimum = request + (size + 7 x packets) at "
                "the line's speed\n");
    std::printf("# ratio: best / minimum; overlap: best / the tighter bound that lets a write's "
                "bytes cross during the pause after it\n");
    std::printf("%7s %6s %8s %9s %9s %9s %7s %9s %7s %7s %7s\n", "speed", "packet", "bytes",
                "best_s", "median_s", "best_B/s", "line_%", "minimum_s", "min_%", "ratio",
                "overlap");
    int failures = 0;
    for (uint32_t speedValue : settings.speeds) {
        const SpeedEntry* speed = FindSpeed(speedValue);
        if (speed == nullptr) {
            std::fprintf(stderr, "no line speed %u in the table\n", speedValue);
            return 2;
        }
        for (uint32_t packetSize : settings.packets) {
            const uint32_t size = SizeFor(settings, *speed, packetSize);
            std::vector<double> runs;
            for (int run = 0; run < settings.repeat; ++run) {
                if (auto seconds = DownloadOnce(size, *speed, packetSize, run)) {
                    runs.push_back(*seconds);
                } else {
                    ++failures;
                }
            }
            if (runs.empty()) {
                std::printf("%7u %6u %8u   failed\n", speed->speed, packetSize, size);
                continue;
            }
            const Spread spread = SpreadOf(runs);
            const double limit = LineLimit(speed->speed);
            const double rate = size / spread.best;
            const double minimum = DownloadMinimum(size, packetSize, speed->speed);
            const double tight = DownloadMinimum(size, packetSize, speed->speed, Counting::Overlap);
            std::printf("%7u %6u %8u %9.3f %9.3f %9.0f %7.2f %9.3f %7.2f %7.4f %7.4f\n",
                        speed->speed, packetSize, size, spread.best, spread.median, rate,
                        100 * rate / limit, minimum, 100 * size / minimum / limit,
                        spread.best / minimum, spread.best / tight);
            std::fflush(stdout);
        }
    }
    return failures == 0 ? 0 : 1;
}

} // namespace pixlor::bench

int main(int argc, char** argv) {
    return pixlor::bench::Run(argc, argv);
}
