#include "fakes/FakeFileSystem.h"

#include <algorithm>

#include "platform/FindRules.h"
#include "platform/SystemError.h"

namespace pixlor {
namespace {

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string LowerCase(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), Lower);
    return out;
}

// '\' separators and no trailing separator.
std::string Normalise(std::string_view path) {
    std::string out(path);
    std::replace(out.begin(), out.end(), '/', '\\');
    while (!out.empty() && out.back() == '\\') {
        out.pop_back();
    }
    return out;
}

std::string ParentOf(std::string_view path) {
    const size_t cut = path.rfind('\\');
    return cut == std::string_view::npos ? std::string() : std::string(path.substr(0, cut));
}

std::string NameOf(std::string_view path) {
    const size_t cut = path.rfind('\\');
    return std::string(cut == std::string_view::npos ? path : path.substr(cut + 1));
}

// The root and bare drives always exist and cannot be made.
bool IsRoot(std::string_view path) {
    return path.empty() || (path.find('\\') == std::string_view::npos && path.back() == ':');
}

} // namespace

class FakeFileSystem::OpenFile final : public WritableFile {
public:
    OpenFile(FakeFileSystem& fs, size_t index) : fs_(fs), index_(index) {}
    ~OpenFile() override { fs_.files_[index_].open = false; }

    bool Write(const void* data, uint32_t count, uint32_t& written) override {
        written = 0;
        FakeFile& file = fs_.files_[index_];
        if (!file.open) {
            return fs_.Fail(syserr::kInvalidHandle);
        }
        bool first = false;
        uint32_t partial = 0;
        const auto* bytes = static_cast<const uint8_t*>(data);
        if (const uint32_t error = fs_.Count(FileOp::Write, &first, &partial)) {
            if (first) {
                written = std::min(partial, count);
                file.bytes.insert(file.bytes.end(), bytes, bytes + written);
            }
            return fs_.Fail(error);
        }
        if (count > 0) {
            file.bytes.insert(file.bytes.end(), bytes, bytes + count);
        }
        written = count;
        return true;
    }

    bool SetTimes(const FileTime& creation, const FileTime& lastAccess,
                  const FileTime& lastWrite) override {
        FakeFile& file = fs_.files_[index_];
        if (!file.open) {
            return fs_.Fail(syserr::kInvalidHandle);
        }
        if (const uint32_t error = fs_.Count(FileOp::SetTimes)) {
            return fs_.Fail(error);
        }
        file.creation = creation;
        file.lastAccess = lastAccess;
        file.lastWrite = lastWrite;
        file.timesSet = true;
        return true;
    }

    // A failed close leaves the file open; destruction closes it anyway.
    bool Close() override {
        FakeFile& file = fs_.files_[index_];
        if (!file.open) {
            return fs_.Fail(syserr::kInvalidHandle);
        }
        if (const uint32_t error = fs_.Count(FileOp::Close)) {
            return fs_.Fail(error);
        }
        file.open = false;
        return true;
    }

private:
    FakeFileSystem& fs_;
    size_t index_;
};

// Lists a snapshot taken when the search began.
class FakeFileSystem::Search final : public FindHandle {
public:
    Search(FakeFileSystem& fs, std::vector<FindEntry> entries)
        : fs_(fs), entries_(std::move(entries)) {}

    bool Next(FindEntry& entry) override {
        if (ended_) {
            return fs_.Fail(syserr::kNoMoreFiles);
        }
        if (const uint32_t error = fs_.Count(FileOp::FindNext)) {
            ended_ = true;
            return fs_.Fail(error);
        }
        if (next_ >= entries_.size()) {
            ended_ = true;
            return fs_.Fail(syserr::kNoMoreFiles);
        }
        entry = entries_[next_++];
        return true;
    }

private:
    FakeFileSystem& fs_;
    std::vector<FindEntry> entries_;
    size_t next_ = 1; // the first entry went to FindFirst
    bool ended_ = false;
};

std::unique_ptr<WritableFile> FakeFileSystem::CreateNew(const char* path) {
    if (const uint32_t error = Count(FileOp::CreateNew)) {
        Fail(error);
        return nullptr;
    }
    const std::string name = Normalise(path == nullptr ? "" : path);
    if (IsRoot(name) || !ParentExists(name)) {
        Fail(syserr::kPathNotFound);
        return nullptr;
    }
    if (Lookup(name) != nullptr) {
        Fail(syserr::kFileExists);
        return nullptr;
    }
    const size_t index = files_.size();
    FakeFile created;
    created.path = name;
    created.open = true;
    files_.push_back(std::move(created));
    entries_[LowerCase(name)] = Entry{false, name, index};
    return std::make_unique<OpenFile>(*this, index);
}

bool FakeFileSystem::MakeDirectory(const char* path) {
    if (const uint32_t error = Count(FileOp::MakeDirectory)) {
        return Fail(error);
    }
    const std::string name = Normalise(path == nullptr ? "" : path);
    if (IsRoot(name) || Lookup(name) != nullptr) {
        return Fail(syserr::kAlreadyExists);
    }
    if (!ParentExists(name)) {
        return Fail(syserr::kPathNotFound);
    }
    AddFolderEntry(name);
    return true;
}

bool FakeFileSystem::RemoveEmptyDirectory(const char* path) {
    if (const uint32_t error = Count(FileOp::RemoveEmptyDirectory)) {
        return Fail(error);
    }
    const std::string name = Normalise(path == nullptr ? "" : path);
    const Entry* entry = Lookup(name);
    if (IsRoot(name) || entry == nullptr || !entry->folder) {
        return Fail(entry == nullptr ? syserr::kFileNotFound : syserr::kAccessDenied);
    }
    const std::string key = LowerCase(name);
    for (const auto& [other, child] : entries_) {
        if (LowerCase(ParentOf(child.path)) == key) {
            return Fail(syserr::kDirNotEmpty);
        }
    }
    entries_.erase(key);
    std::erase_if(folders_, [&key](const std::string& f) { return LowerCase(f) == key; });
    return true;
}

// As on Windows, an open file cannot be removed (it was opened without sharing).
bool FakeFileSystem::RemoveFile(const char* path) {
    if (const uint32_t error = Count(FileOp::RemoveFile)) {
        return Fail(error);
    }
    const std::string name = Normalise(path == nullptr ? "" : path);
    const Entry* entry = Lookup(name);
    if (entry == nullptr) {
        return Fail(ParentExists(name) ? syserr::kFileNotFound : syserr::kPathNotFound);
    }
    if (entry->folder) {
        return Fail(syserr::kAccessDenied);
    }
    FakeFile& file = files_[entry->file];
    if (file.open) {
        return Fail(syserr::kSharingViolation);
    }
    file.removed = true;
    removed_.push_back(file.path);
    entries_.erase(LowerCase(name));
    return true;
}

std::unique_ptr<FindHandle> FakeFileSystem::FindFirst(const char* pattern, FindEntry& first) {
    if (const uint32_t error = Count(FileOp::FindFirst)) {
        Fail(error);
        return nullptr;
    }
    std::string text(pattern == nullptr ? "" : pattern);
    std::replace(text.begin(), text.end(), '/', '\\');
    const std::string folder = ParentOf(text);
    const std::string mask = NameOf(text);
    if (!IsRoot(folder)) {
        const Entry* entry = Lookup(folder);
        if (entry == nullptr || !entry->folder) {
            Fail(syserr::kPathNotFound);
            return nullptr;
        }
    }
    const std::string folderKey = LowerCase(Normalise(folder));
    std::vector<FindEntry> children;
    for (const auto& [key, entry] : entries_) {
        if (LowerCase(ParentOf(entry.path)) != folderKey) {
            continue;
        }
        children.push_back(FindEntry{NameOf(entry.path), entry.folder ? 0x10u : 0x20u,
                                     entry.folder ? 0 : files_[entry.file].bytes.size()});
    }
    std::sort(children.begin(), children.end(), ListedBefore);
    std::vector<FindEntry> listed;
    if (!IsRoot(folder)) {
        listed.push_back(FindEntry{".", 0x10, 0});
        listed.push_back(FindEntry{"..", 0x10, 0});
    }
    listed.insert(listed.end(), children.begin(), children.end());
    std::erase_if(listed, [&](const FindEntry& e) { return !MatchesFindMask(e.name, mask); });
    if (listed.empty()) {
        Fail(syserr::kFileNotFound);
        return nullptr;
    }
    first = listed.front();
    return std::make_unique<Search>(*this, std::move(listed));
}

void FakeFileSystem::AddFolder(std::string_view path) {
    const std::string name = Normalise(path);
    if (IsRoot(name) || Lookup(name) != nullptr) {
        return;
    }
    AddFolder(ParentOf(name));
    AddFolderEntry(name);
}

void FakeFileSystem::AddFile(std::string_view path, std::vector<uint8_t> bytes) {
    const std::string name = Normalise(path);
    AddFolder(ParentOf(name));
    if (const Entry* existing = Lookup(name); existing != nullptr && !existing->folder) {
        files_[existing->file].bytes = std::move(bytes);
        return;
    }
    const size_t index = files_.size();
    FakeFile added;
    added.path = name;
    added.bytes = std::move(bytes);
    files_.push_back(std::move(added));
    entries_[LowerCase(name)] = Entry{false, name, index};
}

void FakeFileSystem::AddFile(std::string_view path, std::string_view text) {
    AddFile(path, std::vector<uint8_t>(text.begin(), text.end()));
}

void FakeFileSystem::FailCall(FileOp op, uint32_t nth, uint32_t error, bool persistent) {
    faults_.push_back(Fault{op, nth, error, persistent, 0});
}

void FakeFileSystem::FailWrite(uint32_t nth, uint32_t error, bool persistent,
                               uint32_t partialBytes) {
    faults_.push_back(Fault{FileOp::Write, nth, error, persistent, partialBytes});
}

const FakeFile* FakeFileSystem::File(std::string_view path) const {
    const Entry* entry = Lookup(Normalise(path));
    return entry == nullptr || entry->folder ? nullptr : &files_[entry->file];
}

bool FakeFileSystem::HasFolder(std::string_view path) const {
    const std::string name = Normalise(path);
    if (IsRoot(name)) {
        return true;
    }
    const Entry* entry = Lookup(name);
    return entry != nullptr && entry->folder;
}

std::string FakeFileSystem::Text(std::string_view path) const {
    const FakeFile* file = File(path);
    return file == nullptr ? std::string() : std::string(file->bytes.begin(), file->bytes.end());
}

std::vector<std::string> FakeFileSystem::FilePaths() const {
    std::vector<std::string> paths;
    for (const FakeFile& file : files_) {
        if (!file.removed) {
            paths.push_back(file.path);
        }
    }
    return paths;
}

std::vector<std::string> FakeFileSystem::FolderPaths() const {
    return folders_;
}

uint32_t FakeFileSystem::Calls(FileOp op) const {
    const auto found = calls_.find(op);
    return found == calls_.end() ? 0 : found->second;
}

uint32_t FakeFileSystem::OpenFiles() const {
    return static_cast<uint32_t>(
        std::count_if(files_.begin(), files_.end(), [](const FakeFile& f) { return f.open; }));
}

uint32_t FakeFileSystem::Count(FileOp op, bool* first, uint32_t* partialBytes) {
    const uint32_t call = ++calls_[op];
    for (const Fault& fault : faults_) {
        if (fault.op != op || call < fault.nth || (call > fault.nth && !fault.persistent)) {
            continue;
        }
        if (first != nullptr) {
            *first = call == fault.nth;
        }
        if (partialBytes != nullptr) {
            *partialBytes = fault.partialBytes;
        }
        return fault.error;
    }
    return 0;
}

bool FakeFileSystem::Fail(uint32_t error) {
    lastError_ = error;
    return false;
}

const FakeFileSystem::Entry* FakeFileSystem::Lookup(std::string_view path) const {
    const auto found = entries_.find(LowerCase(path));
    return found == entries_.end() ? nullptr : &found->second;
}

bool FakeFileSystem::ParentExists(std::string_view path) const {
    const std::string parent = ParentOf(path);
    if (IsRoot(parent)) {
        return true;
    }
    const Entry* entry = Lookup(parent);
    return entry != nullptr && entry->folder;
}

void FakeFileSystem::AddFolderEntry(const std::string& path) {
    entries_[LowerCase(path)] = Entry{true, path, 0};
    folders_.push_back(path);
}

} // namespace pixlor
