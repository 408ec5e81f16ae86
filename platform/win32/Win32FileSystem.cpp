// Files and folders through the ANSI Win32 calls, one call per operation. The
// error code is taken right at the failure so later calls cannot change it.
#include <windows.h>

#include "platform/SystemBackends.h"
#include "platform/SystemError.h"

namespace pixlor::system {
namespace {

FILETIME ToWin32(const FileTime& time) {
    FILETIME out;
    out.dwLowDateTime = time.low;
    out.dwHighDateTime = time.high;
    return out;
}

FindEntry FromWin32(const WIN32_FIND_DATAA& data) {
    FindEntry entry;
    entry.name = data.cFileName;
    entry.attributes = data.dwFileAttributes;
    entry.size = (uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
    return entry;
}

class Win32File final : public WritableFile {
public:
    Win32File(HANDLE handle, uint32_t& lastError) : handle_(handle), lastError_(lastError) {}
    ~Win32File() override {
        if (handle_ != INVALID_HANDLE_VALUE) {
            CloseHandle(handle_);
        }
    }
    Win32File(const Win32File&) = delete;
    Win32File& operator=(const Win32File&) = delete;

    bool Write(const void* data, uint32_t count, uint32_t& written) override {
        DWORD done = 0;
        const BOOL ok = WriteFile(handle_, data, count, &done, nullptr);
        written = done;
        return ok ? true : Fail();
    }

    bool SetTimes(const FileTime& creation, const FileTime& lastAccess,
                  const FileTime& lastWrite) override {
        const FILETIME c = ToWin32(creation), a = ToWin32(lastAccess), w = ToWin32(lastWrite);
        return SetFileTime(handle_, &c, &a, &w) ? true : Fail();
    }

    bool Close() override {
        const HANDLE handle = handle_;
        handle_ = INVALID_HANDLE_VALUE;
        return CloseHandle(handle) ? true : Fail();
    }

private:
    bool Fail() {
        lastError_ = GetLastError();
        return false;
    }

    HANDLE handle_;
    uint32_t& lastError_;
};

class Win32Search final : public FindHandle {
public:
    Win32Search(HANDLE handle, uint32_t& lastError) : handle_(handle), lastError_(lastError) {}
    ~Win32Search() override { FindClose(handle_); }
    Win32Search(const Win32Search&) = delete;
    Win32Search& operator=(const Win32Search&) = delete;

    bool Next(FindEntry& entry) override {
        WIN32_FIND_DATAA data;
        if (!FindNextFileA(handle_, &data)) {
            lastError_ = GetLastError();
            return false;
        }
        entry = FromWin32(data);
        return true;
    }

private:
    HANDLE handle_;
    uint32_t& lastError_;
};

class Win32Files final : public FileSystem {
public:
    std::unique_ptr<WritableFile> CreateNew(const char* path) override {
        const HANDLE handle = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                          FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            lastError_ = GetLastError();
            return nullptr;
        }
        return std::make_unique<Win32File>(handle, lastError_);
    }

    bool MakeDirectory(const char* path) override {
        if (!CreateDirectoryA(path, nullptr)) {
            lastError_ = GetLastError();
            return false;
        }
        return true;
    }

    bool RemoveEmptyDirectory(const char* path) override {
        if (!RemoveDirectoryA(path)) {
            lastError_ = GetLastError();
            return false;
        }
        return true;
    }

    bool RemoveFile(const char* path) override {
        if (!DeleteFileA(path)) {
            lastError_ = GetLastError();
            return false;
        }
        return true;
    }

    std::unique_ptr<FindHandle> FindFirst(const char* pattern, FindEntry& first) override {
        WIN32_FIND_DATAA data;
        const HANDLE handle = FindFirstFileA(pattern, &data);
        if (handle == INVALID_HANDLE_VALUE) {
            lastError_ = GetLastError();
            return nullptr;
        }
        first = FromWin32(data);
        return std::make_unique<Win32Search>(handle, lastError_);
    }

    uint32_t LastError() const override { return lastError_; }
    void NoteFailure(uint32_t error) override {
        lastError_ = error;
        SetLastError(error);
    }

private:
    uint32_t lastError_ = syserr::kSuccess;
};

} // namespace

FileSystem& Files() {
    static Win32Files files;
    return files;
}

} // namespace pixlor::system
