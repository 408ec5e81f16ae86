// Every call into the system that can fail, with the errors a real system
// gives for it (Windows coding). One line per kind: a new seam operation is
// one more line here and a one-line pass-through in its wrapper.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "platform/SystemError.h"

namespace pixlor::faults {

// Errors the wrappers fail with that the core has no name for.
inline constexpr uint32_t kOperationAborted = 995; // a line error with fAbortOnError set
inline constexpr uint32_t kSemTimeout = 121;       // a driver that gave up

// X(kind, label, first error, second error or 0). A registry key or value
// that is absent (2) is no failure but a state of its own, so the registry
// kinds fail as a registry that refuses access.
#define PIXLOR_FAULT_KINDS(X)                                                                      \
    X(SerialOpen, "serial open", syserr::kAccessDenied, syserr::kFileNotFound)                     \
    X(SerialGetLine, "serial line read", syserr::kGenFailure, 0)                                   \
    X(SerialSetLine, "serial line setting", syserr::kInvalidParameter, syserr::kGenFailure)        \
    X(SerialTimeouts, "serial time-outs", syserr::kInvalidParameter, 0)                            \
    X(SerialRead, "serial read", syserr::kGenFailure, kOperationAborted)                           \
    X(SerialWrite, "serial write", syserr::kGenFailure, kSemTimeout)                               \
    X(SerialPurge, "serial purge", syserr::kGenFailure, 0)                                         \
    X(SerialClearErrors, "serial error clearing", syserr::kGenFailure, 0)                          \
    X(SerialClose, "serial close", syserr::kInvalidHandle, 0)                                      \
    X(FileCreate, "file create", syserr::kAccessDenied, syserr::kDiskFull)                         \
    X(FileWrite, "file write", syserr::kDiskFull, syserr::kWriteFault)                             \
    X(FileSetTimes, "file set times", syserr::kAccessDenied, 0)                                    \
    X(FileClose, "file close", syserr::kDiskFull, 0)                                               \
    X(FileRemove, "file removal", syserr::kAccessDenied, syserr::kSharingViolation)                \
    X(FolderCreate, "folder create", syserr::kAccessDenied, syserr::kPathNotFound)                 \
    X(FolderRemove, "folder removal", syserr::kAccessDenied, syserr::kDirNotEmpty)                 \
    X(FolderList, "folder listing", syserr::kAccessDenied, syserr::kPathNotFound)                  \
    X(FolderNext, "folder listing, next entry", syserr::kGenFailure, 0)                            \
    X(RegistryCreate, "registry create", syserr::kAccessDenied, 0)                                 \
    X(RegistryOpen, "registry open", syserr::kAccessDenied, 0)                                     \
    X(RegistryRead, "registry read", syserr::kAccessDenied, 0)                                     \
    X(RegistryWrite, "registry write", syserr::kAccessDenied, 0)                                   \
    X(RegistryEnumerate, "registry enumerate", syserr::kAccessDenied, 0)                           \
    X(RegistryClose, "registry close", syserr::kInvalidHandle, 0)                                  \
    X(ConsoleWait, "console wait for input", syserr::kInvalidHandle, 0)                            \
    X(ConsolePending, "console input count", syserr::kInvalidHandle, 0)                            \
    X(ConsoleRead, "console input", syserr::kInvalidHandle, 0)

enum class FaultKind {
#define PIXLOR_FAULT_ENUM(kind, label, first, second) kind,
    PIXLOR_FAULT_KINDS(PIXLOR_FAULT_ENUM)
#undef PIXLOR_FAULT_ENUM
};

struct FaultKindInfo {
    FaultKind kind;
    const char* name;               // "SerialOpen"
    const char* label;              // "serial open"
    std::array<uint32_t, 2> errors; // the second 0 when there is only one
};

inline constexpr FaultKindInfo kFaultKinds[] = {
#define PIXLOR_FAULT_INFO(kind, label, first, second)                                              \
    {FaultKind::kind, #kind, label, {first, second}},
    PIXLOR_FAULT_KINDS(PIXLOR_FAULT_INFO)
#undef PIXLOR_FAULT_INFO
};
inline constexpr size_t kFaultKindCount = std::size(kFaultKinds);

inline const FaultKindInfo& InfoOf(FaultKind kind) {
    return kFaultKinds[static_cast<size_t>(kind)];
}

// The errors of a kind, without the unused second.
inline std::span<const uint32_t> ErrorsOf(FaultKind kind) {
    const FaultKindInfo& info = InfoOf(kind);
    return {info.errors.data(), info.errors[1] == 0 ? size_t{1} : size_t{2}};
}

} // namespace pixlor::faults
