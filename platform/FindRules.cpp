#include "platform/FindRules.h"

#include <algorithm>

namespace pixlor {
namespace {

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

bool MatchesFindMask(std::string_view name, std::string_view mask) {
    if (mask == "*.*" || mask == "*") {
        return true;
    }
    size_t n = 0, m = 0, starMask = std::string_view::npos, starName = 0;
    while (n < name.size()) {
        if (m < mask.size() && (mask[m] == '?' || Lower(mask[m]) == Lower(name[n]))) {
            ++n;
            ++m;
        } else if (m < mask.size() && mask[m] == '*') {
            starMask = m++;
            starName = n;
        } else if (starMask != std::string_view::npos) {
            m = starMask + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == '*') {
        ++m;
    }
    return m == mask.size();
}

bool ListedBefore(const FindEntry& a, const FindEntry& b) {
    const size_t common = std::min(a.name.size(), b.name.size());
    for (size_t i = 0; i < common; ++i) {
        const auto ca = static_cast<unsigned char>(Lower(a.name[i]));
        const auto cb = static_cast<unsigned char>(Lower(b.name[i]));
        if (ca != cb) {
            return ca < cb;
        }
    }
    return a.name.size() != b.name.size() ? a.name.size() < b.name.size() : a.name < b.name;
}

} // namespace pixlor
