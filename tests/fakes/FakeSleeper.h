// Records every pause in order instead of sleeping, and the operations begun
// and ended around them.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/Sleeper.h"

namespace pixlor::fakes {

class FakeSleeper final : public Sleeper {
public:
    void Sleep(uint32_t milliseconds) override {
        pauses.push_back(milliseconds);
        pausesOutside += operations == 0 ? 1 : 0;
    }
    void BeginOperation() override {
        ++operations;
        ++begun;
    }
    void EndOperation() override { --operations; }
    uint64_t Total() const {
        uint64_t sum = 0;
        for (uint32_t p : pauses) {
            sum += p;
        }
        return sum;
    }
    std::vector<uint32_t> pauses;
    int operations = 0;         // begun and not ended
    int begun = 0;              // operations begun so far
    uint32_t pausesOutside = 0; // pauses while no operation ran
};

} // namespace pixlor::fakes
