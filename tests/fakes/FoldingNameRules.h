// Names compared as the test host compares them: letters folded by the C
// library's tolower, which is what the host's case-insensitive functions do
// for ASCII.
#pragma once

#include <cstring>

#include "tools/hostkit/StandardFunctions.h"
#include "transfer/NameRules.h"

namespace pixlor::fakes {

class FoldingNameRules final : public NameRules {
public:
    bool Same(const char* a, const char* b) const override {
        return hostkit::StdStricmp(a, b) == 0;
    }
    bool StartsWith(const char* name, const char* prefix) const override {
        return hostkit::StdStrnicmp(name, prefix, static_cast<int>(std::strlen(prefix))) == 0;
    }
};

} // namespace pixlor::fakes
