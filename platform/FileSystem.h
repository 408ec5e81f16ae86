// Local files and folders as the transfers need them. Paths use the Windows
// separator '\'; the POSIX backend maps it to '/'. Failures leave the system's
// error code (Windows coding) for the "Errors" report in LastError().
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/FileTime.h"

namespace pixlor {

// A file opened for writing by CreateNew. Destruction closes it.
class WritableFile {
public:
    virtual ~WritableFile() = default;
    // WriteFile; `written` receives the bytes written.
    virtual bool Write(const void* data, uint32_t count, uint32_t& written) = 0;
    // SetFileTime with the same value for creation, last access and last write.
    virtual bool SetTimes(const FileTime& creation, const FileTime& lastAccess,
                          const FileTime& lastWrite) = 0;
    // CloseHandle.
    virtual bool Close() = 0;
};

// One entry of a folder listing (WIN32_FIND_DATA, reduced to what is used).
struct FindEntry {
    std::string name;
    uint32_t attributes = 0; // 0x10 directory, 0x20 archive
    uint64_t size = 0;
};

// An open search (FindFirstFileA's handle). Destruction is FindClose.
class FindHandle {
public:
    virtual ~FindHandle() = default;
    // FindNextFileA; false at the end (LastError kNoMoreFiles) or on an error.
    virtual bool Next(FindEntry& entry) = 0;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;
    // CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr):
    // never opens an existing file. Null on failure.
    virtual std::unique_ptr<WritableFile> CreateNew(const char* path) = 0;
    // CreateDirectoryA, one level (named so that <windows.h> macros leave it alone).
    virtual bool MakeDirectory(const char* path) = 0;
    // DeleteFileA: removes a file (named so that <windows.h> macros leave it alone).
    virtual bool RemoveFile(const char* path) = 0;
    // RemoveDirectoryA: removes an empty folder only (named apart from the macro).
    virtual bool RemoveEmptyDirectory(const char* path) = 0;
    // FindFirstFileA(pattern): `pattern` is a folder path followed by "*.*"; "." and ".."
    // are listed first. Null on failure (LastError tells why).
    virtual std::unique_ptr<FindHandle> FindFirst(const char* pattern, FindEntry& first) = 0;
    // GetLastError after the last failed call of this file system or its files.
    virtual uint32_t LastError() const = 0;
    // A failure decided before any call (SetLastError): LastError() reports
    // `error` until the next failure.
    virtual void NoteFailure(uint32_t error) = 0;
};

} // namespace pixlor
