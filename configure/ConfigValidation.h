// The checks the configuration dialog runs before it stores: the four
// templates, the two digit counts against the length of their prefixes, and
// the folder templates made only of spaces.
#pragma once

#include <cstdint>
#include <optional>

#include "configure/ConfigItems.h"
#include "host/Messages.h"

namespace pixlor {

// The first refused value: the code for the report (a template failure code,
// or 1) and the record that names the field.
struct ConfigRefusal {
    int32_t code = 0;
    ErrorRecord record;
};

// None when every value may be stored.
std::optional<ConfigRefusal> ValidateConfig(const ConfigValues& values);

} // namespace pixlor
