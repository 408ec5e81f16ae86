// The user at the host's boxes and dialogs, as the script plays it: every box
// and dialog is drawn on the transcript and kept for `expect box`; one that
// waits takes the script's next reply (and a dialog the edits, radio buttons
// and check boxes scripted before it); a progress box passes, and at the
// scripted one Esc is pressed. The answer then goes through the kit, which
// records the call as the host's services do.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "host/FarApi.h"
#include "tools/host/Command.h"
#include "tools/host/Render.h"
#include "tools/host/Transcript.h"
#include "tools/hostkit/HostKit.h"

namespace pixlor::host {

class Responder {
public:
    // The keyboard, for Esc during a copy: `pressEsc` types it the way the
    // script says; `readQueuedKeys` (may be empty) lets a waiting box take the
    // keys typed before it.
    struct Keyboard {
        std::function<bool(EscWay)> pressEsc;
        std::function<void()> readQueuedKeys;
    };

    Responder(hostkit::HostKit& kit, Transcript& out, Keyboard keyboard)
        : kit_(kit), out_(out), keyboard_(std::move(keyboard)) {}

    // reply, edit, radio, check and esc-progress.
    void Queue(const Command& c);

    // The Message and Dialog services.
    int Message(FarIntPtr number, FarDword flags, const char* helpTopic, const char* const* items,
                int count, int buttons);
    int Dialog(FarIntPtr number, int x1, int y1, int x2, int y2, const char* helpTopic,
               FarDialogItem* items, int count);

    // Every text shown since the last ForgetShown (a box's title, lines and
    // buttons, a dialog's items).
    const std::vector<std::string>& Shown() const { return shown_; }
    void ForgetShown() { shown_.clear(); }

    // At the end of the script: replies, changes or an Esc nothing took.
    void ReportUnused();

private:
    struct Reply {
        ReplyHow how = ReplyHow::Ok;
        int button = 0;
        std::vector<std::pair<int, std::string>> edits;
        std::vector<std::pair<int, int>> checks; // radio buttons (state -1) and check boxes
        int line = 0;
    };

    void ProgressShown();
    int AnswerBox(const Box& box);
    int AnswerDialog(FarDialogItem* items, int count, std::string& changes);
    std::string Edit(const Reply& reply, FarDialogItem* items, int count);
    std::string Mark(const Reply& reply, FarDialogItem* items, int count);

    hostkit::HostKit& kit_;
    Transcript& out_;
    Keyboard keyboard_;
    std::deque<Reply> replies_;
    Reply pending_; // edits and checks gathered for the next reply
    int escTarget_ = 0, notesSeen_ = 0;
    EscWay escWay_ = EscWay::Character;
    std::vector<std::string> shown_;
};

} // namespace pixlor::host
