#include "tools/host/Transcript.h"

#include <algorithm>

#include "tools/host/Render.h"

namespace pixlor::host {

std::string Transcript::Normalise(std::string text) const {
    if (masked_.size() > 3) {
        text = ReplaceAll(std::move(text), masked_, "<passive>");
        // The plugin writes its paths with backslashes, also natively.
        std::string windowsForm = masked_;
        std::replace(windowsForm.begin(), windowsForm.end(), '/', '\\');
        text = ReplaceAll(std::move(text), windowsForm, "<passive>");
    }
    return text;
}

void Transcript::Print(const std::string& line, bool oem) {
    // The plugin's texts are OEM bytes; the terminal shows UTF-8.
    const std::string shown = oem ? OemToUtf8(Normalise(line), codePage_) : Normalise(line);
    const std::string text = shown + "\n";
    std::fwrite(text.data(), 1, text.size(), out_);
    std::fflush(out_);
}

void Transcript::Fail(const std::string& why) {
    failed_ = true;
    Print("FAILED line " + std::to_string(line_) + ": " + why);
}

} // namespace pixlor::host
