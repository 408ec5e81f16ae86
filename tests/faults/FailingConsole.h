// The console seam with failures on plan (a console handle that went away).
#pragma once

#include "faults/FaultPlan.h"
#include "platform/Console.h"

namespace pixlor::faults {

class FailingConsole final : public Console {
public:
    FailingConsole(FaultPlan& plan, Console& inner) : plan_(plan), inner_(inner) {}

    // A wait that fails takes nothing in.
    void TakeInTyped() override {
        if (plan_.Decide(FaultKind::ConsoleWait) == 0) {
            inner_.TakeInTyped();
        }
    }
    bool PendingEvents(uint32_t& count) override {
        count = 0;
        return Pass(FaultKind::ConsolePending, [&] { return inner_.PendingEvents(count); });
    }
    bool ReadEvent(ConsoleEvent& event, uint32_t& read) override {
        read = 0;
        return Pass(FaultKind::ConsoleRead, [&] { return inner_.ReadEvent(event, read); });
    }

private:
    template <class Call> bool Pass(FaultKind kind, Call&& call) {
        return plan_.Decide(kind) == 0 && call();
    }

    FaultPlan& plan_;
    Console& inner_;
};

} // namespace pixlor::faults
