// How the host's file system compares names: ignoring case, by rules only
// the host knows in full (its code page decides outside ASCII). The listing,
// the folders and the numbering receive them; the plugin hands over the
// host's own comparison, tests one of the same semantics.
#pragma once

namespace pixlor {

class NameRules {
public:
    virtual ~NameRules() = default;
    // Whether `a` and `b` name the same file or folder.
    virtual bool Same(const char* a, const char* b) const = 0;
    // Whether `name` begins with `prefix`, compared as Same compares.
    virtual bool StartsWith(const char* name, const char* prefix) const = 0;
};

} // namespace pixlor
