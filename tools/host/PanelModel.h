// The two panels as the host keeps them: the plugin's panel (its handle, what
// GetOpenPluginInfo said, the items GetFindData listed, the selection) and the
// passive panel on a real folder, the target of copies. It answers the
// plugin's Control calls about them.
#pragma once

#include <string>
#include <vector>

#include "host/FarApi.h"
#include "tools/host/Command.h"
#include "tools/host/PluginLoader.h"
#include "tools/host/Transcript.h"
#include "tools/hostkit/HostKit.h"

namespace pixlor::host {

class PanelModel {
public:
    PanelModel(const Exports& exports, hostkit::HostKit& kit, Transcript& out)
        : exports_(exports), kit_(kit), out_(out) {}

    bool IsOpen() const { return handle_ != nullptr; }
    HANDLE Handle() const { return handle_; }
    // The plugin's folder ("" at its root).
    const std::string& CurDir() const { return curDir_; }
    // Items the plugin listed, without the host's "..".
    int PluginItems() const { return pluginItems_; }
    // The items shown, the host's ".." included.
    const std::vector<PluginPanelItem>& Items() const { return kit_.activePanel.items; }
    // Every GetFindData was followed by its FreeFindData.
    bool FindDataBalanced() const { return findDataCalls_ == freeFindDataCalls_; }

    // OpenPlugin gave `handle`: the panel shows it (Read lists it).
    void Adopt(HANDLE handle) { handle_ = handle; }
    // GetOpenPluginInfo and GetFindData again; `keepSelection` keeps the
    // selected names selected. A failed GetFindData closes the panel.
    bool Read(bool keepSelection);
    void Print(bool keybar, bool title) const;
    // `select all|none|NAME...`; false for a name the panel does not show.
    bool Select(const Command& c);
    // The items a copy takes: the named ones, else the selected, else the one
    // at the cursor. False (reported) when there are none.
    bool ItemsFor(const std::vector<std::string>& names, std::vector<PluginPanelItem>& chosen);
    // After GetFiles over `names`: success clears their selection, otherwise
    // only the items the plugin deselected in `passed` lose it.
    void DeselectCopied(const std::vector<std::string>& names,
                        const std::vector<PluginPanelItem>& passed, int result);
    void CursorToTop() { kit_.activePanel.currentItem = 0; }
    // `cursor NAME`: the cursor on that item (".." too); false for a name the
    // panel does not show.
    bool PutCursor(const std::string& name);

    // ClosePlugin, and the panel is gone.
    void Close(const char* why);
    // FCTL_CLOSEPLUGIN is carried out once the plugin's call has returned.
    bool CloseRequested() const { return closeRequested_; }
    void CloseIfRequested();

    void SetPassiveFolder(std::string absolute);
    const std::string& PassiveFolder() const { return passiveFolder_; }
    // The passive panel lists its folder as it is now.
    void RefreshPassive();

    // The host's side of the plugin's Control calls.
    int Control(HANDLE plugin, int command, void* param);

private:
    struct KeyBarRow {
        std::string name; // the modifiers, "" for the plain keys
        std::vector<std::pair<int, std::string>> labels;
    };

    void ReadInfo();

    const Exports& exports_;
    hostkit::HostKit& kit_;
    Transcript& out_;

    HANDLE handle_ = nullptr; // null: no plugin panel
    bool closeRequested_ = false;
    std::string curDir_, title_, format_;
    FarDword flags_ = 0;
    int startSortMode_ = 0;
    std::vector<KeyBarRow> keyBar_;
    int pluginItems_ = 0;
    int findDataCalls_ = 0, freeFindDataCalls_ = 0;
    std::string passiveFolder_; // absolute
};

} // namespace pixlor::host
