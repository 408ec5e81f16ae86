// pixlor-pause-check: runs the Windows sleeper's pauses of 1 and 5 ms, through
// the high-resolution timer where the system has one and through the raised
// system timer, and checks on the performance counter that none is shorter
// than asked. Prints each path's figures; exit 1 on a short pause or when the
// system timer is still held after the operation, 2 on bad arguments.
//
//   pixlor-pause-check [--count N]
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/ExactPauses.h"
#include "platform/win32/Win32Pauses.h"

namespace {

double Milliseconds(uint64_t microseconds) {
    return static_cast<double>(microseconds) / 1000.0;
}

using pixlor::ExactPauses;
using pixlor::PauseSystem;

// Counts what the sleeper asks of the system, around the real calls.
class Counting final : public PauseSystem {
public:
    explicit Counting(std::unique_ptr<PauseSystem> real) : real_(std::move(real)) {}
    uint64_t NowMicroseconds() override { return real_->NowMicroseconds(); }
    bool WaitPrecisely(uint32_t microseconds) override {
        const bool waited = real_->WaitPrecisely(microseconds);
        timerWaits += waited ? 1 : 0;
        return waited;
    }
    bool RaiseTimerResolution() override {
        const bool raised = real_->RaiseTimerResolution();
        raises += raised ? 1 : 0;
        return raised;
    }
    void RestoreTimerResolution() override {
        ++restores;
        real_->RestoreTimerResolution();
    }
    void SleepMilliseconds(uint32_t milliseconds) override {
        ++sleeps;
        real_->SleepMilliseconds(milliseconds);
    }
    int timerWaits = 0, raises = 0, restores = 0, sleeps = 0;

private:
    std::unique_ptr<PauseSystem> real_;
};

// Returns false on a short pause or an unbalanced system timer.
bool RunPath(const char* name, bool highResolutionTimer, int count) {
    Counting system(pixlor::system::NewWin32PauseSystem(highResolutionTimer));
    bool ok = true;
    {
        ExactPauses pauses(system);
        pauses.BeginOperation();
        for (uint32_t asked : {1u, 5u}) {
            std::vector<uint64_t> took;
            for (int i = 0; i < count; ++i) {
                const uint64_t start = system.NowMicroseconds();
                pauses.Pause(asked);
                took.push_back(system.NowMicroseconds() - start);
            }
            std::sort(took.begin(), took.end());
            const uint64_t shortest = took.front();
            const bool tooShort = shortest < asked * 1000;
            ok = ok && !tooShort;
            std::printf("%-22s %u ms x %d: shortest %.3f ms, median %.3f ms, longest %.3f ms%s\n",
                        name, asked, count, Milliseconds(shortest),
                        Milliseconds(took[took.size() / 2]), Milliseconds(took.back()),
                        tooShort ? "  SHORTER THAN ASKED" : "");
        }
        pauses.EndOperation();
        if (pauses.Raised()) {
            std::printf("%-22s the system timer is still raised after the operation\n", name);
            ok = false;
        }
    }
    std::printf("%-22s timer waits %d, Sleep calls %d, timeBeginPeriod %d, timeEndPeriod %d\n",
                name, system.timerWaits, system.sleeps, system.raises, system.restores);
    if (system.raises != system.restores) {
        std::printf("%-22s timeBeginPeriod and timeEndPeriod do not pair\n", name);
        ok = false;
    }
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    int count = 200;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--count") == 0 && i + 1 < argc) {
            count = std::atoi(argv[++i]);
        } else {
            std::fprintf(stderr, "usage: pixlor-pause-check [--count N]\n");
            return 2;
        }
    }
    if (count <= 0) {
        std::fprintf(stderr, "pixlor-pause-check: the count must be positive\n");
        return 2;
    }
    bool ok = RunPath("high-resolution timer", true, count);
    ok = RunPath("raised system timer", false, count) && ok;
    std::printf("%s\n", ok ? "every pause lasted at least what was asked" : "FAILED");
    return ok ? 0 : 1;
}
