#include "tools/host/Stopwatch.h"

#include <cstdio>

namespace pixlor::host {

void Stopwatch::Arm() {
    *this = Stopwatch{};
    armed_ = true;
}

void Stopwatch::Start(Clock::time_point now) {
    if (armed_) {
        armed_ = false;
        running_ = true;
        start_ = now;
    }
}

void Stopwatch::Note(Clock::time_point at) {
    if (!running_) {
        return;
    }
    const double seconds = std::chrono::duration<double>(at - start_).count();
    firstNote_ = notes_++ == 0 ? seconds : firstNote_;
    lastNote_ = seconds;
}

std::string Stopwatch::Stop(const std::string& call, Clock::time_point now) {
    if (!running_) {
        return "";
    }
    running_ = false;
    const double seconds = std::chrono::duration<double>(now - start_).count();
    char text[160];
    if (notes_ == 0) {
        std::snprintf(text, sizeof text, "stopwatch: %s %.6f s, no progress box", call.c_str(),
                      seconds);
    } else {
        std::snprintf(text, sizeof text,
                      "stopwatch: %s %.6f s, %d progress boxes from %.6f s to %.6f s", call.c_str(),
                      seconds, notes_, firstNote_, lastNote_);
    }
    return text;
}

} // namespace pixlor::host
