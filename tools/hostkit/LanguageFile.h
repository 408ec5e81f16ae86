// Reads a host language file (.lng): the messages are the quoted lines after
// the ".Language=" header, numbered from 0 in file order.
#pragma once

#include <string>
#include <vector>

namespace pixlor::hostkit {

struct LanguageFile {
    std::string language; // the name before the comma in ".Language=Name,Description"
    std::vector<std::string> messages;
};

// False when the file cannot be read or has no ".Language=" header.
bool ReadLanguageFile(const std::string& path, LanguageFile& file);

// One message line as the host unquotes it (without the leading blanks).
std::string UnquoteMessageLine(const std::string& line);

} // namespace pixlor::hostkit
