#include "tools/host/Transcript.h"

#include <algorithm>

#include "tools/host/Render.h"

namespace pixlor::host {

namespace {

std::string Mask(std::string text, const std::string& folder, const char* shown) {
    if (folder.size() > 3) {
        text = ReplaceAll(std::move(text), folder, shown);
        // The plugin writes its paths with backslashes, also natively.
        std::string windowsForm = folder;
        std::replace(windowsForm.begin(), windowsForm.end(), '/', '\\');
        text = ReplaceAll(std::move(text), windowsForm, shown);
    }
    return text;
}

} // namespace

std::string Transcript::Normalise(std::string text) const {
    return Mask(Mask(std::move(text), temporary_, "<temp>"), masked_, "<passive>");
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
