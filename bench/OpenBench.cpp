// pixlor-bench-open: OpenPlugin on the camera emulator at the line's speed, with
// the real panel, camera, link, port and POSIX backends: the picture table, the
// information of every picture (the last one handing the camera back), then
// Disconnect. Compared with the protocol's own minimum, its pauses and the bytes
// of every exchange at the line's speed.
#include <stdlib.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "bench/CameraRig.h"
#include "bench/LineModel.h"
#include "camera/PacketLink.h"
#include "host/Host.h"
#include "plugin/CameraPanel.h"
#include "plugin/Startup.h"
#include "settings/Settings.h"
#include "tools/hostkit/HostKit.h"

namespace pixlor::bench {
namespace {

// One OpenPlugin on a fresh camera with the settings' defaults (COM2) and the
// given speed index, started as the host starts the plugin.
std::optional<double> OpenOnce(uint32_t pictures, uint32_t speedIndex,
                               const std::string& traceFile) {
    CameraRig rig(CheapPictures(pictures), 2048, traceFile);
    if (!rig.Started()) {
        std::fprintf(stderr, "emulator: %s\n", rig.Error().c_str());
        return std::nullopt;
    }
    setenv("PIXLOR_REGISTRY", rig.File("registry.reg").c_str(), 1);
    hostkit::HostKit host;
    StartPlugin(host.MakeStartupInfo());
    WriteSetting(settings::kBaudRate, speedIndex);

    const auto start = std::chrono::steady_clock::now();
    const HANDLE panel = OpenPlugin();
    const double seconds = SecondsSince(start);
    const bool opened = panel != INVALID_HANDLE_VALUE;
    if (opened) {
        ClosePlugin(static_cast<CameraPanel*>(panel));
    }
    ForgetHostRecords();
    unsetenv("PIXLOR_REGISTRY");
    if (!opened) {
        std::fprintf(stderr, "the panel did not open (%zu message boxes)\n", host.messages.size());
        return std::nullopt;
    }
    return seconds;
}

int Usage() {
    std::fprintf(stderr, "usage: pixlor-bench-open [--pictures 1,50,200] [--speed-index 1-5] "
                         "[--repeat N] [--trace FILE]\n");
    return 2;
}

} // namespace

int Run(int argc, char** argv) {
    std::vector<uint32_t> counts{1, 50, 200};
    uint32_t speedIndex = 5; // the settings' default
    int repeat = 5;
    std::string traceFile;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        if (value == nullptr) {
            return Usage();
        }
        if (arg == "--pictures") {
            counts.clear();
            for (const char* p = value; *p != '\0';) {
                char* end = nullptr;
                counts.push_back(static_cast<uint32_t>(std::strtoul(p, &end, 10)));
                p = *end == ',' ? end + 1 : end;
            }
        } else if (arg == "--speed-index") {
            speedIndex = static_cast<uint32_t>(std::atoi(value));
            if (speedIndex < 1 || speedIndex > 5) {
                return Usage();
            }
        } else if (arg == "--repeat") {
            repeat = std::max(1, std::atoi(value));
        } else if (arg == "--trace") {
            traceFile = value; // the last run's exchange, for looking into the time
        } else {
            return Usage();
        }
        ++i;
    }
    const uint32_t speed = packet::LineSpeed(speedIndex);
    std::printf("# panel open: table, every picture's information, disconnect; handshakes at "
                "19200 bit/s, the rest at %u; %d run(s) a row\n",
                speed, repeat);
    std::printf("# minimum: every pause plus every byte; overlap_x: against the tighter bound that "
                "lets a write's bytes cross during the pause after it\n");
    std::printf("%8s %7s %9s %9s %10s %7s %8s %9s\n", "pictures", "speed", "best_s", "median_s",
                "minimum_s", "best_x", "median_x", "overlap_x");
    int failures = 0;
    for (uint32_t count : counts) {
        if (count == 0) {
            continue; // an empty camera opens no panel
        }
        std::vector<double> runs;
        for (int run = 0; run < repeat; ++run) {
            if (auto seconds = OpenOnce(count, speedIndex, traceFile)) {
                runs.push_back(*seconds);
            } else {
                ++failures;
            }
        }
        if (runs.empty()) {
            std::printf("%8u %7u   failed\n", count, speed);
            continue;
        }
        const Spread spread = SpreadOf(runs);
        const double minimum = OpenMinimum(count, speed);
        const double tight = OpenMinimum(count, speed, Counting::Overlap);
        std::printf("%8u %7u %9.3f %9.3f %10.3f %7.3f %8.3f %9.3f\n", count, speed, spread.best,
                    spread.median, minimum, spread.best / minimum, spread.median / minimum,
                    spread.median / tight);
        std::fflush(stdout);
    }
    return failures == 0 ? 0 : 1;
}

} // namespace pixlor::bench

int main(int argc, char** argv) {
    return pixlor::bench::Run(argc, argv);
}
