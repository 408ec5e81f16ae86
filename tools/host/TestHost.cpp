#include "tools/host/TestHost.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "tools/host/System.h"
#include "tools/host/ViewerService.h"
#include "tools/hostkit/LanguageFile.h"

namespace pixlor::host {

namespace {

TestHost* current = nullptr;

int PIXLOR_WINAPI MessageService(int number, FarDword flags, const char* helpTopic,
                                 const char* const* items, int count, int buttons) {
    return current ? current->OnMessage(number, flags, helpTopic, items, count, buttons) : -1;
}
int PIXLOR_WINAPI DialogService(int number, int x1, int y1, int x2, int y2, const char* helpTopic,
                                FarDialogItem* items, int count) {
    return current ? current->OnDialog(number, x1, y1, x2, y2, helpTopic, items, count) : -1;
}
int PIXLOR_WINAPI ControlService(HANDLE plugin, int command, void* param) {
    return current ? current->OnControl(plugin, command, param) : 0;
}

std::string ItemName(const PluginPanelItem& item) {
    return std::string(item.FindData.cFileName,
                       strnlen(item.FindData.cFileName, sizeof item.FindData.cFileName));
}

bool SameText(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

std::string KeyName(int key, unsigned modifiers) {
    std::string name;
    if (modifiers & PKF_SHIFT) {
        name += "Shift+";
    }
    if (modifiers & PKF_CONTROL) {
        name += "Ctrl+";
    }
    if (modifiers & PKF_ALT) {
        name += "Alt+";
    }
    if (key == VK_RETURN) {
        return name + "Enter";
    }
    return name + "F" + std::to_string(key - VK_F1 + 1);
}

std::string Hex(unsigned long value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", value);
    return text;
}

template <typename F> void Resolve(void* library, const char* name, F& function) {
    function = reinterpret_cast<F>(sys::LibrarySymbol(library, name));
}

void CopyText(char* buffer, std::size_t size, const std::string& text) {
    const std::size_t length = std::min(text.size(), size - 1);
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
}

} // namespace

TestHost* CurrentHost() {
    return current;
}

TestHost::TestHost(HostOptions options, std::FILE* out) : options_(std::move(options)), out_(out) {
    current = this;
    kit_.rootKey = "Software\\Far\\Plugins";
    passiveDir_ = sys::FullPath(".");
    // MkTemp's names lie in "temp" of the working folder, made by Load.
    kit_.tempFolder = sys::FullPath("temp");
    kit_.onViewer = [this](hostkit::ViewerCall& call) {
        Print(ViewAndClose(call));
        return call.answer;
    };
}

TestHost::~TestHost() {
    current = nullptr;
}

std::string TestHost::Normalise(std::string text) const {
    // First: the temporary folder may lie inside the passive one.
    if (kit_.tempFolder.size() > 3) {
        std::string windowsForm = kit_.tempFolder;
        std::replace(windowsForm.begin(), windowsForm.end(), '/', '\\');
        text = ReplaceAll(ReplaceAll(std::move(text), kit_.tempFolder, "<temp>"), windowsForm,
                          "<temp>");
    }
    if (passiveDir_.size() > 3) {
        text = ReplaceAll(std::move(text), passiveDir_, "<passive>");
        // The plugin writes its paths with backslashes, also natively.
        std::string windowsForm = passiveDir_;
        std::replace(windowsForm.begin(), windowsForm.end(), '/', '\\');
        text = ReplaceAll(std::move(text), windowsForm, "<passive>");
    }
    return text;
}

void TestHost::Print(const std::string& line, bool oem) {
    // The plugin's texts are OEM bytes; the terminal shows UTF-8.
    const std::string shown = oem ? OemToUtf8(Normalise(line), codePage_) : Normalise(line);
    const std::string text = shown + "\n";
    std::fwrite(text.data(), 1, text.size(), out_);
    std::fflush(out_);
}

void TestHost::Fail(const Command& c, const std::string& why) {
    failed_ = true;
    Print("FAILED line " + std::to_string(c.line) + ": " + why);
}

void TestHost::Fail(const std::string& why) {
    failed_ = true;
    Print("FAILED line " + std::to_string(currentLine_) + ": " + why);
}

int TestHost::Run(const std::vector<Command>& commands) {
    if (options_.setSerialPorts) {
        std::string error;
        if (!sys::SetSerialPorts(options_.serialPorts, error)) {
            Print("FAILED: " + error);
            return 1;
        }
    }
    for (const Command& c : commands) {
        currentLine_ = c.line;
        if (!Execute(c)) {
            Print("stopped at line " + std::to_string(c.line));
            break;
        }
    }
    if (panel_ != nullptr) {
        ClosePanel("end of script");
    }
    if (!replies_.empty()) {
        Fail(std::to_string(replies_.size()) + " scripted replies were never used (first: line " +
             std::to_string(replies_.front().line) + ")");
    }
    if (!pending_.edits.empty() || !pending_.checks.empty()) {
        Fail("dialog changes without a reply after them");
    }
    if (escTarget_ > 0) {
        Fail("progress box " + std::to_string(escTarget_) + " for the Esc never came");
    }
    if (stopwatch_.armed) {
        Fail("the stopwatch was armed, but no plugin call came to time");
    }
    if (findDataCalls_ != freeFindDataCalls_) {
        Fail("GetFindData and FreeFindData calls differ");
    }
    Print(failed_ ? "result: FAILED" : "result: ok");
    return failed_ ? 1 : 0;
}

bool TestHost::Execute(const Command& c) {
    auto needPanel = [&]() {
        if (panel_ == nullptr) {
            Fail(c, "no plugin panel is open");
            return false;
        }
        return true;
    };
    switch (c.op) {
    case Op::Load:
    case Op::Open:
    case Op::Cd:
    case Op::Key:
    case Op::GetFiles:
    case Op::Configure:
    case Op::Close:
        lastBoxes_.clear();
        Print("> " + std::string(c.op == Op::Load        ? "load"
                                 : c.op == Op::Open      ? "open"
                                 : c.op == Op::Cd        ? "cd " + c.Text()
                                 : c.op == Op::Key       ? "key " + KeyName(c.key, c.modifiers)
                                 : c.op == Op::GetFiles  ? "getfiles"
                                 : c.op == Op::Configure ? "configure"
                                                         : "close"));
        break;
    default:
        break;
    }
    switch (c.op) {
    case Op::Load:
        if (loaded_) {
            Fail(c, "the plugin is loaded already");
            return false;
        }
        return Load();
    case Op::Open:
        return (loaded_ || Load()) && Open();
    case Op::List:
        if (!needPanel()) {
            return false;
        }
        PrintPanel(c.keybar, c.title);
        return true;
    case Op::Cd:
        return needPanel() && ChangeFolder(c.Text());
    case Op::Select:
        return needPanel() && SelectItems(c);
    case Op::Cursor: {
        if (!needPanel()) {
            return false;
        }
        const auto& items = kit_.activePanel.items;
        const auto found = std::find_if(items.begin(), items.end(), [&](const PluginPanelItem& i) {
            return ItemName(i) == c.Text();
        });
        if (found == items.end()) {
            Fail(c, "no item '" + c.Text() + "' to put the cursor on");
            return false;
        }
        kit_.activePanel.currentItem = static_cast<int>(found - items.begin());
        Print("cursor: " + c.Text());
        return true;
    }
    case Op::Key:
        return needPanel() && PressKey(c);
    case Op::GetFiles: {
        if (!needPanel()) {
            return false;
        }
        bool ok = true;
        std::vector<PluginPanelItem> items = ItemsFor(c.names, ok);
        if (!ok) {
            return false;
        }
        if (c.shift && !sys::HoldShift(true)) {
            Print("note: Shift cannot be held down here; the plugin sees it released");
        }
        const bool result = HostCopy(std::move(items), false);
        if (c.shift) {
            sys::HoldShift(false);
        }
        AfterPluginCall();
        return result;
    }
    case Op::Configure: {
        if (!loaded_ && !Load()) {
            return false;
        }
        if (exports_.Configure == nullptr) {
            Fail(c, "the plugin has no Configure");
            return false;
        }
        ++depth_;
        lastResult_ = exports_.Configure(0);
        --depth_;
        Print("Configure(0) -> " + std::to_string(lastResult_));
        if (exports_.GetPluginInfo != nullptr) {
            PluginInfo info{};
            exports_.GetPluginInfo(&info);
        }
        return true;
    }
    case Op::Close:
        if (!needPanel()) {
            return false;
        }
        ClosePanel("close");
        return true;
    case Op::Reply:
        pending_.how = c.reply;
        pending_.button = c.number;
        pending_.line = c.line;
        replies_.push_back(std::move(pending_));
        pending_ = Reply{};
        return true;
    case Op::Edit:
        pending_.edits.emplace_back(c.number, c.Text());
        return true;
    case Op::Radio:
        pending_.checks.emplace_back(c.number, -1);
        return true;
    case Op::Check:
        pending_.checks.emplace_back(c.number, c.Text()[0] - '0');
        return true;
    case Op::EscProgress:
        escTarget_ = c.number;
        escVirtualKey_ = c.virtualKeyEsc;
        notesSeen_ = 0;
        return true;
    case Op::Passive:
        if (!sys::MakeFolders(c.Text())) {
            Fail(c, "cannot create the folder " + c.Text());
            return false;
        }
        passiveDir_ = sys::FullPath(c.Text());
        return true;
    case Op::Language:
        if (loaded_) {
            Fail(c, "'language' must come before the plugin is loaded");
            return false;
        }
        language_ = c.Text();
        return true;
    case Op::Stopwatch:
        stopwatch_ = Stopwatch{};
        stopwatch_.armed = true;
        return true;
    case Op::Echo: {
        std::string text;
        for (const std::string& word : c.names) {
            text += (text.empty() ? "" : " ") + word;
        }
        Print(text, false); // the script's own text, UTF-8 already
        return true;
    }
    default:
        Expect(c);
        return true;
    }
}

bool TestHost::Load() {
    std::string path = options_.pluginPath;
    std::string error;
    library_ = sys::OpenLibrary(path, error);
    if (library_ == nullptr) {
        Fail("cannot load " + path + ": " + error);
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
    Print("loaded: " + std::to_string(found) + " of the 12 exports");
    if (found == 0) {
        Fail("the library exports none of the plugin functions");
        return false;
    }

    if (exports_.GetMinFarVersion != nullptr) {
        const int wanted = exports_.GetMinFarVersion();
        const unsigned w = static_cast<unsigned>(wanted);
        Print("GetMinFarVersion -> " + Hex(w) + " (" + std::to_string((w >> 8) & 0xFF) + "." +
              std::to_string(w & 0xFF) + " build " + std::to_string(w >> 16) + ")");
        const unsigned have = static_cast<unsigned>(kHostVersion);
        if ((w & 0xFFFF) > (have & 0xFFFF) ||
            ((w & 0xFFFF) == (have & 0xFFFF) && (w >> 16) > (have >> 16))) {
            Fail("the plugin needs a newer host than 1.70 build 2087");
            return false;
        }
    }

    kit_.moduleName = sys::LibraryPath(library_, path);
    // The language file beside the plugin: the wanted one, else English, else the last.
    const std::string module = kit_.moduleName;
    const std::string folder = module.substr(0, module.find_last_of("\\/"));
    std::vector<sys::FolderEntry> entries;
    std::string chosen;
    std::string chosenLanguage;
    std::string english;
    std::string englishLanguage;
    if (sys::ListFolder(folder, entries)) {
        for (const sys::FolderEntry& e : entries) {
            if (e.folder || e.name.size() < 4 ||
                !SameText(e.name.substr(e.name.size() - 4), ".lng")) {
                continue;
            }
            hostkit::LanguageFile file;
            const std::string lngPath = folder + sys::Separator() + e.name;
            if (!hostkit::ReadLanguageFile(lngPath, file)) {
                continue;
            }
            if (SameText(file.language, language_)) {
                chosen = lngPath;
                chosenLanguage = file.language;
            } else if (SameText(file.language, "English") || (chosen.empty() && english.empty())) {
                english = lngPath;
                englishLanguage = file.language;
            }
        }
    }
    if (chosen.empty()) {
        chosen = english;
        chosenLanguage = englishLanguage;
    }
    codePage_ = OemCodePageFor(chosenLanguage);
    if (chosen.empty() || !kit_.LoadLanguage(chosen)) {
        Print("note: no language file beside the plugin");
    }

    if (!sys::MakeFolders(kit_.tempFolder)) {
        Print("note: no temporary folder " + kit_.tempFolder);
    }

    // The record lives only for the call, as in the real host: a plugin that
    // keeps the pointers instead of copying finds garbage.
    auto info = std::make_unique<PluginStartupInfo>(kit_.MakeStartupInfo());
    auto functions = std::make_unique<FarStandardFunctions>(*info->FSF);
    info->FSF = functions.get();
    info->Message = MessageService;
    info->Dialog = DialogService;
    info->Control = ControlService;
    if (exports_.SetStartupInfo != nullptr) {
        ++depth_;
        exports_.SetStartupInfo(info.get());
        --depth_;
        Print("SetStartupInfo");
    }
    std::memset(static_cast<void*>(info.get()), 0xA5, sizeof *info);
    std::memset(static_cast<void*>(functions.get()), 0xA5, sizeof *functions);
    info.reset();
    functions.reset();
    loaded_ = true;

    if (exports_.GetPluginInfo != nullptr) {
        PluginInfo pi{};
        exports_.GetPluginInfo(&pi);
        Print("GetPluginInfo: flags " + Hex(pi.Flags) +
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
            Print(line);
        };
        strings("disk menu", pi.DiskMenuStrings, pi.DiskMenuStringsNumber, true);
        strings("plugins menu", pi.PluginMenuStrings, pi.PluginMenuStringsNumber,
                !(pi.Flags & PF_DISABLEPANELS));
        strings("configuration menu", pi.PluginConfigStrings, pi.PluginConfigStringsNumber, true);
        if (pi.CommandPrefix != nullptr) {
            Print(std::string("  command prefix: \"") + pi.CommandPrefix + "\"");
        }
    }
    return true;
}

bool TestHost::Open() {
    if (exports_.OpenPlugin == nullptr) {
        Fail("the plugin has no OpenPlugin");
        return false;
    }
    ++depth_;
    StartTiming();
    HANDLE handle = exports_.OpenPlugin(OPEN_DISKMENU, 0);
    StopTiming("OpenPlugin");
    --depth_;
    if (handle == INVALID_HANDLE_VALUE) {
        Print("OpenPlugin -> INVALID_HANDLE_VALUE (no panel)");
        lastResult_ = -1;
        return true;
    }
    if (handle == nullptr) {
        Fail("OpenPlugin returned NULL, which the host treats as a faulty plugin");
        lastResult_ = 0;
        return false;
    }
    lastResult_ = 1;
    if (panel_ != nullptr) {
        Print("OpenPlugin -> a second panel (the other side); the host closes it again");
        ++depth_;
        if (exports_.ClosePlugin) {
            exports_.ClosePlugin(handle);
        }
        --depth_;
        return true;
    }
    panel_ = handle;
    Print("OpenPlugin -> panel");
    return ReadPanel(false);
}

bool TestHost::ReadPanel(bool keepSelection) {
    if (panel_ == nullptr || exports_.GetFindData == nullptr) {
        return false;
    }
    OpenPluginInfo opi{};
    if (exports_.GetOpenPluginInfo != nullptr) {
        ++depth_;
        exports_.GetOpenPluginInfo(panel_, &opi);
        --depth_;
    }
    curDir_ = opi.CurDir ? opi.CurDir : "";
    panelTitle_ = opi.PanelTitle ? opi.PanelTitle : "";
    format_ = opi.Format ? opi.Format : "";
    panelFlags_ = opi.Flags;
    startSortMode_ = opi.StartSortMode;
    keyBar_.clear();
    if (opi.KeyBar != nullptr) {
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

    std::vector<std::string> selected;
    for (const PluginPanelItem& item : kit_.activePanel.items) {
        if (item.Flags & PPIF_SELECTED) {
            selected.push_back(ItemName(item));
        }
    }
    PluginPanelItem* items = nullptr;
    int count = 0;
    ++depth_;
    const int ok = exports_.GetFindData(panel_, &items, &count, 0);
    --depth_;
    ++findDataCalls_;
    if (!ok) {
        ++freeFindDataCalls_; // nothing was handed out
        ClosePanel("GetFindData failed");
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
        ++depth_;
        exports_.FreeFindData(panel_, items, count);
        --depth_;
    }
    ++freeFindDataCalls_;
    pluginItems_ = count < 0 ? 0 : count;
    const bool hasDots = std::any_of(list.begin(), list.end(), [](const PluginPanelItem& item) {
        return ItemName(item) == "..";
    });
    if ((panelFlags_ & OPIF_ADDDOTS) && !hasDots) {
        PluginPanelItem dots = hostkit::MakePanelItem("..");
        dots.FindData.dwFileAttributes = FILE_ATTRIBUTE_DIRECTORY;
        list.insert(list.begin(), dots);
    }
    kit_.activePanel.items = std::move(list);
    kit_.activePanel.curDir = curDir_;
    kit_.activePanel.plugin = true;
    const int size = static_cast<int>(kit_.activePanel.items.size());
    kit_.activePanel.currentItem =
        std::clamp(kit_.activePanel.currentItem, 0, std::max(size - 1, 0));
    return true;
}

void TestHost::PrintPanel(bool keybar, bool title) {
    Print("panel dir \"" + curDir_ + "\": " + std::to_string(pluginItems_) + " items");
    if (title) {
        Print("  title \"" + panelTitle_ + "\" format \"" + format_ + "\" flags " +
              Hex(panelFlags_) + " sort " + std::to_string(startSortMode_));
    }
    for (const PluginPanelItem& item : kit_.activePanel.items) {
        Print("  " + FormatItem(item));
    }
    if (keybar) {
        for (const KeyBarRow& row : keyBar_) {
            std::string line =
                "  keys " + (row.name.empty() ? std::string("plain") : row.name) + ":";
            for (const auto& [key, label] : row.labels) {
                line += " " + row.name + "F" + std::to_string(key) + "=" +
                        (label.empty() ? "\"\"" : label);
            }
            Print(line);
        }
    }
}

bool TestHost::SelectItems(const Command& c) {
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
                Fail(c, "no item '" + name + "' to select");
                return false;
            }
            found->Flags |= PPIF_SELECTED;
        }
    }
    const auto n = std::count_if(items.begin(), items.end(), [](const PluginPanelItem& i) {
        return (i.Flags & PPIF_SELECTED) != 0;
    });
    Print("selected: " + std::to_string(n) + " items");
    return true;
}

std::vector<PluginPanelItem> TestHost::ItemsFor(const std::vector<std::string>& names, bool& ok) {
    std::vector<PluginPanelItem> chosen;
    const auto& items = kit_.activePanel.items;
    ok = true;
    if (!names.empty()) {
        for (const std::string& name : names) {
            auto found = std::find_if(items.begin(), items.end(), [&](const PluginPanelItem& i) {
                return ItemName(i) == name;
            });
            if (found == items.end() || name == "..") {
                Fail("no item '" + name + "' in the panel");
                ok = false;
                return {};
            }
            chosen.push_back(*found);
            chosen.back().Flags |= PPIF_SELECTED;
        }
        return chosen;
    }
    for (const PluginPanelItem& item : items) {
        if (item.Flags & PPIF_SELECTED) {
            chosen.push_back(item);
        }
    }
    if (chosen.empty()) {
        // The cursor item: the first one that is not "..".
        for (const PluginPanelItem& item : items) {
            if (ItemName(item) != "..") {
                chosen.push_back(item);
                break;
            }
        }
    }
    if (chosen.empty()) {
        Fail("no item to copy");
        ok = false;
    }
    return chosen;
}

bool TestHost::HostCopy(std::vector<PluginPanelItem> items, bool move) {
    if (exports_.GetFiles == nullptr) {
        Fail("the plugin has no GetFiles");
        return false;
    }
    char destination[NM];
    CopyText(destination, sizeof destination, passiveDir_);
    std::vector<std::string> names;
    for (const PluginPanelItem& item : items) {
        names.push_back(ItemName(item));
    }
    ++depth_;
    StartTiming();
    const int result = exports_.GetFiles(panel_, items.data(), static_cast<int>(items.size()),
                                         move ? 1 : 0, destination, 0);
    StopTiming("GetFiles");
    --depth_;
    lastResult_ = result;
    Print("GetFiles(" + std::to_string(items.size()) + " items, move " + (move ? "1" : "0") +
          ", \"" + passiveDir_ + "\") -> " + std::to_string(result));
    // Success clears the selection; otherwise the items the plugin deselected.
    for (PluginPanelItem& item : kit_.activePanel.items) {
        const auto at = std::find(names.begin(), names.end(), ItemName(item));
        if (at == names.end()) {
            continue;
        }
        const PluginPanelItem& passed = items[static_cast<std::size_t>(at - names.begin())];
        if (result == 1 || !(passed.Flags & PPIF_SELECTED)) {
            item.Flags &= ~PPIF_SELECTED;
        }
    }
    RefreshPassive();
    return true;
}

bool TestHost::PressKey(const Command& c) {
    if (exports_.ProcessKey == nullptr) {
        Fail(c, "the plugin has no ProcessKey");
        return false;
    }
    ++depth_;
    StartTiming();
    const int handled = exports_.ProcessKey(panel_, c.key, c.modifiers);
    StopTiming("ProcessKey(" + KeyName(c.key, c.modifiers) + ")");
    --depth_;
    lastResult_ = handled;
    Print("ProcessKey(" + KeyName(c.key, c.modifiers) + ") -> " + std::to_string(handled));
    bool ok = true;
    if (handled == 0 && panel_ != nullptr && !closeRequested_ &&
        (c.key == VK_F5 || c.key == VK_F6) && c.modifiers == 0) {
        // Not taken by the plugin: the host copies (or moves) through GetFiles.
        std::vector<PluginPanelItem> items = ItemsFor({}, ok);
        ok = ok && HostCopy(std::move(items), c.key == VK_F6);
    } else if (handled == 0) {
        Print("(the host handles the key itself: nothing to do here)");
    }
    AfterPluginCall();
    return ok;
}

bool TestHost::ChangeFolder(const std::string& name) {
    if (name == ".." && curDir_.empty()) {
        ClosePanel("'..' at the plugin's root");
        lastResult_ = 1;
        return true;
    }
    if (exports_.SetDirectory == nullptr) {
        Fail("the plugin has no SetDirectory");
        return false;
    }
    ++depth_;
    const int result = exports_.SetDirectory(panel_, name.c_str(), 0);
    --depth_;
    lastResult_ = result;
    Print("SetDirectory(\"" + name + "\") -> " + std::to_string(result));
    if (result) {
        kit_.activePanel.currentItem = 0;
    }
    ReadPanel(result == 0);
    AfterPluginCall();
    return true;
}

void TestHost::ClosePanel(const char* why) {
    if (panel_ == nullptr) {
        return;
    }
    HANDLE handle = panel_;
    panel_ = nullptr;
    closeRequested_ = false;
    if (exports_.ClosePlugin != nullptr) {
        ++depth_;
        exports_.ClosePlugin(handle);
        --depth_;
    }
    kit_.activePanel.items.clear();
    pluginItems_ = 0;
    curDir_.clear();
    Print(std::string("ClosePlugin (") + why + ")");
}

void TestHost::AfterPluginCall() {
    if (closeRequested_) {
        ClosePanel("FCTL_CLOSEPLUGIN");
    }
}

void TestHost::StartTiming() {
    if (stopwatch_.armed) {
        stopwatch_.armed = false;
        stopwatch_.running = true;
        stopwatch_.start = std::chrono::steady_clock::now();
    }
}

void TestHost::StopTiming(const std::string& call) {
    if (!stopwatch_.running) {
        return;
    }
    stopwatch_.running = false;
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - stopwatch_.start).count();
    char text[160];
    if (stopwatch_.notes == 0) {
        std::snprintf(text, sizeof text, "stopwatch: %s %.6f s, no progress box", call.c_str(),
                      seconds);
    } else {
        std::snprintf(text, sizeof text,
                      "stopwatch: %s %.6f s, %d progress boxes from %.6f s to %.6f s", call.c_str(),
                      seconds, stopwatch_.notes, stopwatch_.firstNote, stopwatch_.lastNote);
    }
    Print(text, false);
}

void TestHost::RefreshPassive() {
    std::vector<sys::FolderEntry> entries;
    sys::ListFolder(passiveDir_, entries);
    auto& items = kit_.passivePanel.items;
    items.clear();
    PluginPanelItem dots = hostkit::MakePanelItem("..");
    dots.FindData.dwFileAttributes = FILE_ATTRIBUTE_DIRECTORY;
    items.push_back(dots);
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
    kit_.passivePanel.curDir = passiveDir_;
    kit_.passivePanel.plugin = false;
    kit_.passivePanel.currentItem = 0;
}

int TestHost::OnMessage(int number, FarDword flags, const char* helpTopic, const char* const* items,
                        int count, int buttons) {
    const auto called = std::chrono::steady_clock::now();
    const Box box = MakeBox(flags, helpTopic, items, count, buttons);
    lastBoxes_.push_back(box.title);
    lastBoxes_.insert(lastBoxes_.end(), box.lines.begin(), box.lines.end());
    lastBoxes_.insert(lastBoxes_.end(), box.buttons.begin(), box.buttons.end());
    const bool record = !(flags & FMSG_ALLINONE); // the kit reads items as an array
    // Drawn with the passive folder already replaced, so that the frame fits
    // the text shown whatever the folder's real length.
    Box shown = box;
    shown.title = Normalise(shown.title);
    for (std::string& line : shown.lines) {
        line = Normalise(line);
    }
    if (!box.WaitsForAnswer()) {
        if (stopwatch_.running) {
            const double at = std::chrono::duration<double>(called - stopwatch_.start).count();
            stopwatch_.firstNote = stopwatch_.notes++ == 0 ? at : stopwatch_.firstNote;
            stopwatch_.lastNote = at;
        }
        Print(RenderNote(shown));
        ++notesSeen_;
        if (escTarget_ > 0 && notesSeen_ == escTarget_) {
            escTarget_ = 0;
            Print(sys::InjectEsc(escVirtualKey_) ? "(Esc pressed)"
                                                 : "FAILED: Esc could not be pressed");
        }
        return record ? kit_.Message(number, flags, helpTopic, items, count, buttons) : 0;
    }
    for (const std::string& line : RenderBox(shown)) {
        Print(line);
    }
    if (options_.keyInjection) {
        sys::ReadQueuedKeys();
    }
    int answer = -1;
    if (replies_.empty()) {
        Fail("a box waits for an answer the script does not give (Esc pressed)");
    } else {
        const Reply reply = replies_.front();
        replies_.pop_front();
        const int n = static_cast<int>(box.buttons.size());
        switch (reply.how) {
        case ReplyHow::Ok:
            answer = 0;
            break;
        case ReplyHow::Cancel:
            answer = n >= 2 ? n - 1 : -1;
            break;
        case ReplyHow::Esc:
            answer = -1;
            break;
        case ReplyHow::Button:
            answer = reply.button;
            if (answer >= n) {
                Fail("the box has no button " + std::to_string(answer));
                answer = -1;
            }
            break;
        }
        if (!reply.edits.empty() || !reply.checks.empty()) {
            Fail("dialog changes scripted for a box (line " + std::to_string(reply.line) + ")");
        }
    }
    Print(answer < 0 ? "-> Esc" : "-> [ " + box.buttons[static_cast<std::size_t>(answer)] + " ]");
    if (!record) {
        return answer;
    }
    kit_.messageAnswers.push_back(answer);
    return kit_.Message(number, flags, helpTopic, items, count, buttons);
}

int TestHost::OnDialog(int number, int x1, int y1, int x2, int y2, const char* helpTopic,
                       FarDialogItem* items, int count) {
    if (items == nullptr || count <= 0 || x2 < 0 || y2 < 0) {
        Print("[dialog with bad arguments] -> -1");
        return -1;
    }
    const int width = x1 == -1 ? x2 : x2 - x1 + 1;
    const int height = y1 == -1 ? y2 : y2 - y1 + 1;
    std::vector<FarDialogItem> shown(items, items + count);
    for (FarDialogItem& item : shown) {
        if (!((item.Type == DI_EDIT || item.Type == DI_COMBOBOX) && (item.Flags & DIF_VAREDIT))) {
            CopyText(item.Data, sizeof item.Data, Normalise(ItemText(item)));
        }
    }
    for (const std::string& line : RenderDialog(width, height, helpTopic, shown.data(), count)) {
        Print(line);
    }
    for (int i = 0; i < count; ++i) {
        lastBoxes_.push_back(ItemText(items[i]));
    }
    int answer = -1;
    std::string changes;
    if (replies_.empty()) {
        Fail("a dialog waits for an answer the script does not give (Esc pressed)");
    } else {
        const Reply reply = replies_.front();
        replies_.pop_front();
        for (const auto& [index, text] : reply.edits) {
            if (index >= count ||
                (items[index].Type != DI_EDIT && items[index].Type != DI_FIXEDIT &&
                 items[index].Type != DI_PSWEDIT && items[index].Type != DI_COMBOBOX)) {
                Fail("dialog item " + std::to_string(index) + " is not an edit field");
                continue;
            }
            FarDialogItem& item = items[index];
            if ((item.Type == DI_EDIT || item.Type == DI_COMBOBOX) && (item.Flags & DIF_VAREDIT)) {
                if (item.Ptr.PtrData != nullptr && item.Ptr.PtrLength > 0) {
                    CopyText(item.Ptr.PtrData, static_cast<std::size_t>(item.Ptr.PtrLength) + 1,
                             text);
                }
            } else {
                CopyText(item.Data, sizeof item.Data, text);
            }
            changes += "  #" + std::to_string(index) + " = \"" + ItemText(item) + "\"";
        }
        for (const auto& [index, state] : reply.checks) {
            if (index >= count || items[index].Type != (state < 0 ? DI_RADIOBUTTON : DI_CHECKBOX)) {
                Fail("dialog item " + std::to_string(index) + " is not a " +
                     (state < 0 ? "radio button" : "check box"));
                continue;
            }
            if (state >= 0) {
                items[index].Selected = state;
                changes += "  #" + std::to_string(index) + " [" + std::to_string(state) + "]";
                continue;
            }
            // The radio group runs from its DIF_GROUP button to the next group or non-radio item.
            int first = index;
            while (first > 0 && !(items[first].Flags & DIF_GROUP) &&
                   items[first - 1].Type == DI_RADIOBUTTON) {
                --first;
            }
            for (int i = first; i < count && items[i].Type == DI_RADIOBUTTON &&
                                (i == first || !(items[i].Flags & DIF_GROUP));
                 ++i) {
                items[i].Selected = i == index ? 1 : 0;
            }
            changes += "  #" + std::to_string(index) + " (*)";
        }
        switch (reply.how) {
        case ReplyHow::Ok:
            for (int i = 0; i < count && answer < 0; ++i) {
                if (items[i].DefaultButton) {
                    answer = i;
                }
            }
            if (answer < 0) {
                Fail("the dialog has no default button for 'reply ok'");
            }
            break;
        case ReplyHow::Cancel:
            for (int i = count - 1; i >= 0 && answer < 0; --i) {
                if (items[i].Type == DI_BUTTON && !items[i].DefaultButton) {
                    answer = i;
                }
            }
            if (answer < 0) {
                Fail("the dialog has no cancel button");
            }
            break;
        case ReplyHow::Esc:
            break;
        case ReplyHow::Button:
            answer = reply.button < count ? reply.button : -1;
            if (answer < 0) {
                Fail("the dialog has no item " + std::to_string(reply.button));
            }
            break;
        }
    }
    Print((answer < 0 ? std::string("-> Esc")
                      : "-> #" + std::to_string(answer) + " \"" + ItemText(items[answer]) + "\"") +
          changes);
    kit_.dialogAnswers.push_back(answer);
    return kit_.Dialog(number, x1, y1, x2, y2, helpTopic, items, count);
}

int TestHost::OnControl(HANDLE plugin, int command, void* param) {
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
        Print(line + (selected == 0 ? " none)" : ")"));
    }
    if (command == FCTL_UPDATEPANEL && panel_ != nullptr) {
        ReadPanel(param != nullptr);
    } else if (command == FCTL_CLOSEPLUGIN) {
        closeRequested_ = true; // after the plugin function returns
    }
    return result;
}

int TestHost::CountFiles(const std::string& folder) {
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

bool TestHost::Expect(const Command& c) {
    const std::string text = c.Text();
    auto check = [&](bool ok, const std::string& what) {
        if (!ok) {
            Fail(c, "expected " + what);
        }
        return ok;
    };
    auto shown = [&]() {
        return std::any_of(lastBoxes_.begin(), lastBoxes_.end(), [&](const std::string& s) {
            return s.find(text) != std::string::npos ||
                   Normalise(s).find(text) != std::string::npos ||
                   OemToUtf8(Normalise(s), codePage_).find(text) != std::string::npos;
        });
    };
    switch (c.op) {
    case Op::ExpectBox:
        return check(shown(), "a box with \"" + text + "\"");
    case Op::ExpectNoBox:
        return check(!shown(), "no box with \"" + text + "\"");
    case Op::ExpectItems:
        return check(pluginItems_ == c.number, std::to_string(c.number) + " items, the panel has " +
                                                   std::to_string(pluginItems_));
    case Op::ExpectItem:
        return check(std::any_of(kit_.activePanel.items.begin(), kit_.activePanel.items.end(),
                                 [&](const PluginPanelItem& i) { return ItemName(i) == text; }),
                     "an item \"" + text + "\"");
    case Op::ExpectResult:
        return check(lastResult_ == c.number,
                     "result " + std::to_string(c.number) + ", got " + std::to_string(lastResult_));
    case Op::ExpectFiles: {
        const int n = CountFiles(passiveDir_);
        return check(n == c.number, std::to_string(c.number) + " files in the passive folder, " +
                                        "found " + std::to_string(n));
    }
    case Op::ExpectFile: {
        std::string path = passiveDir_;
        std::string part;
        bool found = true;
        for (std::size_t i = 0; i <= text.size() && found; ++i) {
            if (i == text.size() || text[i] == '/' || text[i] == '\\') {
                std::vector<sys::FolderEntry> entries;
                found = !part.empty() && sys::ListFolder(path, entries) &&
                        std::any_of(entries.begin(), entries.end(),
                                    [&](const sys::FolderEntry& e) { return e.name == part; });
                path += sys::Separator() + part;
                part.clear();
            } else {
                part += text[i];
            }
        }
        return check(found, "a file " + text + " in the passive folder");
    }
    case Op::ExpectOpen:
        return check(panel_ != nullptr, "an open plugin panel");
    case Op::ExpectClosed:
        return check(panel_ == nullptr, "no plugin panel");
    default:
        return true;
    }
}

} // namespace pixlor::host
