#include "platform/posix/RegFile.h"

#include <algorithm>
#include <cstdio>
#include <optional>

namespace pixlor::regfile {
namespace {

constexpr std::string_view kHeader = "REGEDIT4";
constexpr uint32_t kRegSz = 1;
constexpr uint32_t kRegBinary = 3;
constexpr uint32_t kRegDword = 4;
constexpr size_t kHexPerLine = 25;

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string_view TrimLeft(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
        s.remove_prefix(1);
    }
    return s;
}

std::string_view Trim(std::string_view s) {
    s = TrimLeft(s);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) {
        s.remove_suffix(1);
    }
    return s;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    c = Lower(c);
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

// A quoted text with \\ and \" escapes; `s` starts at the opening quote. On
// success `s` is left behind the closing quote.
std::optional<std::string> ParseQuoted(std::string_view& s) {
    if (s.empty() || s.front() != '"') {
        return std::nullopt;
    }
    std::string out;
    for (size_t i = 1; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '"') {
            s.remove_prefix(i + 1);
            return out;
        }
        if (c == '\\') {
            if (i + 1 >= s.size() || (s[i + 1] != '\\' && s[i + 1] != '"')) {
                return std::nullopt;
            }
            out += s[++i];
        } else {
            out += c;
        }
    }
    return std::nullopt;
}

// "01,ff, 2a": the bytes of a hex value, already joined across continuations.
std::optional<std::vector<uint8_t>> ParseHexBytes(std::string_view s) {
    std::vector<uint8_t> bytes;
    s = Trim(s);
    if (s.empty()) {
        return bytes;
    }
    while (true) {
        s = TrimLeft(s);
        if (s.size() < 2) {
            return std::nullopt;
        }
        const int high = HexDigit(s[0]);
        const int low = HexDigit(s[1]);
        if (high < 0 || low < 0) {
            return std::nullopt;
        }
        bytes.push_back(static_cast<uint8_t>(high << 4 | low));
        s = Trim(s.substr(2));
        if (s.empty()) {
            return bytes;
        }
        if (s.front() != ',') {
            return std::nullopt;
        }
        s.remove_prefix(1);
    }
}

std::optional<uint32_t> ParseHexNumber(std::string_view s, size_t maxDigits) {
    if (s.empty() || s.size() > maxDigits) {
        return std::nullopt;
    }
    uint32_t n = 0;
    for (const char c : s) {
        const int d = HexDigit(c);
        if (d < 0) {
            return std::nullopt;
        }
        n = n << 4 | static_cast<uint32_t>(d);
    }
    return n;
}

// The data after '='; `more` supplies continuation lines of a hex value.
template <typename More> std::optional<Value> ParseData(std::string_view s, More&& more) {
    Value value;
    s = Trim(s);
    if (!s.empty() && s.front() == '"') {
        auto text = ParseQuoted(s);
        if (!text || !Trim(s).empty()) {
            return std::nullopt;
        }
        value.type = kRegSz;
        value.data.assign(text->begin(), text->end());
        value.data.push_back(0);
        return value;
    }
    if (s.starts_with("dword:")) {
        auto n = ParseHexNumber(s.substr(6), 8);
        if (!n) {
            return std::nullopt;
        }
        value.type = kRegDword;
        value.data = {static_cast<uint8_t>(*n), static_cast<uint8_t>(*n >> 8),
                      static_cast<uint8_t>(*n >> 16), static_cast<uint8_t>(*n >> 24)};
        return value;
    }
    if (!s.starts_with("hex")) {
        return std::nullopt;
    }
    s.remove_prefix(3);
    value.type = kRegBinary;
    if (!s.empty() && s.front() == '(') {
        const size_t close = s.find(')');
        if (close == std::string_view::npos) {
            return std::nullopt;
        }
        auto type = ParseHexNumber(s.substr(1, close - 1), 8);
        if (!type) {
            return std::nullopt;
        }
        value.type = *type;
        s.remove_prefix(close + 1);
    }
    if (s.empty() || s.front() != ':') {
        return std::nullopt;
    }
    s.remove_prefix(1);
    std::string joined;
    std::string_view part = Trim(s);
    while (!part.empty() && part.back() == '\\') {
        joined.append(part.substr(0, part.size() - 1));
        std::optional<std::string_view> next = more();
        if (!next) {
            break;
        }
        part = Trim(*next);
    }
    joined.append(part);
    auto bytes = ParseHexBytes(joined);
    if (!bytes) {
        return std::nullopt;
    }
    value.data = std::move(*bytes);
    return value;
}

void AppendQuoted(std::string& out, std::string_view text) {
    out += '"';
    for (const char c : text) {
        if (c == '\\' || c == '"') {
            out += '\\';
        }
        out += c;
    }
    out += '"';
}

// A REG_SZ that reads back the same from its quoted form.
bool IsPlainText(const Value& value) {
    if (value.type != kRegSz || value.data.empty() || value.data.back() != 0) {
        return false;
    }
    return std::none_of(value.data.begin(), value.data.end() - 1,
                        [](uint8_t b) { return b == 0 || b == '\r' || b == '\n'; });
}

void AppendValue(std::string& out, const Value& value) {
    if (value.name.empty()) {
        out += '@';
    } else {
        AppendQuoted(out, value.name);
    }
    out += '=';
    if (IsPlainText(value)) {
        AppendQuoted(out, std::string_view(reinterpret_cast<const char*>(value.data.data()),
                                           value.data.size() - 1));
    } else if (value.type == kRegDword && value.data.size() == 4) {
        char digits[16];
        const uint32_t n =
            static_cast<uint32_t>(value.data[0]) | static_cast<uint32_t>(value.data[1]) << 8 |
            static_cast<uint32_t>(value.data[2]) << 16 | static_cast<uint32_t>(value.data[3]) << 24;
        std::snprintf(digits, sizeof digits, "dword:%08x", static_cast<unsigned>(n));
        out += digits;
    } else {
        char prefix[24];
        if (value.type == kRegBinary) {
            std::snprintf(prefix, sizeof prefix, "hex:");
        } else {
            std::snprintf(prefix, sizeof prefix, "hex(%x):", static_cast<unsigned>(value.type));
        }
        out += prefix;
        for (size_t i = 0; i < value.data.size(); ++i) {
            char pair[4];
            std::snprintf(pair, sizeof pair, "%02x", static_cast<unsigned>(value.data[i]));
            out += pair;
            if (i + 1 < value.data.size()) {
                out += ',';
                if ((i + 1) % kHexPerLine == 0) {
                    out += "\\\n  ";
                }
            }
        }
    }
    out += '\n';
}

} // namespace

bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return Lower(x) == Lower(y); });
}

Key* FindKey(std::vector<Key>& keys, std::string_view path) {
    for (Key& key : keys) {
        if (SameName(key.path, path)) {
            return &key;
        }
    }
    return nullptr;
}

bool KeyExists(const std::vector<Key>& keys, std::string_view path) {
    return std::any_of(keys.begin(), keys.end(), [path](const Key& key) {
        std::string_view written = key.path;
        if (written.size() < path.size() || !SameName(written.substr(0, path.size()), path)) {
            return false;
        }
        return written.size() == path.size() || written[path.size()] == '\\';
    });
}

Value* FindValue(Key& key, std::string_view name) {
    for (Value& value : key.values) {
        if (SameName(value.name, name)) {
            return &value;
        }
    }
    return nullptr;
}

void SetValue(Key& key, Value value) {
    if (Value* existing = FindValue(key, value.name)) {
        existing->type = value.type;
        existing->data = std::move(value.data);
        return;
    }
    key.values.push_back(std::move(value));
}

Document Parse(std::string_view text) {
    Document document;
    if (text.starts_with("\xEF\xBB\xBF")) {
        text.remove_prefix(3);
    }
    const std::vector<std::string_view> lines = SplitLines(text);
    size_t i = 0;
    while (i < lines.size() && Trim(lines[i]).empty()) {
        ++i;
    }
    if (i == lines.size() || Trim(lines[i]) != kHeader) {
        return document;
    }
    document.recognised = true;
    ++i;
    Key* current = nullptr;
    for (; i < lines.size(); ++i) {
        std::string_view line = TrimLeft(lines[i]);
        if (line.empty() || line.front() == ';') {
            continue;
        }
        if (line.front() == '[') {
            current = nullptr;
            const size_t close = line.rfind(']');
            if (close == std::string_view::npos || close < 2 || line[1] == '-') {
                continue; // damaged, or a deletion, which a stored file never holds
            }
            const std::string_view path = line.substr(1, close - 1);
            current = FindKey(document.keys, path);
            if (current == nullptr) {
                document.keys.push_back(Key{std::string(path), {}});
                current = &document.keys.back();
            }
            continue;
        }
        if (current == nullptr) {
            continue;
        }
        std::string name;
        if (line.front() == '@') {
            line.remove_prefix(1);
        } else {
            auto quoted = ParseQuoted(line);
            if (!quoted) {
                continue;
            }
            name = std::move(*quoted);
        }
        line = TrimLeft(line);
        if (line.empty() || line.front() != '=') {
            continue;
        }
        line.remove_prefix(1);
        auto more = [&]() -> std::optional<std::string_view> {
            // Only a line of hex digits continues; a damaged value must not
            // swallow the key or value that follows it.
            if (i + 1 >= lines.size()) {
                return std::nullopt;
            }
            const std::string_view next = TrimLeft(lines[i + 1]);
            if (next.empty() || HexDigit(next.front()) < 0) {
                return std::nullopt;
            }
            return lines[++i];
        };
        auto value = ParseData(line, more);
        if (!value) {
            continue;
        }
        value->name = std::move(name);
        SetValue(*current, std::move(*value));
    }
    return document;
}

std::string Format(const std::vector<Key>& keys) {
    std::string out(kHeader);
    out += "\n";
    for (const Key& key : keys) {
        out += "\n[";
        out += key.path;
        out += "]\n";
        for (const Value& value : key.values) {
            AppendValue(out, value);
        }
    }
    return out;
}

} // namespace pixlor::regfile
