// The text form of the POSIX registry: a REGEDIT4 file, as `.reg` files are.
// Parsing is a pure function over the file's text and never fails: a line it
// does not understand is skipped, so a damaged file reads as missing values.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pixlor::regfile {

struct Value {
    std::string name; // "" is the key's default value, written @
    uint32_t type = 0;
    std::vector<uint8_t> data;
};

struct Key {
    std::string path; // full path from the hive, e.g. "HKEY_CURRENT_USER\Software\Pixlor"
    std::vector<Value> values;
};

struct Document {
    bool recognised = false; // starts with the REGEDIT4 header
    std::vector<Key> keys;
};

Document Parse(std::string_view text);
std::string Format(const std::vector<Key>& keys);

// Key paths and value names compare without regard to ASCII case.
bool SameName(std::string_view a, std::string_view b);
Key* FindKey(std::vector<Key>& keys, std::string_view path);
// True for a key that is written, or is the parent of one that is.
bool KeyExists(const std::vector<Key>& keys, std::string_view path);
Value* FindValue(Key& key, std::string_view name);
// Replaces or appends.
void SetValue(Key& key, Value value);

} // namespace pixlor::regfile
