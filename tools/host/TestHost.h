// The test host: plays the file manager's part for one plugin through its
// exports only, driven by a script (Script.h), drawing what the plugin shows
// on an output stream. It runs the script's commands one by one, each through
// its handler; the parts it is made of do the work: the loader, the panels,
// the responder at boxes and dialogs, the stopwatch and the expectations.
#pragma once

#include <cstdio>
#include <span>
#include <string>
#include <vector>

#include "host/FarApi.h"
#include "tools/host/Command.h"
#include "tools/host/PanelModel.h"
#include "tools/host/PluginLoader.h"
#include "tools/host/Responder.h"
#include "tools/host/Stopwatch.h"
#include "tools/host/Transcript.h"
#include "tools/hostkit/HostKit.h"

namespace pixlor::host {

struct HostOptions {
    std::string pluginPath;       // the library to load
    std::vector<int> serialPorts; // COM numbers SERIALCOMM lists (Windows)
    bool setSerialPorts = false;
    bool keyInjection = false; // prepare Esc injection before loading
};

class TestHost {
public:
    TestHost(HostOptions options, std::FILE* out);
    ~TestHost();
    TestHost(const TestHost&) = delete;
    TestHost& operator=(const TestHost&) = delete;

    // Runs the commands; 0 when everything went as expected, 1 otherwise.
    int Run(const std::vector<Command>& commands);

    // Services (the plain functions handed to the plugin forward here).
    int OnMessage(FarIntPtr number, FarDword flags, const char* helpTopic, const char* const* items,
                  int count, int buttons);
    int OnDialog(FarIntPtr number, int x1, int y1, int x2, int y2, const char* helpTopic,
                 FarDialogItem* items, int count);
    int OnControl(HANDLE plugin, int command, void* param);

private:
    // What the host does for one command: false stops the script.
    using Handler = bool (TestHost::*)(const Command&);
    struct Step {
        Op op;
        Handler handler;
        bool action; // a user's action: announced, and `expect box` looks at its boxes
    };
    static std::span<const Step> Steps();

    bool Execute(const Command& c);
    bool DoLoad(const Command& c);
    bool DoOpen(const Command& c);
    bool DoList(const Command& c);
    bool DoCd(const Command& c);
    bool DoSelect(const Command& c);
    bool DoCursor(const Command& c);
    bool DoKey(const Command& c);
    bool DoGetFiles(const Command& c);
    bool DoConfigure(const Command& c);
    bool DoClose(const Command& c);
    bool DoAnswer(const Command& c);
    bool DoPassive(const Command& c);
    bool DoLanguage(const Command& c);
    bool DoStopwatch(const Command& c);
    bool DoEcho(const Command& c);
    bool DoExpect(const Command& c);

    bool Load();
    bool NeedPanel();
    bool HostCopy(std::vector<PluginPanelItem> items, bool move);
    void StartTiming();
    void StopTiming(const std::string& call);
    const Exports& Plugin() const { return loader_.Functions(); }

    HostOptions options_;
    Transcript out_;
    hostkit::HostKit kit_;
    PluginLoader loader_;
    PanelModel panels_;
    Responder responder_;
    Stopwatch stopwatch_;
    std::string language_ = "English";
    long long lastResult_ = 0;
};

} // namespace pixlor::host
