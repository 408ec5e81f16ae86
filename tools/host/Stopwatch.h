// The script's `stopwatch`: armed by the script, it times the next call into
// the plugin (OpenPlugin, ProcessKey or GetFiles) and notes when the progress
// boxes that call showed came, counted from the call's start. The times are
// handed in, so that the figures can be tested without waiting.
#pragma once

#include <chrono>
#include <string>

namespace pixlor::host {

class Stopwatch {
public:
    using Clock = std::chrono::steady_clock;

    // Times the next call (forgetting any earlier figures).
    void Arm();
    bool Armed() const { return armed_; }
    // The timed call starts (when armed).
    void Start(Clock::time_point now);
    // A progress box was shown at `at`.
    void Note(Clock::time_point at);
    // The timed call returned: the line to print, or "" when nothing was timed.
    std::string Stop(const std::string& call, Clock::time_point now);

private:
    bool armed_ = false;
    bool running_ = false;
    Clock::time_point start_;
    int notes_ = 0;
    double firstNote_ = 0;
    double lastNote_ = 0;
};

} // namespace pixlor::host
