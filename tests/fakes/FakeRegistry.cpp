#include "fakes/FakeRegistry.h"

#include <algorithm>
#include <cstring>

namespace pixlor {
namespace {

constexpr RegistryResult kNotFound = 2;
constexpr RegistryResult kAccessDenied = 5;
constexpr RegistryResult kInvalidHandle = 6;
constexpr RegistryResult kBadPathname = 161;
constexpr RegistryResult kMoreData = 234;
constexpr RegistryResult kNoMoreItems = 259;
constexpr RegistryResult kKeyDeleted = 1018;

constexpr uint32_t kKeySetValue = 0x0002;

std::string Upper(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return out;
}

bool SameName(std::string_view a, std::string_view b) {
    return Upper(a) == Upper(b);
}

} // namespace

std::optional<std::string> FakeRegistry::FullPath(RegistryKey root, std::string_view path) const {
    std::string full;
    if (root == kHkeyCurrentUser) {
        full = "HKCU";
    } else if (root == kHkeyLocalMachine) {
        full = "HKLM";
    } else if (auto it = handles_.find(root); it != handles_.end()) {
        full = it->second.path;
    } else {
        return std::nullopt;
    }
    if (path.empty()) {
        return full;
    }
    size_t start = 0;
    while (start <= path.size()) {
        const size_t end = std::min(path.find('\\', start), path.size());
        if (end == start) {
            return std::string(); // an empty component: a bad path name
        }
        full += '\\';
        full += Upper(path.substr(start, end - start));
        start = end + 1;
    }
    return full;
}

FakeRegistry::Key& FakeRegistry::MakeKey(const std::string& full) {
    // Parents exist whenever a child does, as in a real hive.
    for (size_t at = full.find('\\'); at != std::string::npos; at = full.find('\\', at + 1)) {
        keys_.try_emplace(full.substr(0, at));
    }
    return keys_[full];
}

const FakeRegistry::Key* FakeRegistry::FindKey(const std::string& full) const {
    if (full == "HKCU" || full == "HKLM") {
        static const Key emptyRoot;
        auto it = keys_.find(full);
        return it != keys_.end() ? &it->second : &emptyRoot;
    }
    auto it = keys_.find(full);
    return it != keys_.end() ? &it->second : nullptr;
}

FakeRegistry::Value* FakeRegistry::FindValue(Key& key, std::string_view name) {
    for (Value& value : key.values) {
        if (SameName(value.name, name)) {
            return &value;
        }
    }
    return nullptr;
}

void FakeRegistry::AddKey(RegistryKey root, std::string_view path) {
    if (auto full = FullPath(root, path); full && !full->empty()) {
        MakeKey(*full);
    }
}

void FakeRegistry::SetString(RegistryKey root, std::string_view path, std::string_view name,
                             std::string_view text) {
    std::vector<uint8_t> data(text.begin(), text.end());
    data.push_back(0);
    SetRaw(root, path, name, kRegSz, std::move(data));
}

void FakeRegistry::SetNumber(RegistryKey root, std::string_view path, std::string_view name,
                             uint32_t number) {
    SetRaw(root, path, name, kRegDword,
           {static_cast<uint8_t>(number), static_cast<uint8_t>(number >> 8),
            static_cast<uint8_t>(number >> 16), static_cast<uint8_t>(number >> 24)});
}

void FakeRegistry::SetRaw(RegistryKey root, std::string_view path, std::string_view name,
                          uint32_t type, std::vector<uint8_t> data) {
    auto full = FullPath(root, path);
    if (!full || full->empty()) {
        return;
    }
    Key& key = MakeKey(*full);
    if (Value* existing = FindValue(key, name)) {
        existing->type = type;
        existing->data = std::move(data);
        return;
    }
    key.values.push_back(Value{std::string(name), type, std::move(data)});
}

void FakeRegistry::RemoveKey(RegistryKey root, std::string_view path) {
    auto full = FullPath(root, path);
    if (!full || full->empty()) {
        return;
    }
    const std::string prefix = *full + '\\';
    std::erase_if(keys_, [&](const auto& entry) {
        return entry.first == *full || entry.first.starts_with(prefix);
    });
}

bool FakeRegistry::HasKey(RegistryKey root, std::string_view path) const {
    auto full = FullPath(root, path);
    return full && !full->empty() && FindKey(*full) != nullptr;
}

std::optional<FakeRegistry::Value> FakeRegistry::Get(RegistryKey root, std::string_view path,
                                                     std::string_view name) const {
    auto full = FullPath(root, path);
    if (!full || full->empty()) {
        return std::nullopt;
    }
    const Key* key = FindKey(*full);
    if (key == nullptr) {
        return std::nullopt;
    }
    for (const Value& value : key->values) {
        if (SameName(value.name, name)) {
            return value;
        }
    }
    return std::nullopt;
}

std::optional<std::string> FakeRegistry::GetString(RegistryKey root, std::string_view path,
                                                   std::string_view name) const {
    auto value = Get(root, path, name);
    if (!value || value->type != kRegSz) {
        return std::nullopt;
    }
    std::string text(value->data.begin(), value->data.end());
    if (!text.empty() && text.back() == '\0') {
        text.pop_back();
    }
    return text;
}

std::optional<uint32_t> FakeRegistry::GetNumber(RegistryKey root, std::string_view path,
                                                std::string_view name) const {
    auto value = Get(root, path, name);
    if (!value || value->type != kRegDword || value->data.size() != 4) {
        return std::nullopt;
    }
    const auto& d = value->data;
    return static_cast<uint32_t>(d[0]) | static_cast<uint32_t>(d[1]) << 8 |
           static_cast<uint32_t>(d[2]) << 16 | static_cast<uint32_t>(d[3]) << 24;
}

size_t FakeRegistry::ValueCount(RegistryKey root, std::string_view path) const {
    auto full = FullPath(root, path);
    const Key* key = full && !full->empty() ? FindKey(*full) : nullptr;
    return key == nullptr ? 0 : key->values.size();
}

void FakeRegistry::FailCreate(RegistryKey root, std::string_view path, RegistryResult result) {
    if (auto full = FullPath(root, path)) {
        failCreate_[*full] = result;
    }
}

void FakeRegistry::FailOpen(RegistryKey root, std::string_view path, RegistryResult result) {
    if (auto full = FullPath(root, path)) {
        failOpen_[*full] = result;
    }
}

void FakeRegistry::FailCall(Op op, uint32_t k, RegistryResult result, bool persistent) {
    callFaults_.push_back(CallFault{op, callCounts_[op] + k, result, persistent});
}

void FakeRegistry::ClearFaults() {
    failCreate_.clear();
    failOpen_.clear();
    callFaults_.clear();
}

size_t FakeRegistry::CountCalls(Op op) const {
    return static_cast<size_t>(
        std::count_if(calls_.begin(), calls_.end(), [op](const Call& c) { return c.op == op; }));
}

std::optional<RegistryResult> FakeRegistry::PlannedFault(Op op) {
    const uint32_t count = ++callCounts_[op];
    for (const CallFault& fault : callFaults_) {
        if (fault.op == op && (count == fault.k || (fault.persistent && count > fault.k))) {
            return fault.result;
        }
    }
    return std::nullopt;
}

RegistryResult FakeRegistry::Record(Call call) {
    calls_.push_back(std::move(call));
    return calls_.back().result;
}

RegistryResult FakeRegistry::Open(Op op, RegistryKey root, const char* path, uint32_t access,
                                  RegistryKey& key) {
    Call call{op, root, path == nullptr ? "" : path, access};
    key = 0;
    if (auto fault = PlannedFault(op)) {
        call.result = *fault;
        return Record(std::move(call));
    }
    auto full = FullPath(root, call.path);
    if (!full) {
        call.result = kInvalidHandle;
        return Record(std::move(call));
    }
    if (full->empty()) {
        call.result = kBadPathname;
        return Record(std::move(call));
    }
    const auto& failures = op == Op::CreateKey ? failCreate_ : failOpen_;
    if (auto it = failures.find(*full); it != failures.end()) {
        call.result = it->second;
        return Record(std::move(call));
    }
    if (op == Op::CreateKey) {
        MakeKey(*full);
    } else if (FindKey(*full) == nullptr) {
        call.result = kNotFound;
        return Record(std::move(call));
    }
    key = nextHandle_;
    nextHandle_ += 4;
    handles_[key] = Handle{*full, access};
    return Record(std::move(call));
}

RegistryResult FakeRegistry::CreateKey(RegistryKey root, const char* path, uint32_t access,
                                       RegistryKey& key) {
    return Open(Op::CreateKey, root, path, access, key);
}

RegistryResult FakeRegistry::OpenKey(RegistryKey root, const char* path, uint32_t access,
                                     RegistryKey& key) {
    return Open(Op::OpenKey, root, path, access, key);
}

FakeRegistry::Key* FakeRegistry::UsableKey(Op op, RegistryKey handle, uint32_t access, Call& call) {
    if (auto fault = PlannedFault(op)) {
        call.result = *fault;
        return nullptr;
    }
    auto it = handles_.find(handle);
    if (it == handles_.end()) {
        call.result = kInvalidHandle;
        return nullptr;
    }
    if ((it->second.access & access) == 0) {
        call.result = kAccessDenied;
        return nullptr;
    }
    auto found = keys_.find(it->second.path);
    if (found == keys_.end()) {
        call.result = kKeyDeleted;
        return nullptr;
    }
    return &found->second;
}

RegistryResult FakeRegistry::QueryValue(RegistryKey handle, const char* name, uint32_t* type,
                                        uint8_t* data, uint32_t* size) {
    Call call{Op::QueryValue, handle, name == nullptr ? "" : name};
    call.size = size == nullptr ? 0 : *size;
    Key* key = UsableKey(Op::QueryValue, handle, kKeyQueryValue, call);
    if (key == nullptr) {
        return Record(std::move(call));
    }
    Value* value = FindValue(*key, call.path);
    if (value == nullptr) {
        call.result = kNotFound;
        return Record(std::move(call));
    }
    if (type != nullptr) {
        *type = value->type;
    }
    const auto needed = static_cast<uint32_t>(value->data.size());
    if (data != nullptr) {
        if (size == nullptr) {
            call.result = 998; // ERROR_NOACCESS: data without a size
            return Record(std::move(call));
        }
        if (*size < needed) {
            *size = needed;
            call.result = kMoreData;
            return Record(std::move(call));
        }
        std::copy(value->data.begin(), value->data.end(), data);
    }
    if (size != nullptr) {
        *size = needed;
    }
    return Record(std::move(call));
}

RegistryResult FakeRegistry::SetValue(RegistryKey handle, const char* name, uint32_t type,
                                      const uint8_t* data, uint32_t size) {
    Call call{Op::SetValue, handle, name == nullptr ? "" : name, type};
    call.size = size;
    Key* key = UsableKey(Op::SetValue, handle, kKeySetValue, call);
    if (key == nullptr) {
        return Record(std::move(call));
    }
    std::vector<uint8_t> bytes;
    if (data != nullptr) {
        bytes.assign(data, data + size);
    }
    if (Value* value = FindValue(*key, call.path)) {
        value->type = type;
        value->data = std::move(bytes);
    } else {
        key->values.push_back(Value{call.path, type, std::move(bytes)});
    }
    return Record(std::move(call));
}

RegistryResult FakeRegistry::EnumValue(RegistryKey handle, uint32_t index, char* name,
                                       uint32_t* nameLength, uint32_t* type, uint8_t* data,
                                       uint32_t* dataLength) {
    Call call{Op::EnumValue, handle};
    call.index = index;
    call.size = dataLength == nullptr ? 0 : *dataLength;
    Key* key = UsableKey(Op::EnumValue, handle, kKeyQueryValue, call);
    if (key == nullptr) {
        return Record(std::move(call));
    }
    std::vector<const Value*> ordered;
    for (const Value& value : key->values) {
        ordered.push_back(&value);
    }
    if (order_ == Order::SortedByName) {
        std::stable_sort(ordered.begin(), ordered.end(), [](const Value* a, const Value* b) {
            return Upper(a->name) < Upper(b->name);
        });
    }
    if (index >= ordered.size()) {
        call.result = kNoMoreItems;
        return Record(std::move(call));
    }
    const Value& value = *ordered[index];
    call.path = value.name;
    if (name == nullptr || nameLength == nullptr) {
        call.result = 87; // ERROR_INVALID_PARAMETER
        return Record(std::move(call));
    }
    // The name needs room for its terminator; the data is copied as stored.
    const auto nameNeeded = static_cast<uint32_t>(value.name.size());
    const auto dataNeeded = static_cast<uint32_t>(value.data.size());
    if (*nameLength <= nameNeeded) {
        call.result = kMoreData;
        return Record(std::move(call));
    }
    if (data != nullptr && (dataLength == nullptr || *dataLength < dataNeeded)) {
        if (dataLength != nullptr) {
            *dataLength = dataNeeded;
        }
        call.result = kMoreData;
        return Record(std::move(call));
    }
    std::memcpy(name, value.name.c_str(), value.name.size() + 1);
    *nameLength = nameNeeded;
    if (type != nullptr) {
        *type = value.type;
    }
    if (data != nullptr) {
        std::copy(value.data.begin(), value.data.end(), data);
    }
    if (dataLength != nullptr) {
        *dataLength = dataNeeded;
    }
    return Record(std::move(call));
}

RegistryResult FakeRegistry::CloseKey(RegistryKey handle) {
    Call call{Op::CloseKey, handle};
    if (auto fault = PlannedFault(Op::CloseKey)) {
        call.result = *fault;
        handles_.erase(handle);
        return Record(std::move(call));
    }
    if (handles_.erase(handle) == 0) {
        call.result = kInvalidHandle;
    }
    return Record(std::move(call));
}

} // namespace pixlor
