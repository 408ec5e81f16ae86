#include "tools/host/Expectations.h"

#include <algorithm>

#include "tools/host/Render.h"
#include "tools/host/System.h"

namespace pixlor::host {

int CountFiles(const std::string& folder) {
    std::vector<sys::FolderEntry> entries;
    if (!sys::ListFolder(folder, entries)) {
        return 0;
    }
    int n = 0;
    for (const sys::FolderEntry& e : entries) {
        n += e.folder ? CountFiles(folder + sys::Separator() + e.name) : 1;
    }
    return n;
}

bool HasEntry(const std::string& folder, const std::string& path) {
    std::string at = folder;
    std::string part;
    bool found = true;
    for (std::size_t i = 0; i <= path.size() && found; ++i) {
        if (i == path.size() || path[i] == '/' || path[i] == '\\') {
            std::vector<sys::FolderEntry> entries;
            found = !part.empty() && sys::ListFolder(at, entries) &&
                    std::any_of(entries.begin(), entries.end(),
                                [&](const sys::FolderEntry& e) { return e.name == part; });
            at += sys::Separator() + part;
            part.clear();
        } else {
            part += path[i];
        }
    }
    return found;
}

std::string Unmet(const Command& c, const Observed& seen) {
    const std::string text = c.Text();
    auto unless = [](bool ok, const std::string& what) { return ok ? std::string() : what; };
    auto shown = [&]() {
        const Transcript& t = seen.transcript;
        return std::any_of(seen.shown.begin(), seen.shown.end(), [&](const std::string& s) {
            return s.find(text) != std::string::npos ||
                   t.Normalise(s).find(text) != std::string::npos ||
                   OemToUtf8(t.Normalise(s), t.CodePage()).find(text) != std::string::npos;
        });
    };
    switch (c.op) {
    case Op::ExpectBox:
        return unless(shown(), "a box with \"" + text + "\"");
    case Op::ExpectNoBox:
        return unless(!shown(), "no box with \"" + text + "\"");
    case Op::ExpectItems:
        return unless(seen.pluginItems == c.number, std::to_string(c.number) +
                                                        " items, the panel has " +
                                                        std::to_string(seen.pluginItems));
    case Op::ExpectItem:
        return unless(std::any_of(seen.items.begin(), seen.items.end(),
                                  [&](const PluginPanelItem& i) { return ItemName(i) == text; }),
                      "an item \"" + text + "\"");
    case Op::ExpectResult:
        return unless(seen.lastResult == c.number, "result " + std::to_string(c.number) + ", got " +
                                                       std::to_string(seen.lastResult));
    case Op::ExpectFiles: {
        const int n = CountFiles(seen.passiveFolder);
        return unless(n == c.number, std::to_string(c.number) + " files in the passive folder, " +
                                         "found " + std::to_string(n));
    }
    case Op::ExpectFile:
        return unless(HasEntry(seen.passiveFolder, text),
                      "a file " + text + " in the passive folder");
    case Op::ExpectOpen:
        return unless(seen.panelOpen, "an open plugin panel");
    case Op::ExpectClosed:
        return unless(!seen.panelOpen, "no plugin panel");
    default:
        return "";
    }
}

} // namespace pixlor::host
