// The test host's script parser on arbitrary text: it never fails hard, it
// reports a bad line by its number, the whole-script parse agrees with the
// line parser, and words split from a line split the same once quoted again.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "tools/host/Script.h"

namespace {

using namespace pixlor::host;

[[noreturn]] void Violation(const char* what, int line) {
    std::fprintf(stderr, "invariant violated (line %d): %s\n", line, what);
    std::abort();
}
#define CHECK(condition)                                                                           \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            Violation(#condition, __LINE__);                                                       \
        }                                                                                          \
    } while (0)

std::string Quote(const std::string& word) {
    std::string out = "\"";
    for (const char c : word) {
        if (c == '\\' || c == '"') {
            out += '\\';
        }
        out += c;
    }
    return out + "\"";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const Script script = ParseScript(text);

    std::vector<std::string_view> lines;
    for (size_t start = 0;;) {
        const size_t end = text.find('\n', start);
        lines.push_back(text.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos) {
            break;
        }
        start = end + 1;
    }
    CHECK(script.commands.size() + script.errors.size() <= lines.size());

    size_t command = 0;
    size_t error = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
        const int number = static_cast<int>(i + 1);
        const LineResult line = ParseLine(lines[i], number);
        if (!line.error.empty()) {
            CHECK(error < script.errors.size());
            CHECK(script.errors[error].line == number);
            CHECK(script.errors[error].message == line.error);
            ++error;
        } else if (line.isCommand) {
            CHECK(command < script.commands.size());
            CHECK(script.commands[command].line == number);
            CHECK(script.commands[command].op == line.command.op);
            CHECK(script.commands[command].names == line.command.names);
            ++command;
        }

        std::vector<std::string> words;
        std::string why;
        if (SplitWords(lines[i], words, why)) {
            std::string again;
            for (const std::string& word : words) {
                again += Quote(word) + " ";
            }
            std::vector<std::string> same;
            CHECK(SplitWords(again, same, why));
            CHECK(same == words);
        } else {
            CHECK(!why.empty());
        }
    }
    CHECK(command == script.commands.size());
    CHECK(error == script.errors.size());
    return 0;
}
