// Records every pause in order instead of sleeping.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/Sleeper.h"

namespace pixlor::fakes {

class FakeSleeper final : public Sleeper {
public:
    void Sleep(uint32_t milliseconds) override { pauses.push_back(milliseconds); }
    uint64_t Total() const {
        uint64_t sum = 0;
        for (uint32_t p : pauses) {
            sum += p;
        }
        return sum;
    }
    std::vector<uint32_t> pauses;
};

} // namespace pixlor::fakes
