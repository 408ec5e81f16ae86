#include "tools/host/Script.h"

namespace pixlor::host {

bool SplitWords(std::string_view text, std::vector<std::string>& words, std::string& error) {
    words.clear();
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            ++i;
            continue;
        }
        if (c == '#') {
            break;
        }
        std::string word;
        if (c == '"') {
            ++i;
            bool closed = false;
            while (i < text.size()) {
                const char q = text[i];
                if (q == '\\' && i + 1 < text.size() &&
                    (text[i + 1] == '"' || text[i + 1] == '\\')) {
                    word += text[i + 1];
                    i += 2;
                    continue;
                }
                ++i;
                if (q == '"') {
                    closed = true;
                    break;
                }
                word += q;
            }
            if (!closed) {
                error = "unterminated quote";
                return false;
            }
            if (i < text.size() && text[i] != ' ' && text[i] != '\t' && text[i] != '\r') {
                error = "a quoted text must be followed by a blank";
                return false;
            }
        } else {
            while (i < text.size() && text[i] != ' ' && text[i] != '\t' && text[i] != '\r' &&
                   text[i] != '\n') {
                word += text[i++];
            }
        }
        words.push_back(std::move(word));
    }
    return true;
}

LineResult ParseLine(std::string_view text, int lineNumber) {
    LineResult result;
    result.command.line = lineNumber;
    std::vector<std::string> words;
    if (!SplitWords(text, words, result.error)) {
        return result;
    }
    if (words.empty()) {
        return result;
    }
    result.isCommand = true;
    result.error = ParseCommand(words, result.command);
    return result;
}

Script ParseScript(std::string_view text) {
    Script script;
    int lineNumber = 0;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        ++lineNumber;
        LineResult line = ParseLine(text.substr(start, end - start), lineNumber);
        if (!line.error.empty()) {
            script.errors.push_back({lineNumber, line.error});
        } else if (line.isCommand) {
            script.commands.push_back(std::move(line.command));
        }
        if (end == text.size()) {
            break;
        }
        start = end + 1;
    }
    return script;
}

} // namespace pixlor::host
