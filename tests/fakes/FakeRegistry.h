// An in-memory registry with the Win32 results the store relies on: keys by
// case-insensitive path under HKCU and HKLM, 234 with the needed size on a
// small buffer, 2 for a missing key or value, 259 at the end of an
// enumeration, 5 for an operation the key's access does not allow, 6 for a bad
// handle. Every call is recorded; faults can be planned per key or per call.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Registry.h"

namespace pixlor {

class FakeRegistry final : public Registry {
public:
    enum class Op { CreateKey, OpenKey, QueryValue, SetValue, EnumValue, CloseKey };
    enum class Order { Insertion, SortedByName };

    struct Value {
        std::string name;
        uint32_t type = 0;
        std::vector<uint8_t> data;
    };

    struct Call {
        Op op{};
        RegistryKey key = 0; // the root of Create/Open, else the handle
        std::string path{};  // Create/Open: the path; Query/Set: the value name
        uint32_t access = 0; // Create/Open: the access mask; Set: the type
        uint32_t index = 0;  // Enum: the index
        uint32_t size = 0;   // Query/Enum: the data capacity passed in; Set: the size
        RegistryResult result = 0;
    };

    // Preparing the content. Text is stored as REG_SZ with its terminator.
    void AddKey(RegistryKey root, std::string_view path);
    void SetString(RegistryKey root, std::string_view path, std::string_view name,
                   std::string_view text);
    void SetNumber(RegistryKey root, std::string_view path, std::string_view name, uint32_t number);
    void SetRaw(RegistryKey root, std::string_view path, std::string_view name, uint32_t type,
                std::vector<uint8_t> data);
    void RemoveKey(RegistryKey root, std::string_view path);
    void SetEnumOrder(Order order) { order_ = order; }

    // Inspecting it.
    bool HasKey(RegistryKey root, std::string_view path) const;
    std::optional<Value> Get(RegistryKey root, std::string_view path, std::string_view name) const;
    // The REG_SZ text without its terminator; none for a missing value or another type.
    std::optional<std::string> GetString(RegistryKey root, std::string_view path,
                                         std::string_view name) const;
    // A 4-byte REG_DWORD; none otherwise.
    std::optional<uint32_t> GetNumber(RegistryKey root, std::string_view path,
                                      std::string_view name) const;
    size_t ValueCount(RegistryKey root, std::string_view path) const;

    // Faults. A key that cannot be created or opened answers `result`.
    void FailCreate(RegistryKey root, std::string_view path, RegistryResult result = 5);
    void FailOpen(RegistryKey root, std::string_view path, RegistryResult result = 5);
    // The k-th call (from 1, counted from now) of `op` answers `result`; with
    // `persistent`, every call from the k-th on does.
    void FailCall(Op op, uint32_t k, RegistryResult result = 5, bool persistent = false);
    void ClearFaults();

    const std::vector<Call>& Calls() const { return calls_; }
    size_t CountCalls(Op op) const;
    void ClearCalls() { calls_.clear(); }
    size_t OpenHandles() const { return handles_.size(); }

    RegistryResult CreateKey(RegistryKey root, const char* path, uint32_t access,
                             RegistryKey& key) override;
    RegistryResult OpenKey(RegistryKey root, const char* path, uint32_t access,
                           RegistryKey& key) override;
    RegistryResult QueryValue(RegistryKey key, const char* name, uint32_t* type, uint8_t* data,
                              uint32_t* size) override;
    RegistryResult SetValue(RegistryKey key, const char* name, uint32_t type, const uint8_t* data,
                            uint32_t size) override;
    RegistryResult EnumValue(RegistryKey key, uint32_t index, char* name, uint32_t* nameLength,
                             uint32_t* type, uint8_t* data, uint32_t* dataLength) override;
    RegistryResult CloseKey(RegistryKey key) override;

private:
    struct Key {
        std::vector<Value> values;
    };
    struct Handle {
        std::string path; // normalised full path
        uint32_t access = 0;
    };
    struct CallFault {
        Op op{};
        uint32_t k;
        RegistryResult result;
        bool persistent;
    };

    std::optional<std::string> FullPath(RegistryKey root, std::string_view path) const;
    Key& MakeKey(const std::string& full);
    const Key* FindKey(const std::string& full) const;
    Value* FindValue(Key& key, std::string_view name);
    // The key behind an open handle that allows `access`, or null with the
    // call's result set (a planned fault, a bad handle, no access, a deleted key).
    Key* UsableKey(Op op, RegistryKey handle, uint32_t access, Call& call);
    std::optional<RegistryResult> PlannedFault(Op op);
    RegistryResult Record(Call call);
    RegistryResult Open(Op op, RegistryKey root, const char* path, uint32_t access,
                        RegistryKey& key);

    std::map<std::string, Key> keys_; // by upper-cased full path, e.g. "HKCU\SOFTWARE\X"
    std::map<RegistryKey, Handle> handles_;
    std::map<std::string, RegistryResult> failCreate_;
    std::map<std::string, RegistryResult> failOpen_;
    std::vector<CallFault> callFaults_;
    std::map<Op, uint32_t> callCounts_;
    std::vector<Call> calls_;
    RegistryKey nextHandle_ = 0x1000;
    Order order_ = Order::Insertion;
};

} // namespace pixlor
