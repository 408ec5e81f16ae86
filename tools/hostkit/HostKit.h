// A test host: the services of PluginStartupInfo implemented over recorded
// calls and scripted answers, a plugin panel and a passive panel, and texts
// from the plugin's real language file. Only one kit is current at a time;
// the plain service functions reach it through that.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "host/FarApi.h"
#include "tools/hostkit/LanguageFile.h"

namespace pixlor::hostkit {

// A 64-bit host's module numbers and handles lie above 4 GiB: the kit hands
// out such values there, so a plugin that keeps one in an int fails its tests.
inline constexpr FarIntPtr kAbove4GiB =
    sizeof(FarIntPtr) == 8 ? static_cast<FarIntPtr>(0x5A00000000ull) : 0;

struct MessageCall {
    FarDword flags = 0;
    std::string helpTopic;
    bool hadHelpTopic = false;      // false when the plugin passed null
    std::vector<std::string> lines; // title first, then the text lines (and buttons)
    int buttons = 0;
    int answer = 0;
    bool WaitsForAnswer() const { return buttons > 0 || (flags & FMSG_MB_MASK) != 0; }
};

struct DialogCall {
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    std::string helpTopic;
    std::vector<FarDialogItem> items; // as the plugin passed them
    int answer = -1;
};

struct ControlCall {
    HANDLE plugin = nullptr;
    int command = 0;
    void* param = nullptr;
    std::string text; // FCTL_CLOSEPLUGIN's folder
};

// One call of the Viewer service, with what the file held then.
struct ViewerCall {
    std::string fileName;
    std::string title;
    bool hadTitle = false; // false when the plugin passed null
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    FarDword flags = 0;
    bool fileFound = false; // filled by onViewer
    std::uint64_t fileSize = 0;
    int answer = 0;
};

// A panel as Control sees it.
struct Panel {
    std::vector<PluginPanelItem> items;
    std::string curDir;
    int currentItem = 0;
    int panelType = PTYPE_FILEPANEL;
    bool plugin = false;
};

class HostKit {
public:
    HostKit();
    ~HostKit();
    HostKit(const HostKit&) = delete;
    HostKit& operator=(const HostKit&) = delete;

    static HostKit* Current();

    // Texts for GetMsg.
    bool LoadLanguage(const std::string& path);
    void SetMessages(std::vector<std::string> texts);

    // A fresh record as the host passes it; its FSF points into this kit.
    PluginStartupInfo MakeStartupInfo();

    // Settings of the record.
    std::string moduleName = "Pixlor.dll";
    std::string rootKey = "Software\\Far\\Plugins";
    FarIntPtr moduleNumber = kAbove4GiB + 7;

    // Scripted answers. A Message that waits for an answer (buttons or an
    // FMSG_MB_* flag) takes the next queued answer, else -1 (Esc); one without
    // buttons returns 0. A Dialog takes onDialog's result, else the next queued
    // answer, else -1; onDialog may change the items (type into edit fields).
    std::deque<int> messageAnswers;
    std::deque<int> dialogAnswers;
    std::function<int(DialogCall&, FarDialogItem* items, int count)> onDialog;
    // The Viewer service: onViewer looks at the file (and, as the host does on
    // closing, removes it for VF_DELETEONCLOSE) and gives the answer; without
    // it the viewer opened and was closed, 1.
    std::function<int(ViewerCall&)> onViewer;

    // MkTemp's names: the folder, a separator, the prefix and a number counted
    // from 1 over the kit's life. Nothing is created.
    std::string tempFolder = "C:\\Temp";
    char tempSeparator = '\\';
    int tempNames = 0;

    // Recorded calls.
    std::vector<MessageCall> messages;
    std::vector<DialogCall> dialogs;
    std::vector<ControlCall> controls;
    std::vector<ViewerCall> viewers;

    // Panels: the plugin's own (active) and the other one.
    Panel activePanel;
    Panel passivePanel;
    // FCTL_UPDATEPANEL re-reads the plugin's panel through this, when set (a
    // test lists the camera again); without it the items stay as they are.
    // Either way a null parameter clears the selection and any other keeps it
    // by name, as the host does.
    std::function<std::vector<PluginPanelItem>()> rereadItems;

    // Screens and faults the kit noticed.
    int screensSaved = 0;
    int screensRestored = 0;
    int screenRereads = 0;      // RestoreScreen(NULL)
    int badRestores = 0;        // unknown or already restored handles
    int badMessageNumbers = 0;  // GetMsg beyond the file
    int wrongModuleNumbers = 0; // services called with another plugin's number
    int OpenScreens() const { return static_cast<int>(openScreens_.size()); }

    // Service implementations (the plain functions forward here).
    const char* GetMsg(FarIntPtr moduleNumber, int id);
    int Message(FarIntPtr moduleNumber, FarDword flags, const char* helpTopic,
                const char* const* items, int count, int buttons);
    int Dialog(FarIntPtr moduleNumber, int x1, int y1, int x2, int y2, const char* helpTopic,
               FarDialogItem* items, int count);
    int Control(HANDLE plugin, int command, void* param);
    HANDLE SaveScreen();
    void RestoreScreen(HANDLE screen);
    int Viewer(const char* fileName, const char* title, int x1, int y1, int x2, int y2,
               FarDword flags);
    char* MkTemp(char* dest, const char* prefix);

    // Calls of one Control command.
    int CountControls(int command) const;

private:
    void FillPanelInfo(Panel& panel, PanelInfo& info);
    void ApplySelection(Panel& panel, const PanelInfo& info);
    void Update(Panel& panel, bool keepSelection);
    Panel& PanelFor(HANDLE plugin, bool another);

    HostKit* previous_ = nullptr;
    std::vector<std::string> texts_;
    FarStandardFunctions functions_{};
    std::vector<HANDLE> openScreens_;
    std::size_t nextScreen_ = 1;
    // Arrays handed out by the last GETPANELINFO of each panel (released by the next).
    std::vector<PluginPanelItem> activeInfoItems_, activeInfoSelected_;
    std::vector<PluginPanelItem> passiveInfoItems_, passiveInfoSelected_;
};

// Makes a panel item with a name, size and user data.
PluginPanelItem MakePanelItem(const std::string& name, FarDword size = 0, FarUIntPtr userData = 0,
                              FarDword flags = 0);

} // namespace pixlor::hostkit
