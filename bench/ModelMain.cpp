// pixlor-bench-model: the protocol's minimum of bench/LineModel for a time
// measured elsewhere (the Wine benchmark drives the DLL from a script and
// divides by these). Prints the summed minimum and the tighter bound, seconds.
//   pixlor-bench-model download SIZE PACKET SPEED
//   pixlor-bench-model open PICTURES SPEED
//   pixlor-bench-model timer SPEED PICTURES...
// `timer` prints, for an opening of each count, its pauses and the sum with
// the pauses as prescribed and on Windows' default 64 Hz system timer: a
// model computed from the count of pauses, not a measurement.
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string_view>

#include "bench/LineModel.h"

namespace {

std::optional<uint32_t> Number(const char* text) {
    char* end = nullptr;
    const unsigned long value = std::strtoul(text, &end, 10);
    if (end == text || *end != '\0' || value == 0 || value > 0xFFFFFFFFUL) {
        return std::nullopt;
    }
    return static_cast<uint32_t>(value);
}

int Usage() {
    std::fprintf(stderr, "usage: pixlor-bench-model download SIZE PACKET SPEED\n"
                         "       pixlor-bench-model open PICTURES SPEED\n"
                         "       pixlor-bench-model timer SPEED PICTURES...\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    using namespace pixlor::bench;
    if (argc < 2) {
        return Usage();
    }
    const std::string_view what = argv[1];
    if (what == "download" && argc == 5) {
        const auto size = Number(argv[2]);
        const auto packet = Number(argv[3]);
        const auto speed = Number(argv[4]);
        if (!size || !packet || !speed) {
            return Usage();
        }
        std::printf("%.6f %.6f\n", DownloadMinimum(*size, *packet, *speed),
                    DownloadMinimum(*size, *packet, *speed, Counting::Overlap));
        return 0;
    }
    if (what == "open" && argc == 4) {
        const auto pictures = Number(argv[2]);
        const auto speed = Number(argv[3]);
        if (!pictures || !speed) {
            return Usage();
        }
        std::printf("%.6f %.6f\n", OpenMinimum(*pictures, *speed),
                    OpenMinimum(*pictures, *speed, Counting::Overlap));
        return 0;
    }
    if (what == "timer" && argc >= 4) {
        const auto speed = Number(argv[2]);
        if (!speed) {
            return Usage();
        }
        std::printf(
            "| pictures | pauses | of 1 or 5 ms | precise timer s | 64 Hz timer s | ratio |\n"
            "|---:|---:|---:|---:|---:|---:|\n");
        for (int i = 3; i < argc; ++i) {
            const auto pictures = Number(argv[i]);
            if (!pictures) {
                return Usage();
            }
            const LineCost exact = OpenCost(*pictures, *speed, 0);
            const LineCost ticks = OpenCost(*pictures, *speed, kDefaultTimerTickMs);
            std::printf("| %u | %llu | %llu | %.3f | %.3f | %.2f |\n", *pictures,
                        static_cast<unsigned long long>(exact.Pauses()),
                        static_cast<unsigned long long>(exact.ShortPauses()), exact.Seconds(),
                        ticks.Seconds(), ticks.Seconds() / exact.Seconds());
        }
        return 0;
    }
    return Usage();
}
