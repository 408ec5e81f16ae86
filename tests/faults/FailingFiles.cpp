#include "faults/FailingFiles.h"

namespace pixlor::faults {
namespace {

class FailingFile final : public WritableFile {
public:
    FailingFile(FailingFileSystem& files, std::unique_ptr<WritableFile> inner)
        : files_(files), inner_(std::move(inner)) {}

    bool Write(const void* data, uint32_t count, uint32_t& written) override {
        written = 0;
        return files_.Pass(FaultKind::FileWrite,
                           [&] { return inner_->Write(data, count, written); });
    }
    bool SetTimes(const FileTime& creation, const FileTime& lastAccess,
                  const FileTime& lastWrite) override {
        return files_.Pass(FaultKind::FileSetTimes,
                           [&] { return inner_->SetTimes(creation, lastAccess, lastWrite); });
    }
    bool Close() override {
        const uint32_t error = files_.Plan().Decide(FaultKind::FileClose);
        const bool closed = inner_->Close();
        if (error != 0) {
            files_.Note(error);
            return false;
        }
        return closed;
    }

private:
    FailingFileSystem& files_;
    std::unique_ptr<WritableFile> inner_;
};

class FailingSearch final : public FindHandle {
public:
    FailingSearch(FailingFileSystem& files, std::unique_ptr<FindHandle> inner)
        : files_(files), inner_(std::move(inner)) {}
    bool Next(FindEntry& entry) override {
        return files_.Pass(FaultKind::FolderNext, [&] { return inner_->Next(entry); });
    }

private:
    FailingFileSystem& files_;
    std::unique_ptr<FindHandle> inner_;
};

} // namespace

std::unique_ptr<WritableFile> FailingFileSystem::CreateNew(const char* path) {
    std::unique_ptr<WritableFile> file;
    if (!Pass(FaultKind::FileCreate, [&] { return (file = inner_.CreateNew(path)) != nullptr; })) {
        return nullptr;
    }
    return std::make_unique<FailingFile>(*this, std::move(file));
}

std::unique_ptr<FindHandle> FailingFileSystem::FindFirst(const char* pattern, FindEntry& first) {
    std::unique_ptr<FindHandle> search;
    if (!Pass(FaultKind::FolderList,
              [&] { return (search = inner_.FindFirst(pattern, first)) != nullptr; })) {
        return nullptr;
    }
    return std::make_unique<FailingSearch>(*this, std::move(search));
}

} // namespace pixlor::faults
