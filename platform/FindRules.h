// How a folder search matches and orders names, as the Windows calls do under
// Wine: '*' and '?' masks compared without regard to case, and entries sorted
// case-insensitively. Shared by the POSIX backend and the test file system so
// that both list a folder exactly alike.
#pragma once

#include <string_view>

#include "platform/FileSystem.h"

namespace pixlor {

// '*' and '?' as FindFirstFileA knows them; "*.*" takes names without a dot too.
bool MatchesFindMask(std::string_view name, std::string_view mask);

// The listing order: case-insensitive, ties broken by length, then by bytes.
bool ListedBefore(const FindEntry& a, const FindEntry& b);

} // namespace pixlor
