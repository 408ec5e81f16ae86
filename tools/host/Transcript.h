// What the test host prints: one line at a time on its output stream, the
// plugin's OEM texts shown as UTF-8, the passive folder as "<passive>" and the
// temporary one as "<temp>", so
// that a run's transcript is the same on every machine. It also keeps the
// verdict: any failure makes the run fail.
#pragma once

#include <cstdio>
#include <string>

namespace pixlor::host {

class Transcript {
public:
    explicit Transcript(std::FILE* out) : out_(out) {}

    // The folder shown as "<passive>" (absolute; in either slash form).
    void MaskFolder(std::string folder) { masked_ = std::move(folder); }
    // The folder of the host's temporary names, shown as "<temp>" (masked first:
    // it may lie inside the passive folder).
    void MaskTemporaryFolder(std::string folder) { temporary_ = std::move(folder); }
    // The OEM code page of the plugin's texts (of the language file in use).
    void SetCodePage(int codePage) { codePage_ = codePage; }
    int CodePage() const { return codePage_; }
    // The script line that failures are reported at.
    void SetLine(int line) { line_ = line; }
    int Line() const { return line_; }

    std::string Normalise(std::string text) const;
    // `oem`: the line holds the plugin's bytes; false for the script's own UTF-8.
    void Print(const std::string& line, bool oem = true);
    // "FAILED line N: why", and the run fails.
    void Fail(const std::string& why);
    bool Failed() const { return failed_; }

private:
    std::FILE* out_;
    std::string masked_;
    std::string temporary_;
    int codePage_ = 437;
    int line_ = 0;
    bool failed_ = false;
};

} // namespace pixlor::host
