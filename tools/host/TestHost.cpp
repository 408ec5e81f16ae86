#include "tools/host/TestHost.h"

#include <algorithm>

#include "tools/host/CommandTable.h"
#include "tools/host/Expectations.h"
#include "tools/host/Render.h"
#include "tools/host/System.h"
#include "tools/host/ViewerService.h"

namespace pixlor::host {

namespace {

TestHost* current = nullptr;

int PIXLOR_WINAPI MessageService(FarIntPtr number, FarDword flags, const char* helpTopic,
                                 const char* const* items, int count, int buttons) {
    return current ? current->OnMessage(number, flags, helpTopic, items, count, buttons) : -1;
}
int PIXLOR_WINAPI DialogService(FarIntPtr number, int x1, int y1, int x2, int y2,
                                const char* helpTopic, FarDialogItem* items, int count) {
    return current ? current->OnDialog(number, x1, y1, x2, y2, helpTopic, items, count) : -1;
}
int PIXLOR_WINAPI ControlService(HANDLE plugin, int command, void* param) {
    return current ? current->OnControl(plugin, command, param) : 0;
}

// "> cd 02-05-17": the action as the transcript announces it.
std::string Announcement(const Command& c) {
    const std::string name(NameOf(c.op));
    switch (c.op) {
    case Op::Cd:
        return "> " + name + " " + c.Text();
    case Op::Key:
        return "> " + name + " " + KeyName(c.key, c.modifiers);
    default:
        return "> " + name;
    }
}

Responder::Keyboard KeyboardFor(const HostOptions& options) {
    Responder::Keyboard keyboard{sys::InjectEsc, nullptr};
    if (options.keyInjection) {
        keyboard.readQueuedKeys = sys::ReadQueuedKeys;
    }
    return keyboard;
}

} // namespace

TestHost::TestHost(HostOptions options, std::FILE* out)
    : options_(std::move(options)), out_(out), loader_(kit_, out_),
      panels_(loader_.Functions(), kit_, out_), responder_(kit_, out_, KeyboardFor(options_)) {
    current = this;
    kit_.rootKey = "Software\\Far\\Plugins";
    panels_.SetPassiveFolder(sys::FullPath("."));
    // MkTemp's names lie in "temp" of the working folder, made by Load.
    kit_.tempFolder = sys::FullPath("temp");
    out_.MaskTemporaryFolder(kit_.tempFolder);
    kit_.onViewer = [this](hostkit::ViewerCall& call) {
        out_.Print(ViewAndClose(call));
        return call.answer;
    };
}

TestHost::~TestHost() {
    current = nullptr;
}

std::span<const TestHost::Step> TestHost::Steps() {
    static const Step steps[] = {
        {Op::Load, &TestHost::DoLoad, true},
        {Op::Open, &TestHost::DoOpen, true},
        {Op::List, &TestHost::DoList, false},
        {Op::Cd, &TestHost::DoCd, true},
        {Op::Select, &TestHost::DoSelect, false},
        {Op::Cursor, &TestHost::DoCursor, false},
        {Op::Key, &TestHost::DoKey, true},
        {Op::GetFiles, &TestHost::DoGetFiles, true},
        {Op::Configure, &TestHost::DoConfigure, true},
        {Op::Close, &TestHost::DoClose, true},
        {Op::Reply, &TestHost::DoAnswer, false},
        {Op::Edit, &TestHost::DoAnswer, false},
        {Op::Radio, &TestHost::DoAnswer, false},
        {Op::Check, &TestHost::DoAnswer, false},
        {Op::EscProgress, &TestHost::DoAnswer, false},
        {Op::Passive, &TestHost::DoPassive, false},
        {Op::Language, &TestHost::DoLanguage, false},
        {Op::ExpectBox, &TestHost::DoExpect, false},
        {Op::ExpectNoBox, &TestHost::DoExpect, false},
        {Op::ExpectItems, &TestHost::DoExpect, false},
        {Op::ExpectItem, &TestHost::DoExpect, false},
        {Op::ExpectResult, &TestHost::DoExpect, false},
        {Op::ExpectFiles, &TestHost::DoExpect, false},
        {Op::ExpectFile, &TestHost::DoExpect, false},
        {Op::ExpectOpen, &TestHost::DoExpect, false},
        {Op::ExpectClosed, &TestHost::DoExpect, false},
        {Op::Stopwatch, &TestHost::DoStopwatch, false},
        {Op::Echo, &TestHost::DoEcho, false},
    };
    return steps;
}

int TestHost::Run(const std::vector<Command>& commands) {
    if (options_.setSerialPorts) {
        std::string error;
        if (!sys::SetSerialPorts(options_.serialPorts, error)) {
            out_.Print("FAILED: " + error);
            return 1;
        }
    }
    for (const Command& c : commands) {
        out_.SetLine(c.line);
        if (!Execute(c)) {
            out_.Print("stopped at line " + std::to_string(c.line));
            break;
        }
    }
    if (panels_.IsOpen()) {
        panels_.Close("end of script");
    }
    responder_.ReportUnused();
    if (stopwatch_.Armed()) {
        out_.Fail("the stopwatch was armed, but no plugin call came to time");
    }
    if (!panels_.FindDataBalanced()) {
        out_.Fail("GetFindData and FreeFindData calls differ");
    }
    // In 64 bits the kit's module number and screen handles lie above 4 GiB: a
    // plugin that kept one in an int calls back with another.
    if (kit_.wrongModuleNumbers != 0) {
        out_.Fail("the plugin called the host with another plugin's module number " +
                  std::to_string(kit_.wrongModuleNumbers) + " time(s)");
    }
    if (kit_.badRestores != 0) {
        out_.Fail("the plugin restored a screen the host never saved (or twice) " +
                  std::to_string(kit_.badRestores) + " time(s)");
    }
    out_.Print(out_.Failed() ? "result: FAILED" : "result: ok");
    return out_.Failed() ? 1 : 0;
}

bool TestHost::Execute(const Command& c) {
    const auto steps = Steps();
    const auto step =
        std::find_if(steps.begin(), steps.end(), [&](const Step& s) { return s.op == c.op; });
    if (step == steps.end()) {
        out_.Fail("the host cannot carry out '" + std::string(NameOf(c.op)) + "'");
        return false;
    }
    if (step->action) {
        responder_.ForgetShown();
        out_.Print(Announcement(c));
    }
    return (this->*step->handler)(c);
}

bool TestHost::NeedPanel() {
    if (!panels_.IsOpen()) {
        out_.Fail("no plugin panel is open");
        return false;
    }
    return true;
}

bool TestHost::Load() {
    if (!sys::MakeFolders(kit_.tempFolder)) {
        out_.Print("note: no temporary folder " + kit_.tempFolder);
    }
    return loader_.Load(options_.pluginPath, language_,
                        Services{MessageService, DialogService, ControlService});
}

bool TestHost::DoLoad(const Command&) {
    if (loader_.Loaded()) {
        out_.Fail("the plugin is loaded already");
        return false;
    }
    return Load();
}

bool TestHost::DoOpen(const Command&) {
    if (!loader_.Loaded() && !Load()) {
        return false;
    }
    if (Plugin().OpenPlugin == nullptr) {
        out_.Fail("the plugin has no OpenPlugin");
        return false;
    }
    StartTiming();
    HANDLE handle = Plugin().OpenPlugin(OPEN_DISKMENU, 0);
    StopTiming("OpenPlugin");
    if (handle == INVALID_HANDLE_VALUE) {
        out_.Print("OpenPlugin -> INVALID_HANDLE_VALUE (no panel)");
        lastResult_ = -1;
        return true;
    }
    if (handle == nullptr) {
        out_.Fail("OpenPlugin returned NULL, which the host treats as a faulty plugin");
        lastResult_ = 0;
        return false;
    }
    lastResult_ = 1;
    if (panels_.IsOpen()) {
        out_.Print("OpenPlugin -> a second panel (the other side); the host closes it again");
        if (Plugin().ClosePlugin) {
            Plugin().ClosePlugin(handle);
        }
        return true;
    }
    panels_.Adopt(handle);
    out_.Print("OpenPlugin -> panel");
    return panels_.Read(false);
}

bool TestHost::DoList(const Command& c) {
    if (!NeedPanel()) {
        return false;
    }
    panels_.Print(c.keybar, c.title);
    return true;
}

bool TestHost::DoCd(const Command& c) {
    if (!NeedPanel()) {
        return false;
    }
    const std::string name = c.Text();
    if (name == ".." && panels_.CurDir().empty()) {
        panels_.Close("'..' at the plugin's root");
        lastResult_ = 1;
        return true;
    }
    if (Plugin().SetDirectory == nullptr) {
        out_.Fail("the plugin has no SetDirectory");
        return false;
    }
    const int result = Plugin().SetDirectory(panels_.Handle(), name.c_str(), 0);
    lastResult_ = result;
    out_.Print("SetDirectory(\"" + name + "\") -> " + std::to_string(result));
    if (result) {
        panels_.CursorToTop();
    }
    panels_.Read(result == 0);
    panels_.CloseIfRequested();
    return true;
}

bool TestHost::DoSelect(const Command& c) {
    return NeedPanel() && panels_.Select(c);
}

bool TestHost::DoCursor(const Command& c) {
    return NeedPanel() && panels_.PutCursor(c.Text());
}

bool TestHost::DoKey(const Command& c) {
    if (!NeedPanel()) {
        return false;
    }
    if (Plugin().ProcessKey == nullptr) {
        out_.Fail("the plugin has no ProcessKey");
        return false;
    }
    const std::string key = KeyName(c.key, c.modifiers);
    StartTiming();
    const int handled = Plugin().ProcessKey(panels_.Handle(), c.key, c.modifiers);
    StopTiming("ProcessKey(" + key + ")");
    lastResult_ = handled;
    out_.Print("ProcessKey(" + key + ") -> " + std::to_string(handled));
    bool ok = true;
    if (handled == 0 && panels_.IsOpen() && !panels_.CloseRequested() &&
        (c.key == VK_F5 || c.key == VK_F6) && c.modifiers == 0) {
        // Not taken by the plugin: the host copies (or moves) through GetFiles.
        std::vector<PluginPanelItem> items;
        ok = panels_.ItemsFor({}, items) && HostCopy(std::move(items), c.key == VK_F6);
    } else if (handled == 0) {
        out_.Print("(the host handles the key itself: nothing to do here)");
    }
    panels_.CloseIfRequested();
    return ok;
}

bool TestHost::DoGetFiles(const Command& c) {
    if (!NeedPanel()) {
        return false;
    }
    std::vector<PluginPanelItem> items;
    if (!panels_.ItemsFor(c.names, items)) {
        return false;
    }
    if (c.shift && !sys::HoldShift(true)) {
        out_.Print("note: Shift cannot be held down here; the plugin sees it released");
    }
    const bool result = HostCopy(std::move(items), false);
    if (c.shift) {
        sys::HoldShift(false);
    }
    panels_.CloseIfRequested();
    return result;
}

bool TestHost::HostCopy(std::vector<PluginPanelItem> items, bool move) {
    if (Plugin().GetFiles == nullptr) {
        out_.Fail("the plugin has no GetFiles");
        return false;
    }
    const std::string& passive = panels_.PassiveFolder();
    char destination[NM];
    std::snprintf(destination, sizeof destination, "%s", passive.c_str());
    std::vector<std::string> names;
    for (const PluginPanelItem& item : items) {
        names.push_back(ItemName(item));
    }
    StartTiming();
    const int result =
        Plugin().GetFiles(panels_.Handle(), items.data(), static_cast<int>(items.size()),
                          move ? 1 : 0, destination, 0);
    StopTiming("GetFiles");
    lastResult_ = result;
    out_.Print("GetFiles(" + std::to_string(items.size()) + " items, move " + (move ? "1" : "0") +
               ", \"" + passive + "\") -> " + std::to_string(result));
    panels_.DeselectCopied(names, items, result);
    panels_.RefreshPassive();
    return true;
}

bool TestHost::DoConfigure(const Command&) {
    if (!loader_.Loaded() && !Load()) {
        return false;
    }
    if (Plugin().Configure == nullptr) {
        out_.Fail("the plugin has no Configure");
        return false;
    }
    lastResult_ = Plugin().Configure(0);
    out_.Print("Configure(0) -> " + std::to_string(lastResult_));
    if (Plugin().GetPluginInfo != nullptr) {
        PluginInfo info{};
        Plugin().GetPluginInfo(&info);
    }
    return true;
}

bool TestHost::DoClose(const Command&) {
    if (!NeedPanel()) {
        return false;
    }
    panels_.Close("close");
    return true;
}

bool TestHost::DoAnswer(const Command& c) {
    responder_.Queue(c);
    return true;
}

bool TestHost::DoPassive(const Command& c) {
    if (!sys::MakeFolders(c.Text())) {
        out_.Fail("cannot create the folder " + c.Text());
        return false;
    }
    panels_.SetPassiveFolder(sys::FullPath(c.Text()));
    return true;
}

bool TestHost::DoLanguage(const Command& c) {
    if (loader_.Loaded()) {
        out_.Fail("'language' must come before the plugin is loaded");
        return false;
    }
    language_ = c.Text();
    return true;
}

bool TestHost::DoStopwatch(const Command&) {
    stopwatch_.Arm();
    return true;
}

bool TestHost::DoEcho(const Command& c) {
    std::string text;
    for (const std::string& word : c.names) {
        text += (text.empty() ? "" : " ") + word;
    }
    out_.Print(text, false); // the script's own text, UTF-8 already
    return true;
}

bool TestHost::DoExpect(const Command& c) {
    const Observed seen{responder_.Shown(), out_,        panels_.PluginItems(),
                        panels_.Items(),    lastResult_, panels_.PassiveFolder(),
                        panels_.IsOpen()};
    const std::string unmet = Unmet(c, seen);
    if (!unmet.empty()) {
        out_.Fail("expected " + unmet);
    }
    return true;
}

void TestHost::StartTiming() {
    stopwatch_.Start(Stopwatch::Clock::now());
}

void TestHost::StopTiming(const std::string& call) {
    const std::string line = stopwatch_.Stop(call, Stopwatch::Clock::now());
    if (!line.empty()) {
        out_.Print(line, false);
    }
}

int TestHost::OnMessage(FarIntPtr number, FarDword flags, const char* helpTopic,
                        const char* const* items, int count, int buttons) {
    const auto called = Stopwatch::Clock::now();
    if (!MakeBox(flags, helpTopic, items, count, buttons).WaitsForAnswer()) {
        stopwatch_.Note(called);
    }
    return responder_.Message(number, flags, helpTopic, items, count, buttons);
}

int TestHost::OnDialog(FarIntPtr number, int x1, int y1, int x2, int y2, const char* helpTopic,
                       FarDialogItem* items, int count) {
    return responder_.Dialog(number, x1, y1, x2, y2, helpTopic, items, count);
}

int TestHost::OnControl(HANDLE plugin, int command, void* param) {
    return panels_.Control(plugin, command, param);
}

} // namespace pixlor::host
