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

#include "FuzzCheck.h"

namespace {

using namespace pixlor::host;

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
    FUZZ_CHECK(script.commands.size() + script.errors.size() <= lines.size());

    size_t command = 0;
    size_t error = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
        const int number = static_cast<int>(i + 1);
        const LineResult line = ParseLine(lines[i], number);
        if (!line.error.empty()) {
            FUZZ_CHECK(error < script.errors.size());
            FUZZ_CHECK(script.errors[error].line == number);
            FUZZ_CHECK(script.errors[error].message == line.error);
            ++error;
        } else if (line.isCommand) {
            FUZZ_CHECK(command < script.commands.size());
            FUZZ_CHECK(script.commands[command].line == number);
            FUZZ_CHECK(script.commands[command].op == line.command.op);
            FUZZ_CHECK(script.commands[command].names == line.command.names);
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
            FUZZ_CHECK(SplitWords(again, same, why));
            FUZZ_CHECK(same == words);
        } else {
            FUZZ_CHECK(!why.empty());
        }
    }
    FUZZ_CHECK(command == script.commands.size());
    FUZZ_CHECK(error == script.errors.size());
    return 0;
}
