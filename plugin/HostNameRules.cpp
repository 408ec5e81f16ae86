#include "plugin/HostNameRules.h"

#include <cstring>

#include "host/Host.h"

namespace pixlor {
namespace {

class HostRules final : public NameRules {
public:
    bool Same(const char* a, const char* b) const override {
        return hostFunctions.LStricmp != nullptr ? hostFunctions.LStricmp(a, b) == 0
                                                 : std::strcmp(a, b) == 0;
    }
    bool StartsWith(const char* name, const char* prefix) const override {
        const auto length = std::strlen(prefix);
        return hostFunctions.LStrnicmp != nullptr
                   ? hostFunctions.LStrnicmp(name, prefix, static_cast<int>(length)) == 0
                   : std::strncmp(name, prefix, length) == 0;
    }
};

} // namespace

const NameRules& HostNameRules() {
    static const HostRules rules{};
    return rules;
}

} // namespace pixlor
