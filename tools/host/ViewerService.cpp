#include "tools/host/ViewerService.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "tools/host/System.h"

namespace pixlor::host {
namespace {

// The plugin writes its paths with backslashes, also natively.
std::filesystem::path SystemPath(std::string path) {
    if (sys::Separator() != '\\') {
        std::replace(path.begin(), path.end(), '\\', sys::Separator());
    }
    return std::filesystem::path(path);
}

std::string Flags(FarDword flags) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%04lX", static_cast<unsigned long>(flags));
    return text;
}

} // namespace

std::string ViewAndClose(hostkit::ViewerCall& call) {
    const std::filesystem::path file = SystemPath(call.fileName);
    std::error_code ec;
    call.fileFound = std::filesystem::is_regular_file(file, ec);
    call.fileSize = call.fileFound ? std::filesystem::file_size(file, ec) : 0;
    call.answer = call.fileFound ? 1 : 0;
    std::string line =
        "Viewer(\"" + call.fileName + "\", title " +
        (call.hadTitle ? "\"" + call.title + "\"" : std::string("none")) + ", flags " +
        Flags(call.flags) + "): " +
        (call.fileFound ? std::to_string(call.fileSize) + " bytes" : std::string("no such file")) +
        " -> " + std::to_string(call.answer);
    const bool deleteFile = (call.flags & (VF_DELETEONCLOSE | VF_DELETEONLYFILEONCLOSE)) != 0;
    if (!call.fileFound || !deleteFile) {
        return line;
    }
    const bool fileRemoved = std::filesystem::remove(file, ec);
    line += fileRemoved ? "; closed: file removed" : "; closed: the file could not be removed";
    if (fileRemoved && (call.flags & VF_DELETEONCLOSE) != 0) {
        const std::filesystem::path folder = file.parent_path();
        if (std::filesystem::is_empty(folder, ec) && std::filesystem::remove(folder, ec)) {
            line += ", its folder too";
        }
    }
    return line;
}

} // namespace pixlor::host
