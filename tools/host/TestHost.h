// The test host: plays the file manager's part for one plugin through its
// exports only, driven by a script (Script.h), drawing what the plugin shows
// on an output stream.
#pragma once

#include <chrono>
#include <cstdio>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "host/FarApi.h"
#include "tools/host/Render.h"
#include "tools/host/Script.h"
#include "tools/hostkit/HostKit.h"

namespace pixlor::host {

struct HostOptions {
    std::string pluginPath;       // the library to load
    std::vector<int> serialPorts; // COM numbers SERIALCOMM lists (Windows)
    bool setSerialPorts = false;
    bool keyInjection = false; // prepare Esc injection before loading
};

// The plugin's twelve exports (any may be missing).
struct Exports {
    int(PIXLOR_WINAPI* GetMinFarVersion)() = nullptr;
    void(PIXLOR_WINAPI* SetStartupInfo)(const PluginStartupInfo*) = nullptr;
    void(PIXLOR_WINAPI* GetPluginInfo)(PluginInfo*) = nullptr;
    int(PIXLOR_WINAPI* Configure)(int) = nullptr;
    HANDLE(PIXLOR_WINAPI* OpenPlugin)(int, int) = nullptr;
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

class TestHost {
public:
    TestHost(HostOptions options, std::FILE* out);
    ~TestHost();
    TestHost(const TestHost&) = delete;
    TestHost& operator=(const TestHost&) = delete;

    // Runs the commands; 0 when everything went as expected, 1 otherwise.
    int Run(const std::vector<Command>& commands);

    // Services (the plain functions handed to the plugin forward here).
    int OnMessage(int number, FarDword flags, const char* helpTopic, const char* const* items,
                  int count, int buttons);
    int OnDialog(int number, int x1, int y1, int x2, int y2, const char* helpTopic,
                 FarDialogItem* items, int count);
    int OnControl(HANDLE plugin, int command, void* param);

private:
    struct Reply {
        ReplyHow how = ReplyHow::Ok;
        int button = 0;
        std::vector<std::pair<int, std::string>> edits;
        std::vector<std::pair<int, int>> checks; // radio (state -1) and check boxes
        int line = 0;
    };
    // `stopwatch`: times the next OpenPlugin, ProcessKey or GetFiles, and when
    // the progress boxes it showed came, from the call's start.
    struct Stopwatch {
        bool armed = false;
        bool running = false;
        std::chrono::steady_clock::time_point start;
        int notes = 0;
        double firstNote = 0;
        double lastNote = 0;
    };
    struct KeyBarRow {
        std::string name;
        std::vector<std::pair<int, std::string>> labels;
    };

    bool Execute(const Command& c);
    bool Load();
    bool Open();
    bool ReadPanel(bool keepSelection);
    void PrintPanel(bool keybar, bool title);
    bool SelectItems(const Command& c);
    bool PressKey(const Command& c);
    bool HostCopy(std::vector<PluginPanelItem> items, bool move);
    bool ChangeFolder(const std::string& name);
    void ClosePanel(const char* why);
    void AfterPluginCall();
    void StartTiming();
    void StopTiming(const std::string& call);
    void RefreshPassive();
    bool Expect(const Command& c);
    std::vector<PluginPanelItem> ItemsFor(const std::vector<std::string>& names, bool& ok);
    int CountFiles(const std::string& folder);

    void Print(const std::string& line, bool oem = true);
    void Fail(const Command& c, const std::string& why);
    void Fail(const std::string& why);
    std::string Normalise(std::string text) const;

    HostOptions options_;
    std::FILE* out_;
    hostkit::HostKit kit_;
    void* library_ = nullptr;
    Exports exports_;
    bool loaded_ = false;
    bool failed_ = false;
    int currentLine_ = 0;

    HANDLE panel_ = nullptr; // null: no plugin panel
    bool closeRequested_ = false;
    int depth_ = 0; // plugin calls in progress
    std::string curDir_, panelTitle_, format_;
    FarDword panelFlags_ = 0;
    int startSortMode_ = 0;
    std::vector<KeyBarRow> keyBar_;
    int pluginItems_ = 0; // items the plugin listed (without the host's "..")
    int findDataCalls_ = 0, freeFindDataCalls_ = 0;

    std::string passiveDir_; // absolute
    std::string language_ = "English";
    int codePage_ = 437; // of the language file in use, for the display

    std::deque<Reply> replies_;
    Reply pending_; // edits and checks gathered for the next reply
    int escTarget_ = 0, notesSeen_ = 0;
    bool escVirtualKey_ = false; // the next Esc as Wine's console gives it
    Stopwatch stopwatch_;

    long long lastResult_ = 0;
    std::vector<std::string> lastBoxes_; // every text shown by the last action
};

// The one host of the process (the services are plain functions).
TestHost* CurrentHost();

} // namespace pixlor::host
