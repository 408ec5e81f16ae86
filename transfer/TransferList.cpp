#include "transfer/TransferList.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <unordered_map>

#include "camera/LinkStatus.h"
#include "platform/Platform.h"
#include "platform/SystemError.h"
#include "transfer/NameTemplate.h"
#include "transfer/PictureTime.h"

namespace pixlor {
namespace {

// The numbering format has one digit for the width.
uint32_t UsableWidth(uint32_t width) {
    return std::clamp(width, 1u, 9u);
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The number part as a wider number prints: only digits, no leading zero, and
// short enough that the next number still fits.
bool WiderNumber(const char* digits, size_t length, uint32_t& number) {
    if (length > 9 || digits[0] == '0') {
        return false;
    }
    uint32_t value = 0;
    for (size_t i = 0; i < length; ++i) {
        if (!IsDigit(digits[i])) {
            return false;
        }
        value = value * 10 + static_cast<uint32_t>(digits[i] - '0');
    }
    number = value;
    return true;
}

// The number of a name's field of `width` characters (at most nine, so it
// cannot overflow), read as the C library's "%d" reads it: leading blanks
// skipped, a '+' allowed, then digits up to the first other character. A
// negative number is never one the numbering wrote: as unsigned it would win
// and wrap the next number round to 0.
bool FieldNumber(std::string_view field, uint32_t& number) {
    size_t i = field.find_first_not_of(" \t\n\v\f\r");
    if (i == std::string_view::npos || field[i] == '-') {
        return false;
    }
    if (field[i] == '+') {
        ++i;
    }
    const size_t first = i;
    uint32_t value = 0;
    for (; i < field.size() && IsDigit(field[i]); ++i) {
        value = value * 10 + static_cast<uint32_t>(field[i] - '0');
    }
    if (i == first) {
        return false;
    }
    number = value;
    return true;
}

// A name with its ASCII letters upper-cased: names the host finds equal share
// it, at least when they are ASCII, so it can pick candidates for the host's
// comparison.
std::string UpperAscii(const char* name) {
    std::string key(name);
    for (char& c : key) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return key;
}

bool IsAscii(const std::string& name) {
    return std::all_of(name.begin(), name.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// The folders built so far, found by name without a walk over all of them:
// an index on the name with its ASCII letters upper-cased picks the candidates,
// and the host's comparison still decides, in list order. Names of one
// template differ only in the digits of its fixed-width fields, so names the
// host finds equal always share that form.
class FolderIndex {
public:
    FolderIndex(const NameRules& names, FolderList& folders) : names_(names), folders_(folders) {}

    // The first folder whose name equals `name` for the host, or null.
    PictureFolder* Find(const char* name) {
        const auto first = first_.find(Key(name));
        if (first == first_.end()) {
            return nullptr;
        }
        for (size_t position = first->second; position != kNone;
             position = nextSameKey_[position]) {
            if (names_.Same(folders_[position].name.c_str(), name)) {
                return &folders_[position];
            }
        }
        return nullptr;
    }
    // The folder just appended to the list.
    void Added() {
        const size_t position = folders_.size() - 1;
        nextSameKey_.push_back(kNone);
        const auto [first, isNew] =
            first_.try_emplace(Key(folders_[position].name.c_str()), position);
        if (!isNew) { // rare: the host told two names of one form apart
            size_t last = first->second;
            while (nextSameKey_[last] != kNone) {
                last = nextSameKey_[last];
            }
            nextSameKey_[last] = position;
        }
    }

private:
    static constexpr size_t kNone = static_cast<size_t>(-1);

    static std::string Key(const char* name) { return UpperAscii(name); }

    const NameRules& names_;
    FolderList& folders_;
    std::unordered_map<std::string, size_t> first_; // first folder of each form
    std::vector<size_t> nextSameKey_;               // by position: the next of its form
};

// Every picture's folder name, expanded once, for a selection of many folders:
// each folder then costs its own pictures instead of a pass over the camera.
// The names come from the host's selection, so a name outside ASCII (whose
// case the host's code page decides) is compared with every picture, and such
// pictures with every name.
class PicturesByFolder {
public:
    PicturesByFolder(const NameRules& names, const char* folderTemplate, const PictureTable& table)
        : names_(names), table_(table) {
        pictureFolders_.reserve(table.Size());
        for (uint32_t position = 0; position < table.Size(); ++position) {
            const NameBuffer name = ExpandedName(position, folderTemplate, &table);
            pictureFolders_.emplace_back(name.c_str());
            if (IsAscii(pictureFolders_.back())) {
                byKey_[UpperAscii(name.c_str())].push_back(position);
            } else {
                others_.push_back(position);
            }
        }
    }

    // Appends the pictures of folder `filter` in table order, as
    // CollectFolderPictures does.
    void Collect(const char* filter, TransferList& list) const {
        if (filter == nullptr || filter[0] == '\0') {
            for (uint32_t position = 0; position < pictureFolders_.size(); ++position) {
                Append(position, list);
            }
            return;
        }
        const std::string key = UpperAscii(filter);
        if (!IsAscii(key)) {
            for (uint32_t position = 0; position < pictureFolders_.size(); ++position) {
                AppendIfNamed(position, filter, list);
            }
            return;
        }
        static const std::vector<uint32_t> kNoPictures;
        const auto found = byKey_.find(key);
        const std::vector<uint32_t>& same = found == byKey_.end() ? kNoPictures : found->second;
        // Both lists ascend: merge them to keep table order.
        size_t a = 0;
        size_t b = 0;
        while (a < same.size() || b < others_.size()) {
            const bool fromSame = b == others_.size() || (a < same.size() && same[a] < others_[b]);
            AppendIfNamed(fromSame ? same[a++] : others_[b++], filter, list);
        }
    }

private:
    void Append(uint32_t position, TransferList& list) const {
        list.push_back(TransferItem{PictureFileTime(*table_.RecordAt(position)), position});
    }
    void AppendIfNamed(uint32_t position, const char* filter, TransferList& list) const {
        if (names_.Same(pictureFolders_[position].c_str(), filter)) {
            Append(position, list);
        }
    }

    const NameRules& names_;
    const PictureTable& table_;
    std::vector<std::string> pictureFolders_; // by position
    std::unordered_map<std::string, std::vector<uint32_t>> byKey_;
    std::vector<uint32_t> others_; // pictures whose name is not ASCII
};

} // namespace

size_t CollectFolderPictures(const NameRules& names, const char* filter, const char* folderTemplate,
                             const PictureTable& table, TransferList& list) {
    const bool everything = filter == nullptr || filter[0] == '\0';
    for (uint32_t position = 0; position < table.Size(); ++position) {
        if (!everything &&
            !names.Same(ExpandedName(position, folderTemplate, &table).c_str(), filter)) {
            continue;
        }
        list.push_back(TransferItem{PictureFileTime(*table.RecordAt(position)), position});
    }
    return list.size();
}

size_t CollectPicturesOfFolders(const NameRules& names, const std::vector<const char*>& folders,
                                const char* folderTemplate, const PictureTable& table,
                                TransferList& list) {
    if (folders.empty()) {
        return list.size();
    }
    const PicturesByFolder byFolder(names, folderTemplate, table);
    for (const char* folder : folders) {
        byFolder.Collect(folder, list);
    }
    return list.size();
}

FolderList BuildFolderList(const NameRules& names, const char* folderTemplate, PictureKind shown,
                           const PictureTable& table) {
    FolderList folders;
    FolderIndex index(names, folders);
    for (uint32_t position = 0; position < table.Size(); ++position) {
        const PictureRecord& record = *table.RecordAt(position);
        const FileTime time = PictureFileTime(record);
        const NameBuffer name = ExpandedName(position, folderTemplate, &table);
        PictureFolder* folder = index.Find(name.c_str());
        if (folder == nullptr) {
            folders.push_back(PictureFolder{name.c_str(), time, time, 0});
            index.Added();
            folder = &folders.back();
        } else {
            folder->lastTime = time;
        }
        folder->totalSize += SizeOf(record, shown);
    }
    return folders;
}

int32_t NextNumberInFolder(const NameRules& names, uint32_t width, const char* prefix,
                           const std::string& folder, uint32_t& result) {
    FileSystem& files = *CurrentPlatform().files;
    const std::string pattern = folder + "*.*";
    FindEntry entry;
    const std::unique_ptr<FindHandle> search = files.FindFirst(pattern.c_str(), entry);
    if (search == nullptr) {
        return linkstatus::kFolderMissing;
    }
    HighestNumber highest(names);
    do {
        highest.Consider(entry.name.c_str(), prefix, width);
    } while (search->Next(entry));
    if (files.LastError() != syserr::kNoMoreFiles) {
        return linkstatus::kFolderListing;
    }
    result = highest.Next();
    return 0;
}

void HighestNumber::Consider(const char* name, const char* prefix, uint32_t width) {
    uint32_t number = 0;
    if (NumberOfName(names_, name, prefix, width, number) && (!found_ || number > highest_)) {
        highest_ = number;
        found_ = true;
    }
}

bool NumberOfName(const NameRules& names, const char* name, const char* prefix, uint32_t width,
                  uint32_t& number) {
    const char* dot = std::strrchr(name, '.');
    if (dot == nullptr || !names.Same(dot, ".jpg")) {
        return false;
    }
    // Read in place: a listing scans every name of a folder or panel.
    const auto baseLength = static_cast<size_t>(dot - name);
    const size_t prefixLength = std::strlen(prefix);
    if (baseLength < prefixLength || !names.StartsWith(name, prefix)) {
        return false;
    }
    const char* rest = name + prefixLength;
    const size_t restLength = baseLength - prefixLength;
    width = UsableWidth(width);
    if (restLength == width) {
        return FieldNumber(std::string_view(rest, width), number);
    }
    // Past 10^width - 1 the numbering prints every digit; count those names too,
    // or the number after them would be proposed again and again.
    return restLength > width && WiderNumber(rest, restLength, number);
}

std::string NumberedFileName(const std::string& prefix, uint32_t number, uint32_t width) {
    std::string digits = std::to_string(number);
    const uint32_t wanted = UsableWidth(width);
    if (digits.size() < wanted) {
        digits.insert(0, wanted - digits.size(), '0');
    }
    return prefix + digits + ".jpg";
}

} // namespace pixlor
