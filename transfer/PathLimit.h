// The longest path the system takes, and how a longer one is refused: before
// any system call, with the system error that names the cause.
#pragma once

#include <cstddef>

#include "platform/Platform.h"
#include "platform/SystemError.h"

namespace pixlor {

// MAX_PATH, the terminator included.
inline constexpr std::size_t kMaxPathBuffer = 260;

// The report's system error then says "the file name or extension is too
// long" (206), not a code left over from an earlier call.
inline void NotePathTooLong() {
    if (FileSystem* files = CurrentPlatform().files; files != nullptr) {
        files->NoteFailure(syserr::kFilenameTooLong);
    }
}

} // namespace pixlor
