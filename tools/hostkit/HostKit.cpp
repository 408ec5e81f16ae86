#include "tools/hostkit/HostKit.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "tools/hostkit/StandardFunctions.h"

namespace pixlor::hostkit {

namespace {

HostKit* current = nullptr;

const char* PIXLOR_WINAPI GetMsgService(FarIntPtr moduleNumber, int id) {
    return current ? current->GetMsg(moduleNumber, id) : "";
}
int PIXLOR_WINAPI MessageService(FarIntPtr moduleNumber, FarDword flags, const char* helpTopic,
                                 const char* const* items, int count, int buttons) {
    return current ? current->Message(moduleNumber, flags, helpTopic, items, count, buttons) : -1;
}
int PIXLOR_WINAPI DialogService(FarIntPtr moduleNumber, int x1, int y1, int x2, int y2,
                                const char* helpTopic, FarDialogItem* items, int count) {
    return current ? current->Dialog(moduleNumber, x1, y1, x2, y2, helpTopic, items, count) : -1;
}
int PIXLOR_WINAPI ControlService(HANDLE plugin, int command, void* param) {
    return current ? current->Control(plugin, command, param) : 0;
}
HANDLE PIXLOR_WINAPI SaveScreenService(int, int, int, int) {
    return current ? current->SaveScreen() : nullptr;
}
void PIXLOR_WINAPI RestoreScreenService(HANDLE screen) {
    if (current) {
        current->RestoreScreen(screen);
    }
}

// Services the plugin does not use: they refuse.
int PIXLOR_WINAPI MenuStub(FarIntPtr, int, int, int, FarDword, const char*, const char*,
                           const char*, const int*, int* breakCode, const FarMenuItem*, int) {
    if (breakCode)
        *breakCode = -1;
    return -1;
}
int PIXLOR_WINAPI GetDirListStub(const char*, PluginPanelItem** items, int* count) {
    if (items)
        *items = nullptr;
    if (count)
        *count = 0;
    return 0;
}
int PIXLOR_WINAPI GetPluginDirListStub(FarIntPtr, HANDLE, const char*, PluginPanelItem** items,
                                       int* count) {
    return GetDirListStub(nullptr, items, count);
}
void PIXLOR_WINAPI FreeDirListStub(const PluginPanelItem*) {}
int PIXLOR_WINAPI ViewerService(const char* fileName, const char* title, int x1, int y1, int x2,
                                int y2, FarDword flags) {
    return current ? current->Viewer(fileName, title, x1, y1, x2, y2, flags) : 0;
}
char* PIXLOR_WINAPI MkTempService(char* dest, const char* prefix) {
    return current ? current->MkTemp(dest, prefix) : nullptr;
}
int PIXLOR_WINAPI EditorStub(const char*, const char*, int, int, int, int, FarDword, int, int) {
    return 0;
}
int PIXLOR_WINAPI CmpNameStub(const char*, const char*, int) {
    return 0;
}
int PIXLOR_WINAPI CharTableStub(int, char*, int) {
    return -1;
}
void PIXLOR_WINAPI TextStub(int, int, int, const char*) {}
int PIXLOR_WINAPI CommandStub(int, void*) {
    return 0;
}
FarBool PIXLOR_WINAPI ShowHelpStub(const char*, const char*, FarDword) {
    return 0;
}
FarIntPtr PIXLOR_WINAPI AdvControlStub(FarIntPtr, int, void*) {
    return 0;
}
int PIXLOR_WINAPI InputBoxStub(const char*, const char*, const char*, const char*, char*, int,
                               const char*, FarDword) {
    return 0;
}
int PIXLOR_WINAPI DialogExStub(FarIntPtr, int, int, int, int, const char*, FarDialogItem*, int,
                               FarDword, FarDword, FARWINDOWPROC, FarLong) {
    return -1;
}
FarLong PIXLOR_WINAPI DlgMessageStub(HANDLE, int, int, FarLong) {
    return 0;
}

} // namespace

PluginPanelItem MakePanelItem(const std::string& name, FarDword size, FarUIntPtr userData,
                              FarDword flags) {
    PluginPanelItem item{};
    const std::size_t length = std::min(name.size(), sizeof item.FindData.cFileName - 1);
    std::memcpy(item.FindData.cFileName, name.data(), length);
    item.FindData.nFileSizeLow = size;
    item.FindData.dwFileAttributes = FILE_ATTRIBUTE_ARCHIVE;
    item.UserData = userData;
    item.Flags = flags;
    return item;
}

HostKit::HostKit() : previous_(current), functions_(MakeStandardFunctions()) {
    current = this;
    functions_.MkTemp = MkTempService;
    activePanel.plugin = true;
}

HostKit::~HostKit() {
    current = previous_;
}

HostKit* HostKit::Current() {
    return current;
}

bool HostKit::LoadLanguage(const std::string& path) {
    LanguageFile file;
    if (!ReadLanguageFile(path, file)) {
        return false;
    }
    texts_ = std::move(file.messages);
    return true;
}

void HostKit::SetMessages(std::vector<std::string> texts) {
    texts_ = std::move(texts);
}

PluginStartupInfo HostKit::MakeStartupInfo() {
    PluginStartupInfo info{};
    info.StructSize = static_cast<int>(sizeof info);
    const std::size_t length = std::min(moduleName.size(), sizeof info.ModuleName - 1);
    std::memcpy(info.ModuleName, moduleName.data(), length);
    info.ModuleNumber = moduleNumber;
    info.RootKey = rootKey.c_str();
    info.Menu = MenuStub;
    info.Dialog = DialogService;
    info.Message = MessageService;
    info.GetMsg = GetMsgService;
    info.Control = ControlService;
    info.SaveScreen = SaveScreenService;
    info.RestoreScreen = RestoreScreenService;
    info.GetDirList = GetDirListStub;
    info.GetPluginDirList = GetPluginDirListStub;
    info.FreeDirList = FreeDirListStub;
    info.Viewer = ViewerService;
    info.Editor = EditorStub;
    info.CmpName = CmpNameStub;
    info.CharTable = CharTableStub;
    info.Text = TextStub;
    info.EditorControl = CommandStub;
    info.FSF = &functions_;
    info.ShowHelp = ShowHelpStub;
    info.AdvControl = AdvControlStub;
    info.InputBox = InputBoxStub;
    info.DialogEx = DialogExStub;
    info.SendDlgMessage = DlgMessageStub;
    info.DefDlgProc = DlgMessageStub;
    info.ViewerControl = CommandStub;
    return info;
}

const char* HostKit::GetMsg(FarIntPtr number, int id) {
    if (number != moduleNumber) {
        ++wrongModuleNumbers;
    }
    if (id < 0 || static_cast<std::size_t>(id) >= texts_.size()) {
        ++badMessageNumbers;
        return "";
    }
    return texts_[static_cast<std::size_t>(id)].c_str();
}

int HostKit::Message(FarIntPtr number, FarDword flags, const char* helpTopic,
                     const char* const* items, int count, int buttons) {
    if (number != moduleNumber) {
        ++wrongModuleNumbers;
    }
    MessageCall call;
    call.flags = flags;
    call.hadHelpTopic = helpTopic != nullptr;
    call.helpTopic = helpTopic ? helpTopic : "";
    call.buttons = buttons;
    for (int i = 0; items != nullptr && i < count; ++i) {
        call.lines.emplace_back(items[i] ? items[i] : "");
    }
    if (call.WaitsForAnswer()) {
        call.answer = -1;
        if (!messageAnswers.empty()) {
            call.answer = messageAnswers.front();
            messageAnswers.pop_front();
        }
    }
    messages.push_back(call);
    return call.answer;
}

int HostKit::Dialog(FarIntPtr number, int x1, int y1, int x2, int y2, const char* helpTopic,
                    FarDialogItem* items, int count) {
    if (number != moduleNumber) {
        ++wrongModuleNumbers;
    }
    if (items == nullptr || count <= 0 || x2 < 0 || y2 < 0) {
        return -1;
    }
    DialogCall call{x1, y1, x2, y2, helpTopic ? helpTopic : "", {items, items + count}, -1};
    if (onDialog) {
        call.answer = onDialog(call, items, count);
    } else if (!dialogAnswers.empty()) {
        call.answer = dialogAnswers.front();
        dialogAnswers.pop_front();
    }
    // The host marks the button that closed the dialog.
    if (call.answer >= 0 && call.answer < count && items[call.answer].Type == DI_BUTTON) {
        items[call.answer].Selected = 1;
    }
    dialogs.push_back(std::move(call));
    return dialogs.back().answer;
}

Panel& HostKit::PanelFor(HANDLE, bool another) {
    return another ? passivePanel : activePanel;
}

void HostKit::FillPanelInfo(Panel& panel, PanelInfo& info) {
    const bool active = &panel == &activePanel;
    auto& all = active ? activeInfoItems_ : passiveInfoItems_;
    auto& selected = active ? activeInfoSelected_ : passiveInfoSelected_;
    all = panel.items;
    selected.clear();
    for (const PluginPanelItem& item : all) {
        if (item.Flags & PPIF_SELECTED) {
            selected.push_back(item);
        }
    }
    // With nothing selected the host reports the cursor item as the selection.
    if (selected.empty() && panel.currentItem >= 0 &&
        static_cast<std::size_t>(panel.currentItem) < all.size()) {
        selected.push_back(all[static_cast<std::size_t>(panel.currentItem)]);
    }
    info = PanelInfo{};
    info.PanelType = panel.panelType;
    info.Plugin = panel.plugin ? 1 : 0;
    info.PanelRect = FarRect{0, 1, 39, 22};
    info.PanelItems = all.empty() ? nullptr : all.data();
    info.ItemsNumber = static_cast<int>(all.size());
    info.SelectedItems = selected.empty() ? nullptr : selected.data();
    info.SelectedItemsNumber = static_cast<int>(selected.size());
    info.CurrentItem = panel.currentItem;
    info.Visible = 1;
    info.Focus = active ? 1 : 0;
    const std::size_t length = std::min(panel.curDir.size(), sizeof info.CurDir - 1);
    std::memcpy(info.CurDir, panel.curDir.data(), length);
}

void HostKit::ApplySelection(Panel& panel, const PanelInfo& info) {
    const std::size_t count =
        std::min(panel.items.size(), static_cast<std::size_t>(std::max(info.ItemsNumber, 0)));
    for (std::size_t i = 0; info.PanelItems != nullptr && i < count; ++i) {
        panel.items[i].Flags =
            (panel.items[i].Flags & ~PPIF_SELECTED) | (info.PanelItems[i].Flags & PPIF_SELECTED);
    }
}

void HostKit::Update(Panel& panel, bool keepSelection) {
    std::vector<std::string> selected;
    for (const PluginPanelItem& item : panel.items) {
        if (keepSelection && (item.Flags & PPIF_SELECTED) != 0) {
            selected.emplace_back(item.FindData.cFileName,
                                  strnlen(item.FindData.cFileName, sizeof item.FindData.cFileName));
        }
    }
    if (rereadItems && &panel == &activePanel) {
        panel.items = rereadItems();
    }
    for (PluginPanelItem& item : panel.items) {
        const std::string name(item.FindData.cFileName,
                               strnlen(item.FindData.cFileName, sizeof item.FindData.cFileName));
        const bool keep = std::find(selected.begin(), selected.end(), name) != selected.end();
        item.Flags = keep ? (item.Flags | PPIF_SELECTED) : (item.Flags & ~PPIF_SELECTED);
    }
}

int HostKit::Control(HANDLE plugin, int command, void* param) {
    ControlCall call{plugin, command, param, {}};
    int result = 1;
    switch (command) {
    case FCTL_CLOSEPLUGIN:
        call.text = param ? static_cast<const char*>(param) : "";
        break;
    case FCTL_GETPANELINFO:
    case FCTL_GETANOTHERPANELINFO:
        if (param == nullptr) {
            result = 0;
        } else {
            FillPanelInfo(PanelFor(plugin, command == FCTL_GETANOTHERPANELINFO),
                          *static_cast<PanelInfo*>(param));
        }
        break;
    case FCTL_SETSELECTION:
    case FCTL_SETANOTHERSELECTION:
        if (param == nullptr) {
            result = 0;
        } else {
            ApplySelection(PanelFor(plugin, command == FCTL_SETANOTHERSELECTION),
                           *static_cast<const PanelInfo*>(param));
        }
        break;
    case FCTL_REDRAWPANEL:
        if (param != nullptr) {
            activePanel.currentItem = static_cast<const PanelRedrawInfo*>(param)->CurrentItem;
        }
        break;
    case FCTL_UPDATEPANEL:
    case FCTL_UPDATEANOTHERPANEL:
        // Null: re-read and clear the selection; anything else: re-read keeping it.
        Update(PanelFor(plugin, command == FCTL_UPDATEANOTHERPANEL), param != nullptr);
        break;
    case FCTL_REDRAWANOTHERPANEL:
        break;
    default:
        result = 0;
        break;
    }
    controls.push_back(call);
    return result;
}

int HostKit::CountControls(int command) const {
    return static_cast<int>(
        std::count_if(controls.begin(), controls.end(),
                      [command](const ControlCall& c) { return c.command == command; }));
}

HANDLE HostKit::SaveScreen() {
    ++screensSaved;
    HANDLE screen = reinterpret_cast<HANDLE>(kAbove4GiB + nextScreen_++ * 0x10);
    openScreens_.push_back(screen);
    return screen;
}

void HostKit::RestoreScreen(HANDLE screen) {
    if (screen == nullptr) {
        ++screenRereads;
        return;
    }
    const auto found = std::find(openScreens_.begin(), openScreens_.end(), screen);
    if (found == openScreens_.end()) {
        ++badRestores;
        return;
    }
    openScreens_.erase(found);
    ++screensRestored;
}

int HostKit::Viewer(const char* fileName, const char* title, int x1, int y1, int x2, int y2,
                    FarDword flags) {
    ViewerCall call;
    call.fileName = fileName != nullptr ? fileName : "";
    call.hadTitle = title != nullptr;
    call.title = title != nullptr ? title : "";
    call.x1 = x1;
    call.y1 = y1;
    call.x2 = x2;
    call.y2 = y2;
    call.flags = flags;
    call.answer = onViewer ? onViewer(call) : 1;
    viewers.push_back(call);
    return call.answer;
}

char* HostKit::MkTemp(char* dest, const char* prefix) {
    if (dest == nullptr || prefix == nullptr || *prefix == '\0') {
        return nullptr;
    }
    char number[16];
    std::snprintf(number, sizeof number, "%06d", ++tempNames);
    // The host's rule: a buffer of NM characters.
    const std::string name = tempFolder + tempSeparator + prefix + number;
    if (name.size() >= static_cast<std::size_t>(NM)) {
        dest[0] = '\0';
        return nullptr;
    }
    std::memcpy(dest, name.c_str(), name.size() + 1);
    return dest;
}

} // namespace pixlor::hostkit
