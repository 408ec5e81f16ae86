#include <windows.h>

#include "platform/SystemBackends.h"
#include "platform/win32/Win32Pauses.h"

namespace pixlor::system {
namespace {

// Windows 10 1803 and later; older systems refuse the flag.
constexpr DWORD kHighResolutionTimer = 0x00000002; // CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
constexpr DWORD kTimerAllAccess = 0x001F0003;      // TIMER_ALL_ACCESS
constexpr UINT kOneMillisecond = 1;

using CreateTimerExW = HANDLE(WINAPI*)(LPSECURITY_ATTRIBUTES, LPCWSTR, DWORD, DWORD);
using TimePeriod = UINT(WINAPI*)(UINT);

template <typename F> F Function(HMODULE module, const char* name) {
    if (module == nullptr) {
        return nullptr;
    }
    // The usual cast of a looked-up function to its type.
    return reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

class Win32PauseSystem final : public PauseSystem {
public:
    explicit Win32PauseSystem(bool highResolutionTimer) : tryTimer_(highResolutionTimer) {
        LARGE_INTEGER frequency{};
        ::QueryPerformanceFrequency(&frequency);
        frequency_ = frequency.QuadPart > 0 ? static_cast<uint64_t>(frequency.QuadPart) : 1;
    }
    ~Win32PauseSystem() override {
        if (timer_ != nullptr) {
            ::CloseHandle(timer_);
        }
        // winmm stays loaded: a module is never freed while the process may end.
    }

    uint64_t NowMicroseconds() override {
        LARGE_INTEGER now{};
        ::QueryPerformanceCounter(&now);
        const auto ticks = static_cast<uint64_t>(now.QuadPart);
        return ticks / frequency_ * 1000000 + ticks % frequency_ * 1000000 / frequency_;
    }

    bool WaitPrecisely(uint32_t microseconds) override {
        if (!tryTimer_) {
            return false;
        }
        if (timer_ == nullptr) {
            auto create = Function<CreateTimerExW>(::GetModuleHandleW(L"kernel32.dll"),
                                                   "CreateWaitableTimerExW");
            timer_ = create != nullptr
                         ? create(nullptr, nullptr, kHighResolutionTimer, kTimerAllAccess)
                         : nullptr;
            if (timer_ == nullptr) {
                tryTimer_ = false;
                return false;
            }
        }
        LARGE_INTEGER due{};
        due.QuadPart = -static_cast<LONGLONG>(microseconds) * 10; // relative, 100 ns units
        if (!::SetWaitableTimer(timer_, &due, 0, nullptr, nullptr, FALSE) ||
            ::WaitForSingleObject(timer_, INFINITE) != WAIT_OBJECT_0) {
            tryTimer_ = false; // the loop goes on with Sleep
            return false;
        }
        return true;
    }

    bool RaiseTimerResolution() override {
        if (!winmmTried_) {
            winmmTried_ = true;
            HMODULE winmm = ::LoadLibraryA("winmm.dll");
            begin_ = Function<TimePeriod>(winmm, "timeBeginPeriod");
            end_ = Function<TimePeriod>(winmm, "timeEndPeriod");
            if (begin_ == nullptr || end_ == nullptr) {
                begin_ = end_ = nullptr;
            }
        }
        return begin_ != nullptr && begin_(kOneMillisecond) == 0; // TIMERR_NOERROR
    }

    void RestoreTimerResolution() override {
        if (end_ != nullptr) {
            end_(kOneMillisecond);
        }
    }

    void SleepMilliseconds(uint32_t milliseconds) override { ::Sleep(milliseconds); }

private:
    uint64_t frequency_ = 1;
    bool tryTimer_;
    HANDLE timer_ = nullptr;
    bool winmmTried_ = false;
    TimePeriod begin_ = nullptr;
    TimePeriod end_ = nullptr;
};

class Win32Sleeper final : public Sleeper {
public:
    void Sleep(uint32_t milliseconds) override { pauses_.Pause(milliseconds); }
    void BeginOperation() override { pauses_.BeginOperation(); }
    void EndOperation() override { pauses_.EndOperation(); }

private:
    std::unique_ptr<PauseSystem> system_ = NewWin32PauseSystem();
    ExactPauses pauses_{*system_};
};

} // namespace

std::unique_ptr<PauseSystem> NewWin32PauseSystem(bool highResolutionTimer) {
    return std::make_unique<Win32PauseSystem>(highResolutionTimer);
}

Sleeper& SystemSleeper() {
    static Win32Sleeper sleeper;
    return sleeper;
}

} // namespace pixlor::system
