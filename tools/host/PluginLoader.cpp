#include "tools/host/PluginLoader.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <memory>
#include <vector>

#include "tools/host/Render.h"
#include "tools/host/System.h"
#include "tools/hostkit/LanguageFile.h"

namespace pixlor::host {

namespace {

bool SameText(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

std::string Hex(unsigned long value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", value);
    return text;
}

template <typename F> void Resolve(void* library, const char* name, F& function) {
    function = reinterpret_cast<F>(sys::LibrarySymbol(library, name));
}

} // namespace

LanguageChoice ChooseLanguageFile(const std::string& folder, const std::string& wanted) {
    std::vector<sys::FolderEntry> entries;
    LanguageChoice chosen;
    LanguageChoice english;
    if (sys::ListFolder(folder, entries)) {
        for (const sys::FolderEntry& e : entries) {
            if (e.folder || e.name.size() < 4 ||
                !SameText(e.name.substr(e.name.size() - 4), ".lng")) {
                continue;
            }
            hostkit::LanguageFile file;
            const std::string path = folder + sys::Separator() + e.name;
            if (!hostkit::ReadLanguageFile(path, file)) {
                continue;
            }
            if (SameText(file.language, wanted)) {
                chosen = {path, file.language};
            } else if (SameText(file.language, "English") ||
                       (chosen.path.empty() && english.path.empty())) {
                english = {path, file.language};
            }
        }
    }
    return chosen.path.empty() ? english : chosen;
}

bool PluginLoader::Load(const std::string& path, const std::string& language,
                        const Services& services) {
    if (!ResolveExports(path) || !CheckVersion()) {
        return false;
    }
    kit_.moduleName = sys::LibraryPath(library_, path);
    const std::string& module = kit_.moduleName;
    const LanguageChoice choice =
        ChooseLanguageFile(module.substr(0, module.find_last_of("\\/")), language);
    out_.SetCodePage(OemCodePageFor(choice.language));
    if (choice.path.empty() || !kit_.LoadLanguage(choice.path)) {
        out_.Print("note: no language file beside the plugin");
    }
    StartPlugin(services);
    loaded_ = true;
    ShowMenus();
    return true;
}

bool PluginLoader::ResolveExports(const std::string& path) {
    std::string error;
    library_ = sys::OpenLibrary(path, error);
    if (library_ == nullptr) {
        out_.Fail("cannot load " + path + ": " + error);
        return false;
    }
    Resolve(library_, "GetMinFarVersion", exports_.GetMinFarVersion);
    Resolve(library_, "SetStartupInfo", exports_.SetStartupInfo);
    Resolve(library_, "GetPluginInfo", exports_.GetPluginInfo);
    Resolve(library_, "Configure", exports_.Configure);
    Resolve(library_, "OpenPlugin", exports_.OpenPlugin);
    Resolve(library_, "ClosePlugin", exports_.ClosePlugin);
    Resolve(library_, "GetOpenPluginInfo", exports_.GetOpenPluginInfo);
    Resolve(library_, "SetDirectory", exports_.SetDirectory);
    Resolve(library_, "GetFindData", exports_.GetFindData);
    Resolve(library_, "FreeFindData", exports_.FreeFindData);
    Resolve(library_, "GetFiles", exports_.GetFiles);
    Resolve(library_, "ProcessKey", exports_.ProcessKey);
    const void* all[] = {reinterpret_cast<void*>(exports_.GetMinFarVersion),
                         reinterpret_cast<void*>(exports_.SetStartupInfo),
                         reinterpret_cast<void*>(exports_.GetPluginInfo),
                         reinterpret_cast<void*>(exports_.Configure),
                         reinterpret_cast<void*>(exports_.OpenPlugin),
                         reinterpret_cast<void*>(exports_.ClosePlugin),
                         reinterpret_cast<void*>(exports_.GetOpenPluginInfo),
                         reinterpret_cast<void*>(exports_.SetDirectory),
                         reinterpret_cast<void*>(exports_.GetFindData),
                         reinterpret_cast<void*>(exports_.FreeFindData),
                         reinterpret_cast<void*>(exports_.GetFiles),
                         reinterpret_cast<void*>(exports_.ProcessKey)};
    const auto found =
        std::count_if(std::begin(all), std::end(all), [](const void* f) { return f != nullptr; });
    out_.Print("loaded: " + std::to_string(found) + " of the 12 exports");
    if (found == 0) {
        out_.Fail("the library exports none of the plugin functions");
        return false;
    }
    return true;
}

bool PluginLoader::CheckVersion() {
    if (exports_.GetMinFarVersion == nullptr) {
        return true;
    }
    const unsigned w = static_cast<unsigned>(exports_.GetMinFarVersion());
    out_.Print("GetMinFarVersion -> " + Hex(w) + " (" + std::to_string((w >> 8) & 0xFF) + "." +
               std::to_string(w & 0xFF) + " build " + std::to_string(w >> 16) + ")");
    const unsigned have = static_cast<unsigned>(kHostVersion);
    if ((w & 0xFFFF) > (have & 0xFFFF) ||
        ((w & 0xFFFF) == (have & 0xFFFF) && (w >> 16) > (have >> 16))) {
        out_.Fail("the plugin needs a newer host than 1.70 build 2087");
        return false;
    }
    return true;
}

void PluginLoader::StartPlugin(const Services& services) {
    // The record lives only for the call, as in the real host: a plugin that
    // keeps the pointers instead of copying finds garbage.
    auto info = std::make_unique<PluginStartupInfo>(kit_.MakeStartupInfo());
    auto functions = std::make_unique<FarStandardFunctions>(*info->FSF);
    info->FSF = functions.get();
    info->Message = services.message;
    info->Dialog = services.dialog;
    info->Control = services.control;
    if (exports_.SetStartupInfo != nullptr) {
        exports_.SetStartupInfo(info.get());
        out_.Print("SetStartupInfo");
    }
    std::memset(static_cast<void*>(info.get()), 0xA5, sizeof *info);
    std::memset(static_cast<void*>(functions.get()), 0xA5, sizeof *functions);
}

void PluginLoader::ShowMenus() {
    if (exports_.GetPluginInfo == nullptr) {
        return;
    }
    PluginInfo pi{};
    exports_.GetPluginInfo(&pi);
    out_.Print("GetPluginInfo: flags " + Hex(pi.Flags) +
               (pi.StructSize == kPluginInfoSize
                    ? ""
                    : ", StructSize " + std::to_string(pi.StructSize) + " (expected " +
                          std::to_string(kPluginInfoSize) + ")"));
    auto strings = [&](const char* what, const char* const* list, int n, bool offered) {
        std::string line = std::string("  ") + what + ":";
        if (!offered) {
            line += " (not offered)";
        } else if (n <= 0 || list == nullptr) {
            line += " (none)";
        }
        for (int i = 0; offered && list != nullptr && i < n; ++i) {
            line += std::string(" \"") + (list[i] ? list[i] : "") + "\"";
        }
        out_.Print(line);
    };
    strings("disk menu", pi.DiskMenuStrings, pi.DiskMenuStringsNumber, true);
    strings("plugins menu", pi.PluginMenuStrings, pi.PluginMenuStringsNumber,
            !(pi.Flags & PF_DISABLEPANELS));
    strings("configuration menu", pi.PluginConfigStrings, pi.PluginConfigStringsNumber, true);
    if (pi.CommandPrefix != nullptr) {
        out_.Print(std::string("  command prefix: \"") + pi.CommandPrefix + "\"");
    }
}

} // namespace pixlor::host
