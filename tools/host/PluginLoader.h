// Loading the plugin as the host does: the library, its exports, the version
// it asks for, the language file beside it, SetStartupInfo with the host's
// record (alive only for the call), and the menus GetPluginInfo offers.
#pragma once

#include <string>

#include "host/FarApi.h"
#include "tools/host/Transcript.h"
#include "tools/hostkit/HostKit.h"

namespace pixlor::host {

// The plugin's twelve exports (any may be missing).
struct Exports {
    int(PIXLOR_WINAPI* GetMinFarVersion)() = nullptr;
    void(PIXLOR_WINAPI* SetStartupInfo)(const PluginStartupInfo*) = nullptr;
    void(PIXLOR_WINAPI* GetPluginInfo)(PluginInfo*) = nullptr;
    int(PIXLOR_WINAPI* Configure)(int) = nullptr;
    HANDLE(PIXLOR_WINAPI* OpenPlugin)(int, FarIntPtr) = nullptr;
    void(PIXLOR_WINAPI* ClosePlugin)(HANDLE) = nullptr;
    void(PIXLOR_WINAPI* GetOpenPluginInfo)(HANDLE, OpenPluginInfo*) = nullptr;
    int(PIXLOR_WINAPI* SetDirectory)(HANDLE, const char*, int) = nullptr;
    int(PIXLOR_WINAPI* GetFindData)(HANDLE, PluginPanelItem**, int*, int) = nullptr;
    void(PIXLOR_WINAPI* FreeFindData)(HANDLE, PluginPanelItem*, int) = nullptr;
    int(PIXLOR_WINAPI* GetFiles)(HANDLE, PluginPanelItem*, int, int, char*, int) = nullptr;
    int(PIXLOR_WINAPI* ProcessKey)(HANDLE, int, unsigned int) = nullptr;
};

// The host's own version: 1.70 build 2087.
inline constexpr int kHostVersion = (1 << 8) | 70 | (2087 << 16);

// The services the host's record points to, beside the kit's own.
struct Services {
    FARAPIMESSAGE message = nullptr;
    FARAPIDIALOG dialog = nullptr;
    FARAPICONTROL control = nullptr;
};

struct LanguageChoice {
    std::string path;     // empty when the folder holds no language file
    std::string language; // the name in its header
};

// The .lng file of `folder` the host uses for `wanted`: that language, else
// English, else the first one found.
LanguageChoice ChooseLanguageFile(const std::string& folder, const std::string& wanted);

class PluginLoader {
public:
    PluginLoader(hostkit::HostKit& kit, Transcript& out) : kit_(kit), out_(out) {}

    // Prints what the host learns; false (with the failure reported) when the
    // plugin cannot be used.
    bool Load(const std::string& path, const std::string& language, const Services& services);
    bool Loaded() const { return loaded_; }
    const Exports& Functions() const { return exports_; }

private:
    bool ResolveExports(const std::string& path);
    bool CheckVersion();
    void StartPlugin(const Services& services);
    void ShowMenus();

    hostkit::HostKit& kit_;
    Transcript& out_;
    void* library_ = nullptr;
    Exports exports_;
    bool loaded_ = false;
};

} // namespace pixlor::host
