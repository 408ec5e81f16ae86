// The fuzz targets' invariant check: a broken invariant aborts, so libFuzzer
// reports it as a crash and keeps the input.
#pragma once

#include <cstdio>
#include <cstdlib>

namespace pixlor::fuzz {

[[noreturn]] inline void Violation(const char* what, int line) {
    std::fprintf(stderr, "invariant violated (line %d): %s\n", line, what);
    std::abort();
}

} // namespace pixlor::fuzz

#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            ::pixlor::fuzz::Violation(#condition, __LINE__);                                       \
        }                                                                                          \
    } while (0)
