// The file seam with failures on plan, files and searches wrapped too. The
// wrapper keeps the error of the last failure seen through it, its own or the
// wrapped system's, as GetLastError would. A failed Close still closes the
// wrapped file (CloseHandle releases the handle even when it reports a lost
// delayed write).
#pragma once

#include <memory>

#include "faults/FaultPlan.h"
#include "platform/FileSystem.h"

namespace pixlor::faults {

class FailingFileSystem final : public FileSystem {
public:
    FailingFileSystem(FaultPlan& plan, FileSystem& inner) : plan_(plan), inner_(inner) {}

    std::unique_ptr<WritableFile> CreateNew(const char* path) override;
    bool MakeDirectory(const char* path) override {
        return Pass(FaultKind::FolderCreate, [&] { return inner_.MakeDirectory(path); });
    }
    bool RemoveFile(const char* path) override {
        return Pass(FaultKind::FileRemove, [&] { return inner_.RemoveFile(path); });
    }
    bool RemoveEmptyDirectory(const char* path) override {
        return Pass(FaultKind::FolderRemove, [&] { return inner_.RemoveEmptyDirectory(path); });
    }
    std::unique_ptr<FindHandle> FindFirst(const char* pattern, FindEntry& first) override;
    uint32_t LastError() const override { return lastError_; }
    void NoteFailure(uint32_t error) override {
        inner_.NoteFailure(error);
        lastError_ = error;
    }

    // Used by the wrapped files and searches.
    template <class Call> bool Pass(FaultKind kind, Call&& call) {
        if (const uint32_t error = plan_.Decide(kind); error != 0) {
            lastError_ = error;
            return false;
        }
        const bool ok = call();
        if (!ok) {
            lastError_ = inner_.LastError();
        }
        return ok;
    }
    FaultPlan& Plan() { return plan_; }
    void Note(uint32_t error) { lastError_ = error; }

private:
    FaultPlan& plan_;
    FileSystem& inner_;
    uint32_t lastError_ = 0;
};

} // namespace pixlor::faults
