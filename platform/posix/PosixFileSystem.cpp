// Files and folders on POSIX with Windows behaviour where the core can see it:
// CreateNew never opens an existing file, listings give "." and ".." first and
// then the entries sorted case-insensitively, and failures carry Windows codes.
//
// Paths arrive with '\' separators and are used with '/' instead. A leading
// drive such as "D:" is not special here: "D:\Photos\" is the relative folder
// "D:/Photos/". Names are matched as the file system does (case-sensitively on
// most POSIX systems); the core compares listed names itself.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FindRules.h"
#include "platform/SystemBackends.h"
#include "platform/SystemError.h"
#include "platform/posix/WindowsErrors.h"

namespace pixlor::system {
namespace {

constexpr uint32_t kAttributeDirectory = 0x10;
constexpr uint32_t kAttributeArchive = 0x20;
// FILETIME ticks (100 ns from 1601) at 1970-01-01.
constexpr uint64_t kUnixEpochTicks = 116444736000000000u;

std::string NativePath(const char* path) {
    std::string out(path == nullptr ? "" : path);
    std::replace(out.begin(), out.end(), '\\', '/');
    return out;
}

// A FILETIME as utimensat wants it: 0 (and all ones) leave the time alone, as
// SetFileTime does; values beyond the signed range are invalid there too.
bool ToTimespec(const FileTime& time, timespec& out) {
    const uint64_t ticks = time.Ticks();
    if (ticks == 0 || ticks == std::numeric_limits<uint64_t>::max()) {
        out = timespec{0, UTIME_OMIT};
        return true;
    }
    if (ticks > static_cast<uint64_t>(std::numeric_limits<int64_t>::max())) {
        return false;
    }
    const int64_t sinceEpoch = static_cast<int64_t>(ticks) - static_cast<int64_t>(kUnixEpochTicks);
    int64_t seconds = sinceEpoch / 10000000;
    int64_t rest = sinceEpoch % 10000000;
    if (rest < 0) {
        rest += 10000000;
        --seconds;
    }
    out.tv_sec = static_cast<time_t>(seconds);
    out.tv_nsec = static_cast<long>(rest * 100);
    return true;
}

class PosixFile final : public WritableFile {
public:
    PosixFile(int fd, uint32_t& lastError) : fd_(fd), lastError_(lastError) {}
    ~PosixFile() override {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    PosixFile(const PosixFile&) = delete;
    PosixFile& operator=(const PosixFile&) = delete;

    bool Write(const void* data, uint32_t count, uint32_t& written) override {
        written = 0;
        if (fd_ < 0) {
            return Fail(syserr::kInvalidHandle);
        }
        const auto* bytes = static_cast<const char*>(data);
        while (written < count) {
            const ssize_t n = ::write(fd_, bytes + written, count - written);
            if (n < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return Fail(WindowsError(errno, ErrnoSource::File));
            }
            if (n == 0) {
                return Fail(syserr::kDiskFull);
            }
            written += static_cast<uint32_t>(n);
        }
        return true;
    }

    // The creation time has no POSIX counterpart and is dropped.
    bool SetTimes(const FileTime&, const FileTime& lastAccess, const FileTime& lastWrite) override {
        if (fd_ < 0) {
            return Fail(syserr::kInvalidHandle);
        }
        timespec times[2];
        if (!ToTimespec(lastAccess, times[0]) || !ToTimespec(lastWrite, times[1])) {
            return Fail(syserr::kInvalidParameter);
        }
        if (::futimens(fd_, times) != 0) {
            return Fail(WindowsError(errno, ErrnoSource::File));
        }
        return true;
    }

    bool Close() override {
        if (fd_ < 0) {
            return Fail(syserr::kInvalidHandle);
        }
        const int fd = fd_;
        fd_ = -1;
        // Linux releases the descriptor even when close reports EINTR.
        if (::close(fd) != 0 && errno != EINTR) {
            return Fail(WindowsError(errno, ErrnoSource::File));
        }
        return true;
    }

private:
    bool Fail(uint32_t error) {
        lastError_ = error;
        return false;
    }

    int fd_;
    uint32_t& lastError_;
};

// Lists a snapshot of the folder taken when the search began.
class PosixSearch final : public FindHandle {
public:
    PosixSearch(std::vector<FindEntry> entries, uint32_t& lastError)
        : entries_(std::move(entries)), lastError_(lastError) {}

    bool Next(FindEntry& entry) override {
        if (next_ >= entries_.size()) {
            lastError_ = syserr::kNoMoreFiles;
            return false;
        }
        entry = entries_[next_++];
        return true;
    }

private:
    std::vector<FindEntry> entries_;
    size_t next_ = 1; // the first entry went to FindFirst
    uint32_t& lastError_;
};

class PosixFiles final : public FileSystem {
public:
    std::unique_ptr<WritableFile> CreateNew(const char* path) override {
        const std::string native = NativePath(path);
        const int fd = ::open(native.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            lastError_ = WindowsError(errno, ErrnoSource::File);
            return nullptr;
        }
        return std::make_unique<PosixFile>(fd, lastError_);
    }

    bool MakeDirectory(const char* path) override {
        const std::string native = NativePath(path);
        if (::mkdir(native.c_str(), 0777) != 0) {
            lastError_ = WindowsError(errno, ErrnoSource::Folder);
            return false;
        }
        return true;
    }

    bool RemoveEmptyDirectory(const char* path) override {
        const std::string native = NativePath(path);
        if (::rmdir(native.c_str()) != 0) {
            lastError_ = WindowsError(errno, ErrnoSource::Folder);
            return false;
        }
        return true;
    }

    bool RemoveFile(const char* path) override {
        const std::string native = NativePath(path);
        if (::unlink(native.c_str()) != 0) {
            // As DeleteFileA: a missing file in a folder that exists is "file not found".
            const int error = errno;
            const size_t cut = native.rfind('/');
            struct stat parent {};
            const bool folderThere =
                cut == std::string::npos ||
                (::stat(native.substr(0, cut == 0 ? 1 : cut).c_str(), &parent) == 0 &&
                 S_ISDIR(parent.st_mode));
            lastError_ = error == ENOENT && folderThere ? syserr::kFileNotFound
                                                        : WindowsError(error, ErrnoSource::File);
            return false;
        }
        return true;
    }

    std::unique_ptr<FindHandle> FindFirst(const char* pattern, FindEntry& first) override {
        const std::string native = NativePath(pattern);
        const size_t cut = native.rfind('/');
        const std::string mask = cut == std::string::npos ? native : native.substr(cut + 1);
        std::string folder = cut == std::string::npos ? "." : native.substr(0, cut);
        if (folder.empty()) {
            folder = "/";
        }
        std::vector<FindEntry> entries;
        if (!ReadFolder(folder, entries)) {
            return nullptr;
        }
        std::sort(entries.begin(), entries.end(), ListedBefore);
        entries.insert(entries.begin(), {FindEntry{".", kAttributeDirectory, 0},
                                         FindEntry{"..", kAttributeDirectory, 0}});
        std::erase_if(entries, [&](const FindEntry& e) { return !MatchesFindMask(e.name, mask); });
        if (entries.empty()) {
            lastError_ = syserr::kFileNotFound;
            return nullptr;
        }
        first = entries.front();
        return std::make_unique<PosixSearch>(std::move(entries), lastError_);
    }

    uint32_t LastError() const override { return lastError_; }
    void NoteFailure(uint32_t error) override { lastError_ = error; }

private:
    // The folder's entries other than "." and "..", with their attributes and sizes.
    bool ReadFolder(const std::string& folder, std::vector<FindEntry>& entries) {
        DIR* dir = ::opendir(folder.c_str());
        if (dir == nullptr) {
            lastError_ = WindowsError(errno, ErrnoSource::Folder);
            return false;
        }
        const int dirFd = ::dirfd(dir);
        bool ok = true;
        for (;;) {
            errno = 0;
            const dirent* item = ::readdir(dir);
            if (item == nullptr) {
                if (errno != 0) {
                    lastError_ = WindowsError(errno, ErrnoSource::Folder);
                    ok = false;
                }
                break;
            }
            const std::string_view name(item->d_name);
            if (name == "." || name == "..") {
                continue;
            }
            FindEntry entry{std::string(name), kAttributeArchive, 0};
            struct stat info {};
            if (::fstatat(dirFd, item->d_name, &info, 0) == 0 ||
                ::fstatat(dirFd, item->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0) {
                if (S_ISDIR(info.st_mode)) {
                    entry.attributes = kAttributeDirectory;
                } else {
                    entry.size = static_cast<uint64_t>(info.st_size);
                }
            }
            entries.push_back(std::move(entry));
        }
        ::closedir(dir);
        return ok;
    }

    uint32_t lastError_ = 0;
};

} // namespace

FileSystem& Files() {
    static PosixFiles files;
    return files;
}

} // namespace pixlor::system
