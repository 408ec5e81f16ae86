#include "tools/hostkit/LanguageFile.h"

#include <fstream>

namespace pixlor::hostkit {

namespace {

std::string Trim(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

} // namespace

std::string UnquoteMessageLine(const std::string& line) {
    std::string body = line.substr(1);
    if (!body.empty() && body.back() == '"') {
        body.pop_back();
    }
    std::string text;
    for (std::size_t i = 0; i < body.size(); ++i) {
        const char c = body[i];
        if (c == '\\' && i + 1 < body.size()) {
            const char next = body[i + 1];
            const char* known = "\"\\nrtb";
            const char* meaning = "\"\\\n\r\t\b";
            bool escaped = false;
            for (int k = 0; known[k] != '\0'; ++k) {
                if (next == known[k]) {
                    text += meaning[k];
                    escaped = true;
                }
            }
            if (escaped) {
                ++i;
                continue;
            }
        } else if (c == '"' && i + 1 < body.size() && body[i + 1] == '"') {
            text += '"';
            ++i;
            continue;
        }
        text += c;
    }
    return text;
}

bool ReadLanguageFile(const std::string& path, LanguageFile& file) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    file = LanguageFile{};
    bool headerSeen = false;
    std::string line;
    while (std::getline(in, line)) {
        const std::string trimmed = Trim(line);
        if (!headerSeen) {
            static const std::string kHeader = ".Language=";
            if (trimmed.compare(0, kHeader.size(), kHeader) == 0) {
                headerSeen = true;
                file.language = trimmed.substr(kHeader.size(), trimmed.find(',') - kHeader.size());
            }
            continue;
        }
        if (!trimmed.empty() && trimmed.front() == '"') {
            file.messages.push_back(UnquoteMessageLine(trimmed));
        }
    }
    return headerSeen;
}

} // namespace pixlor::hostkit
