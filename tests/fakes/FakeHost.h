// The host for a unit test: installs a recording host kit with the plugin's
// real English language file, hands the plugin a start-up record that is
// destroyed right after the call (as the host does), and lets the test script
// answers and inspect the boxes.
//
//   FakeHost host;                 // texts loaded
//   host.Start();                  // or host.Start(StartPlugin)
//   host.AnswerMessages({0});      // OK
//   ... run the code under test ...
//   EXPECT_EQ(host.LastMessage().lines, host.Texts({MTitle, MCameraEmpty}));
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "host/FarApi.h"
#include "tools/hostkit/HostKit.h"

namespace pixlor {

using hostkit::ControlCall;
using hostkit::DialogCall;
using hostkit::MessageCall;

class FakeHost {
public:
    FakeHost();
    ~FakeHost();
    FakeHost(const FakeHost&) = delete;
    FakeHost& operator=(const FakeHost&) = delete;

    // Hands a temporary record to `setStartupInfo` (default: the plugin's
    // copy of the host records) and destroys it afterwards.
    void Start();
    void Start(void (*setStartupInfo)(const PluginStartupInfo&));

    hostkit::HostKit& Kit() { return kit_; }

    // Scripting.
    void AnswerMessages(std::initializer_list<int> answers);
    void AnswerDialogs(std::initializer_list<int> answers);
    void OnDialog(std::function<int(DialogCall&, FarDialogItem*, int)> handler);

    // The English text of a message, and of several.
    std::string Text(int id) const;
    std::vector<std::string> Texts(std::initializer_list<int> ids) const;

    // Recorded calls.
    const std::vector<MessageCall>& Messages() const { return kit_.messages; }
    const MessageCall& LastMessage() const;
    const std::vector<DialogCall>& Dialogs() const { return kit_.dialogs; }
    const std::vector<ControlCall>& Controls() const { return kit_.controls; }

    // Panels.
    hostkit::Panel& ActivePanel() { return kit_.activePanel; }
    hostkit::Panel& PassivePanel() { return kit_.passivePanel; }

private:
    hostkit::HostKit kit_;
    std::vector<std::string> english_;
};

// Path of a file beside the built plugin (language and help files).
std::string PluginFile(const std::string& name);

} // namespace pixlor
