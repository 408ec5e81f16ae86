// The host's own comparison of names, for the listing, the folders and the
// numbering.
#pragma once

#include "transfer/NameRules.h"

namespace pixlor {

// Ignoring case by the host's code page; before the host has handed over its
// functions, exact.
const NameRules& HostNameRules();

} // namespace pixlor
