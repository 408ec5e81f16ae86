// The test hosts' .lng reader. The input is a whole language file; it is read
// from a scratch file, as the reader only takes paths. Then each of its lines,
// quoted as the language-file generator quotes a message, must read back as
// that line.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "tools/hostkit/LanguageFile.h"

#include "FuzzCheck.h"

namespace {

using pixlor::hostkit::LanguageFile;
using pixlor::hostkit::ReadLanguageFile;

const std::string& ScratchPath() {
    // In memory where the system has it: the target writes two files per input.
    static const std::string folder = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    static const std::string path = folder + "/pixlor-fuzz-" + std::to_string(getpid()) + ".lng";
    static const bool removedAtExit = std::atexit([] { unlink(path.c_str()); }) == 0;
    (void)removedAtExit;
    return path;
}

void WriteScratch(const std::string& text) {
    std::ofstream out(ScratchPath(), std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

// As host/lang/gen_lang.py writes a message.
std::string Quote(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '\\' || c == '"') {
            out += '\\';
        }
        out += c;
    }
    return out + "\"";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    WriteScratch(text);
    LanguageFile file;
    const bool read = ReadLanguageFile(ScratchPath(), file);
    FUZZ_CHECK(!read || text.find(".Language=") != std::string::npos);
    if (!read) {
        FUZZ_CHECK(file.messages.empty());
    }
    size_t lines = 1;
    for (const char c : text) {
        lines += c == '\n' ? 1 : 0;
    }
    FUZZ_CHECK(file.messages.size() <= lines);

    std::vector<std::string> messages;
    std::string generated = ".Language=Fuzz,Fuzz\n";
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        messages.push_back(text.substr(start, end - start));
        generated += Quote(messages.back()) + "\r\n";
        start = end + 1;
    }
    WriteScratch(generated);
    LanguageFile again;
    FUZZ_CHECK(ReadLanguageFile(ScratchPath(), again));
    FUZZ_CHECK(again.language == "Fuzz");
    FUZZ_CHECK(again.messages == messages);
    return 0;
}
