// An in-memory file system that behaves as Windows does for the calls the
// transfers make: names match case-insensitively, CreateNew never opens an
// existing file, listings give "." and ".." first and then the entries sorted
// case-insensitively. Any call can be made to fail on its n-th use.
//
// Paths use '\' ('/' is accepted too). A path without a folder part, or a bare
// drive such as "D:", lies in the root, which always exists; a drive's own
// listing has no "." and "..", as on Windows.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileSystem.h"

namespace pixlor {

enum class FileOp {
    CreateNew,
    Write,
    SetTimes,
    Close,
    MakeDirectory,
    FindFirst,
    FindNext,
    RemoveFile,
    RemoveEmptyDirectory,
};

struct FakeFile {
    std::string path; // as it was created
    std::vector<uint8_t> bytes;
    FileTime creation;
    FileTime lastAccess;
    FileTime lastWrite;
    bool timesSet = false;
    bool open = false;    // a WritableFile still holds it
    bool removed = false; // RemoveFile took it away
};

class FakeFileSystem final : public FileSystem {
public:
    FakeFileSystem() = default;
    FakeFileSystem(const FakeFileSystem&) = delete;
    FakeFileSystem& operator=(const FakeFileSystem&) = delete;

    // FileSystem.
    std::unique_ptr<WritableFile> CreateNew(const char* path) override;
    bool MakeDirectory(const char* path) override;
    bool RemoveFile(const char* path) override;
    bool RemoveEmptyDirectory(const char* path) override;
    std::unique_ptr<FindHandle> FindFirst(const char* pattern, FindEntry& first) override;
    uint32_t LastError() const override { return lastError_; }
    void NoteFailure(uint32_t error) override { lastError_ = error; }

    // Set-up: a folder with all its parents; a closed file (its folders are made too).
    void AddFolder(std::string_view path);
    void AddFile(std::string_view path, std::vector<uint8_t> bytes = {});
    void AddFile(std::string_view path, std::string_view text);

    // Faults. The `nth` call of `op` (counted from 1 over the fake's life) fails with
    // `error`; `persistent` makes every later call fail the same way. For FindNext the
    // failing call ends the search with `error` instead of 18.
    void FailCall(FileOp op, uint32_t nth, uint32_t error, bool persistent = false);
    // The `nth` write stores `partialBytes` of its data (reported as written) and then
    // fails, by default as a full disk. Later failing writes of a persistent fault store
    // nothing.
    void FailWrite(uint32_t nth, uint32_t error = 112, bool persistent = false,
                   uint32_t partialBytes = 0);
    // Forgets all faults (the call counts go on).
    void ClearFaults() { faults_.clear(); }

    // Inspection.
    const FakeFile* File(std::string_view path) const; // null when there is none
    bool HasFile(std::string_view path) const { return File(path) != nullptr; }
    bool HasFolder(std::string_view path) const;
    std::string Text(std::string_view path) const; // the file's bytes, "" when absent
    std::vector<std::string> FilePaths() const;    // in creation order, the removed left out
    std::vector<std::string> FolderPaths() const;  // in creation order
    std::vector<std::string> RemovedPaths() const { return removed_; } // in removal order
    uint32_t Calls(FileOp op) const;
    uint32_t OpenFiles() const;

private:
    struct Fault {
        FileOp op;
        uint32_t nth;
        uint32_t error;
        bool persistent;
        uint32_t partialBytes;
    };
    struct Entry {
        bool folder = false;
        std::string path; // as given, '\' separators, no trailing '\'
        size_t file = 0;  // index into files_ when not a folder
    };
    class OpenFile;
    class Search;

    // Counts the call and returns the error of a fault that fires on it, else 0;
    // `first` tells whether this is the fault's first firing.
    uint32_t Count(FileOp op, bool* first = nullptr, uint32_t* partialBytes = nullptr);
    bool Fail(uint32_t error);
    const Entry* Lookup(std::string_view path) const;
    bool ParentExists(std::string_view path) const;
    void AddFolderEntry(const std::string& path);

    std::map<std::string, Entry> entries_; // by lower-case path
    std::vector<FakeFile> files_;
    std::vector<std::string> folders_;
    std::vector<std::string> removed_;
    std::vector<Fault> faults_;
    std::map<FileOp, uint32_t> calls_;
    uint32_t lastError_ = 0;
};

} // namespace pixlor
