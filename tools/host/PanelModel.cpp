#include "tools/host/PanelModel.h"

#include <algorithm>

#include "tools/host/Render.h"
#include "tools/host/System.h"

namespace pixlor::host {

namespace {

std::string Hex(unsigned long value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", value);
    return text;
}

PluginPanelItem Dots() {
    PluginPanelItem dots = hostkit::MakePanelItem("..");
    dots.FindData.dwFileAttributes = FILE_ATTRIBUTE_DIRECTORY;
    return dots;
}

} // namespace

void PanelModel::ReadInfo() {
    OpenPluginInfo opi{};
    if (exports_.GetOpenPluginInfo != nullptr) {
        exports_.GetOpenPluginInfo(handle_, &opi);
    }
    curDir_ = opi.CurDir ? opi.CurDir : "";
    title_ = opi.PanelTitle ? opi.PanelTitle : "";
    format_ = opi.Format ? opi.Format : "";
    flags_ = opi.Flags;
    startSortMode_ = opi.StartSortMode;
    keyBar_.clear();
    if (opi.KeyBar == nullptr) {
        return;
    }
    const KeyBarTitles& kb = *opi.KeyBar;
    const struct {
        const char* name;
        const char* const* labels;
    } rows[] = {{"", kb.Titles},
                {"Ctrl+", kb.CtrlTitles},
                {"Alt+", kb.AltTitles},
                {"Shift+", kb.ShiftTitles},
                {"Ctrl+Shift+", kb.CtrlShiftTitles},
                {"Alt+Shift+", kb.AltShiftTitles},
                {"Ctrl+Alt+", kb.CtrlAltTitles}};
    // An older record ends after the Shift row.
    const int rowCount = opi.StructSize >= kOpenPluginInfoSize ? 7 : 4;
    for (int r = 0; r < rowCount; ++r) {
        KeyBarRow row{rows[r].name, {}};
        for (int k = 0; k < 12; ++k) {
            if (rows[r].labels[k] != nullptr) {
                // The host keeps at most 9 characters of a label.
                row.labels.emplace_back(k + 1, std::string(rows[r].labels[k]).substr(0, 9));
            }
        }
        keyBar_.push_back(std::move(row));
    }
}

bool PanelModel::Read(bool keepSelection) {
    if (handle_ == nullptr || exports_.GetFindData == nullptr) {
        return false;
    }
    ReadInfo();
    std::vector<std::string> selected;
    for (const PluginPanelItem& item : kit_.activePanel.items) {
        if (item.Flags & PPIF_SELECTED) {
            selected.push_back(ItemName(item));
        }
    }
    PluginPanelItem* items = nullptr;
    int count = 0;
    const int ok = exports_.GetFindData(handle_, &items, &count, 0);
    ++findDataCalls_;
    if (!ok) {
        ++freeFindDataCalls_; // nothing was handed out
        Close("GetFindData failed");
        return false;
    }
    std::vector<PluginPanelItem> list;
    for (int i = 0; items != nullptr && i < count; ++i) {
        PluginPanelItem item = items[i];
        // Only what the host copies survives FreeFindData.
        item.Description = nullptr;
        item.Owner = nullptr;
        item.CustomColumnData = nullptr;
        item.CustomColumnNumber = 0;
        if (keepSelection) {
            const std::string name = ItemName(item);
            if (std::find(selected.begin(), selected.end(), name) != selected.end()) {
                item.Flags |= PPIF_SELECTED;
            }
        }
        list.push_back(item);
    }
    if (exports_.FreeFindData != nullptr) {
        exports_.FreeFindData(handle_, items, count);
    }
    ++freeFindDataCalls_;
    pluginItems_ = count < 0 ? 0 : count;
    const bool hasDots = std::any_of(list.begin(), list.end(), [](const PluginPanelItem& item) {
        return ItemName(item) == "..";
    });
    if ((flags_ & OPIF_ADDDOTS) && !hasDots) {
        list.insert(list.begin(), Dots());
    }
    kit_.activePanel.items = std::move(list);
    kit_.activePanel.curDir = curDir_;
    kit_.activePanel.plugin = true;
    const int size = static_cast<int>(kit_.activePanel.items.size());
    kit_.activePanel.currentItem =
        std::clamp(kit_.activePanel.currentItem, 0, std::max(size - 1, 0));
    return true;
}

void PanelModel::Print(bool keybar, bool title) const {
    out_.Print("panel dir \"" + curDir_ + "\": " + std::to_string(pluginItems_) + " items");
    if (title) {
        out_.Print("  title \"" + title_ + "\" format \"" + format_ + "\" flags " + Hex(flags_) +
                   " sort " + std::to_string(startSortMode_));
    }
    for (const PluginPanelItem& item : kit_.activePanel.items) {
        out_.Print("  " + FormatItem(item));
    }
    if (!keybar) {
        return;
    }
    for (const KeyBarRow& row : keyBar_) {
        std::string line = "  keys " + (row.name.empty() ? std::string("plain") : row.name) + ":";
        for (const auto& [key, label] : row.labels) {
            line +=
                " " + row.name + "F" + std::to_string(key) + "=" + (label.empty() ? "\"\"" : label);
        }
        out_.Print(line);
    }
}

bool PanelModel::Select(const Command& c) {
    auto& items = kit_.activePanel.items;
    if (c.select != SelectHow::Names) {
        for (PluginPanelItem& item : items) {
            const bool on = c.select == SelectHow::All && ItemName(item) != "..";
            item.Flags = on ? (item.Flags | PPIF_SELECTED) : (item.Flags & ~PPIF_SELECTED);
        }
    } else {
        for (const std::string& name : c.names) {
            auto found = std::find_if(items.begin(), items.end(), [&](const PluginPanelItem& i) {
                return ItemName(i) == name;
            });
            if (found == items.end() || name == "..") {
                out_.Fail("no item '" + name + "' to select");
                return false;
            }
            found->Flags |= PPIF_SELECTED;
        }
    }
    const auto n = std::count_if(items.begin(), items.end(), [](const PluginPanelItem& i) {
        return (i.Flags & PPIF_SELECTED) != 0;
    });
    out_.Print("selected: " + std::to_string(n) + " items");
    return true;
}

bool PanelModel::PutCursor(const std::string& name) {
    const auto& items = kit_.activePanel.items;
    const auto found = std::find_if(items.begin(), items.end(),
                                    [&](const PluginPanelItem& i) { return ItemName(i) == name; });
    if (found == items.end()) {
        out_.Fail("no item '" + name + "' to put the cursor on");
        return false;
    }
    kit_.activePanel.currentItem = static_cast<int>(found - items.begin());
    out_.Print("cursor: " + name);
    return true;
}

bool PanelModel::ItemsFor(const std::vector<std::string>& names,
                          std::vector<PluginPanelItem>& chosen) {
    chosen.clear();
    const auto& items = kit_.activePanel.items;
    if (!names.empty()) {
        for (const std::string& name : names) {
            auto found = std::find_if(items.begin(), items.end(), [&](const PluginPanelItem& i) {
                return ItemName(i) == name;
            });
            if (found == items.end() || name == "..") {
                out_.Fail("no item '" + name + "' in the panel");
                chosen.clear();
                return false;
            }
            chosen.push_back(*found);
            chosen.back().Flags |= PPIF_SELECTED;
        }
        return true;
    }
    for (const PluginPanelItem& item : items) {
        if (item.Flags & PPIF_SELECTED) {
            chosen.push_back(item);
        }
    }
    if (chosen.empty()) {
        // The cursor item: the first one that is not "..".
        const auto cursor = std::find_if(items.begin(), items.end(), [](const PluginPanelItem& i) {
            return ItemName(i) != "..";
        });
        if (cursor != items.end()) {
            chosen.push_back(*cursor);
        }
    }
    if (chosen.empty()) {
        out_.Fail("no item to copy");
        return false;
    }
    return true;
}

void PanelModel::DeselectCopied(const std::vector<std::string>& names,
                                const std::vector<PluginPanelItem>& passed, int result) {
    for (PluginPanelItem& item : kit_.activePanel.items) {
        const auto at = std::find(names.begin(), names.end(), ItemName(item));
        if (at == names.end()) {
            continue;
        }
        const PluginPanelItem& copied = passed[static_cast<std::size_t>(at - names.begin())];
        if (result == 1 || !(copied.Flags & PPIF_SELECTED)) {
            item.Flags &= ~PPIF_SELECTED;
        }
    }
}

void PanelModel::Close(const char* why) {
    if (handle_ == nullptr) {
        return;
    }
    HANDLE handle = handle_;
    handle_ = nullptr;
    closeRequested_ = false;
    if (exports_.ClosePlugin != nullptr) {
        exports_.ClosePlugin(handle);
    }
    kit_.activePanel.items.clear();
    pluginItems_ = 0;
    curDir_.clear();
    out_.Print(std::string("ClosePlugin (") + why + ")");
}

void PanelModel::CloseIfRequested() {
    if (closeRequested_) {
        Close("FCTL_CLOSEPLUGIN");
    }
}

void PanelModel::SetPassiveFolder(std::string absolute) {
    passiveFolder_ = std::move(absolute);
    out_.MaskFolder(passiveFolder_);
}

void PanelModel::RefreshPassive() {
    std::vector<sys::FolderEntry> entries;
    sys::ListFolder(passiveFolder_, entries);
    auto& items = kit_.passivePanel.items;
    items.clear();
    items.push_back(Dots());
    for (const sys::FolderEntry& e : entries) {
        PluginPanelItem item = hostkit::MakePanelItem(e.name, static_cast<FarDword>(e.size));
        item.FindData.nFileSizeHigh = static_cast<FarDword>(e.size >> 32);
        item.FindData.dwFileAttributes =
            e.folder ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
        const FarFileTime time{static_cast<FarDword>(e.writeTime),
                               static_cast<FarDword>(e.writeTime >> 32)};
        item.FindData.ftCreationTime = time;
        item.FindData.ftLastAccessTime = time;
        item.FindData.ftLastWriteTime = time;
        items.push_back(item);
    }
    kit_.passivePanel.curDir = passiveFolder_;
    kit_.passivePanel.plugin = false;
    kit_.passivePanel.currentItem = 0;
}

int PanelModel::Control(HANDLE plugin, int command, void* param) {
    if (command == FCTL_GETANOTHERPANELINFO || command == FCTL_UPDATEANOTHERPANEL) {
        RefreshPassive();
    }
    const int result = kit_.Control(plugin, command, param);
    if (command == FCTL_SETSELECTION && param != nullptr) {
        std::string line = "(selection set:";
        int selected = 0;
        for (const PluginPanelItem& item : kit_.activePanel.items) {
            if (item.Flags & PPIF_SELECTED) {
                line += " " + ItemName(item);
                ++selected;
            }
        }
        out_.Print(line + (selected == 0 ? " none)" : ")"));
    }
    if (command == FCTL_UPDATEPANEL && handle_ != nullptr) {
        Read(param != nullptr);
    } else if (command == FCTL_CLOSEPLUGIN) {
        closeRequested_ = true; // after the plugin function returns
    }
    return result;
}

} // namespace pixlor::host
