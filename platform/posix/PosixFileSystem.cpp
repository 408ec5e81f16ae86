// Placeholder until the POSIX file backend lands: every call fails.
#include "platform/SystemBackends.h"
#include "platform/SystemError.h"

namespace pixlor::system {
namespace {

class UnavailableFiles final : public FileSystem {
public:
    std::unique_ptr<WritableFile> CreateNew(const char*) override { return nullptr; }
    bool MakeDirectory(const char*) override { return false; }
    std::unique_ptr<FindHandle> FindFirst(const char*, FindEntry&) override { return nullptr; }
    uint32_t LastError() const override { return syserr::kInvalidFunction; }
};

} // namespace

FileSystem& Files() {
    static UnavailableFiles files;
    return files;
}

} // namespace pixlor::system
