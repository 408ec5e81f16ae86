// The twelve entry points the host looks up by name. Each only forwards, and
// none lets an exception reach the host.
#include "commands/HostCopy.h"
#include "commands/KeyCommands.h"
#include "configure/ConfigDialog.h"
#include "host/FarApi.h"
#include "plugin/CameraPanel.h"
#include "plugin/Startup.h"

#if defined(_WIN32)
#define PIXLOR_EXPORT
#else
#define PIXLOR_EXPORT __attribute__((visibility("default")))
#endif

using namespace pixlor;

namespace {

// The handle the host passes back is the panel OpenPlugin returned.
CameraPanel* PanelOf(HANDLE plugin) {
    return plugin == INVALID_HANDLE_VALUE ? nullptr : static_cast<CameraPanel*>(plugin);
}

} // namespace

extern "C" {

PIXLOR_EXPORT int PIXLOR_WINAPI GetMinFarVersion() noexcept {
    return kMinFarVersion;
}

PIXLOR_EXPORT void PIXLOR_WINAPI SetStartupInfo(const PluginStartupInfo* info) noexcept {
    try {
        if (info != nullptr) {
            StartPlugin(*info);
        }
    } catch (...) {
    }
}

PIXLOR_EXPORT void PIXLOR_WINAPI GetPluginInfo(PluginInfo* info) noexcept {
    try {
        if (info != nullptr) {
            FillPluginInfo(*info);
        }
    } catch (...) {
    }
}

PIXLOR_EXPORT int PIXLOR_WINAPI Configure(int itemNumber) noexcept {
    try {
        return pixlor::Configure(itemNumber);
    } catch (...) {
        return 0;
    }
}

PIXLOR_EXPORT HANDLE PIXLOR_WINAPI OpenPlugin(int /*openFrom*/, FarIntPtr /*item*/) noexcept {
    try {
        return pixlor::OpenPlugin();
    } catch (...) {
        return INVALID_HANDLE_VALUE;
    }
}

PIXLOR_EXPORT void PIXLOR_WINAPI ClosePlugin(HANDLE plugin) noexcept {
    try {
        pixlor::ClosePlugin(PanelOf(plugin));
    } catch (...) {
    }
}

PIXLOR_EXPORT void PIXLOR_WINAPI GetOpenPluginInfo(HANDLE plugin, OpenPluginInfo* info) noexcept {
    try {
        CameraPanel* panel = PanelOf(plugin);
        if (panel != nullptr && info != nullptr) {
            panel->GetOpenPluginInfo(*info);
        }
    } catch (...) {
    }
}

PIXLOR_EXPORT int PIXLOR_WINAPI SetDirectory(HANDLE plugin, const char* dir,
                                             int /*opMode*/) noexcept {
    try {
        CameraPanel* panel = PanelOf(plugin);
        return panel != nullptr ? panel->SetDirectory(dir) : 0;
    } catch (...) {
        return 0;
    }
}

PIXLOR_EXPORT int PIXLOR_WINAPI GetFindData(HANDLE plugin, PluginPanelItem** items, int* count,
                                            int /*opMode*/) noexcept {
    if (items == nullptr || count == nullptr) {
        return 0;
    }
    *items = nullptr;
    *count = 0;
    try {
        CameraPanel* panel = PanelOf(plugin);
        if (panel != nullptr) {
            panel->GetFindData(items, count);
        }
    } catch (...) {
        // Out of memory: an empty listing, since a failure would close the panel.
        *items = nullptr;
        *count = 0;
    }
    return 1;
}

PIXLOR_EXPORT void PIXLOR_WINAPI FreeFindData(HANDLE plugin, PluginPanelItem* items,
                                              int count) noexcept {
    try {
        if (CameraPanel* panel = PanelOf(plugin); panel != nullptr) {
            panel->FreeFindData(items, count);
        }
    } catch (...) {
    }
}

PIXLOR_EXPORT int PIXLOR_WINAPI GetFiles(HANDLE plugin, PluginPanelItem* items, int count,
                                         int /*move*/, char* destPath, int /*opMode*/) noexcept {
    try {
        if (plugin != nullptr && plugin != INVALID_HANDLE_VALUE) {
            // Moves and the operation mode change nothing: the host's copy
            // never deletes in the camera.
            return CopyRequestedFiles(*static_cast<CameraPanel*>(plugin), items, count, destPath);
        }
    } catch (...) {
    }
    return 0;
}

PIXLOR_EXPORT int PIXLOR_WINAPI ProcessKey(HANDLE plugin, int key,
                                           unsigned int controlState) noexcept {
    try {
        if (plugin != nullptr && plugin != INVALID_HANDLE_VALUE) {
            return ProcessPanelKey(*static_cast<CameraPanel*>(plugin), key, controlState);
        }
    } catch (...) {
    }
    return 0;
}

} // extern "C"
