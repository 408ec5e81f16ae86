#include "tools/host/Responder.h"

#include <algorithm>
#include <cstring>

namespace pixlor::host {

namespace {

void CopyText(char* buffer, std::size_t size, const std::string& text) {
    const std::size_t length = std::min(text.size(), size - 1);
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
}

bool IsVarEdit(const FarDialogItem& item) {
    return (item.Type == DI_EDIT || item.Type == DI_COMBOBOX) && (item.Flags & DIF_VAREDIT);
}

bool IsEditField(const FarDialogItem& item) {
    return item.Type == DI_EDIT || item.Type == DI_FIXEDIT || item.Type == DI_PSWEDIT ||
           item.Type == DI_COMBOBOX;
}

} // namespace

void Responder::Queue(const Command& c) {
    switch (c.op) {
    case Op::Reply:
        pending_.how = c.reply;
        pending_.button = c.number;
        pending_.line = c.line;
        replies_.push_back(std::move(pending_));
        pending_ = Reply{};
        break;
    case Op::Edit:
        pending_.edits.emplace_back(c.number, c.Text());
        break;
    case Op::Radio:
        pending_.checks.emplace_back(c.number, -1);
        break;
    case Op::Check:
        pending_.checks.emplace_back(c.number, c.Text()[0] - '0');
        break;
    case Op::EscProgress:
        escTarget_ = c.number;
        escWay_ = c.esc;
        notesSeen_ = 0;
        break;
    default:
        break;
    }
}

void Responder::ReportUnused() {
    if (!replies_.empty()) {
        out_.Fail(std::to_string(replies_.size()) +
                  " scripted replies were never used (first: line " +
                  std::to_string(replies_.front().line) + ")");
    }
    if (!pending_.edits.empty() || !pending_.checks.empty()) {
        out_.Fail("dialog changes without a reply after them");
    }
    if (escTarget_ > 0) {
        out_.Fail("progress box " + std::to_string(escTarget_) + " for the Esc never came");
    }
}

int Responder::Message(FarIntPtr number, FarDword flags, const char* helpTopic,
                       const char* const* items, int count, int buttons) {
    const Box box = MakeBox(flags, helpTopic, items, count, buttons);
    shown_.push_back(box.title);
    shown_.insert(shown_.end(), box.lines.begin(), box.lines.end());
    shown_.insert(shown_.end(), box.buttons.begin(), box.buttons.end());
    const bool record = !(flags & FMSG_ALLINONE); // the kit reads items as an array
    // Drawn with the passive folder already replaced, so that the frame fits
    // the text shown whatever the folder's real length.
    Box drawn = box;
    drawn.title = out_.Normalise(drawn.title);
    for (std::string& line : drawn.lines) {
        line = out_.Normalise(line);
    }
    if (!box.WaitsForAnswer()) {
        out_.Print(RenderNote(drawn));
        ProgressShown();
        return record ? kit_.Message(number, flags, helpTopic, items, count, buttons) : 0;
    }
    for (const std::string& line : RenderBox(drawn)) {
        out_.Print(line);
    }
    if (keyboard_.readQueuedKeys) {
        keyboard_.readQueuedKeys();
    }
    const int answer = AnswerBox(box);
    out_.Print(answer < 0 ? "-> Esc"
                          : "-> [ " + box.buttons[static_cast<std::size_t>(answer)] + " ]");
    if (!record) {
        return answer;
    }
    kit_.messageAnswers.push_back(answer);
    return kit_.Message(number, flags, helpTopic, items, count, buttons);
}

void Responder::ProgressShown() {
    ++notesSeen_;
    if (escTarget_ > 0 && notesSeen_ == escTarget_) {
        escTarget_ = 0;
        // A press that cannot be made fails the run: the scenario tests nothing then.
        if (keyboard_.pressEsc(escWay_)) {
            out_.Print("(Esc pressed)");
        } else {
            out_.Fail("Esc could not be pressed");
        }
    }
}

int Responder::AnswerBox(const Box& box) {
    if (replies_.empty()) {
        out_.Fail("a box waits for an answer the script does not give (Esc pressed)");
        return -1;
    }
    const Reply reply = replies_.front();
    replies_.pop_front();
    const int n = static_cast<int>(box.buttons.size());
    int answer = -1;
    switch (reply.how) {
    case ReplyHow::Ok:
        answer = 0;
        break;
    case ReplyHow::Cancel:
        answer = n >= 2 ? n - 1 : -1;
        break;
    case ReplyHow::Esc:
        break;
    case ReplyHow::Button:
        answer = reply.button;
        if (answer >= n) {
            out_.Fail("the box has no button " + std::to_string(answer));
            answer = -1;
        }
        break;
    }
    if (!reply.edits.empty() || !reply.checks.empty()) {
        out_.Fail("dialog changes scripted for a box (line " + std::to_string(reply.line) + ")");
    }
    return answer;
}

int Responder::Dialog(FarIntPtr number, int x1, int y1, int x2, int y2, const char* helpTopic,
                      FarDialogItem* items, int count) {
    if (items == nullptr || count <= 0 || x2 < 0 || y2 < 0) {
        out_.Print("[dialog with bad arguments] -> -1");
        return -1;
    }
    const int width = x1 == -1 ? x2 : x2 - x1 + 1;
    const int height = y1 == -1 ? y2 : y2 - y1 + 1;
    std::vector<FarDialogItem> drawn(items, items + count);
    for (FarDialogItem& item : drawn) {
        if (!IsVarEdit(item)) {
            CopyText(item.Data, sizeof item.Data, out_.Normalise(ItemText(item)));
        }
    }
    for (const std::string& line : RenderDialog(width, height, helpTopic, drawn.data(), count)) {
        out_.Print(line);
    }
    for (int i = 0; i < count; ++i) {
        shown_.push_back(ItemText(items[i]));
    }
    std::string changes;
    const int answer = AnswerDialog(items, count, changes);
    out_.Print((answer < 0
                    ? std::string("-> Esc")
                    : "-> #" + std::to_string(answer) + " \"" + ItemText(items[answer]) + "\"") +
               changes);
    kit_.dialogAnswers.push_back(answer);
    return kit_.Dialog(number, x1, y1, x2, y2, helpTopic, items, count);
}

int Responder::AnswerDialog(FarDialogItem* items, int count, std::string& changes) {
    if (replies_.empty()) {
        out_.Fail("a dialog waits for an answer the script does not give (Esc pressed)");
        return -1;
    }
    const Reply reply = replies_.front();
    replies_.pop_front();
    // Edits first, then the buttons and boxes, each reported in script order.
    changes = Edit(reply, items, count);
    changes += Mark(reply, items, count);
    int answer = -1;
    switch (reply.how) {
    case ReplyHow::Ok:
        for (int i = 0; i < count && answer < 0; ++i) {
            if (items[i].DefaultButton) {
                answer = i;
            }
        }
        if (answer < 0) {
            out_.Fail("the dialog has no default button for 'reply ok'");
        }
        break;
    case ReplyHow::Cancel:
        for (int i = count - 1; i >= 0 && answer < 0; --i) {
            if (items[i].Type == DI_BUTTON && !items[i].DefaultButton) {
                answer = i;
            }
        }
        if (answer < 0) {
            out_.Fail("the dialog has no cancel button");
        }
        break;
    case ReplyHow::Esc:
        break;
    case ReplyHow::Button:
        answer = reply.button < count ? reply.button : -1;
        if (answer < 0) {
            out_.Fail("the dialog has no item " + std::to_string(reply.button));
        }
        break;
    }
    return answer;
}

std::string Responder::Edit(const Reply& reply, FarDialogItem* items, int count) {
    std::string changes;
    for (const auto& [index, text] : reply.edits) {
        if (index >= count || !IsEditField(items[index])) {
            out_.Fail("dialog item " + std::to_string(index) + " is not an edit field");
            continue;
        }
        FarDialogItem& item = items[index];
        if (IsVarEdit(item)) {
            if (item.Ptr.PtrData != nullptr && item.Ptr.PtrLength > 0) {
                CopyText(item.Ptr.PtrData, static_cast<std::size_t>(item.Ptr.PtrLength) + 1, text);
            }
        } else {
            CopyText(item.Data, sizeof item.Data, text);
        }
        changes += "  #" + std::to_string(index) + " = \"" + ItemText(item) + "\"";
    }
    return changes;
}

std::string Responder::Mark(const Reply& reply, FarDialogItem* items, int count) {
    std::string changes;
    for (const auto& [index, state] : reply.checks) {
        if (index >= count || items[index].Type != (state < 0 ? DI_RADIOBUTTON : DI_CHECKBOX)) {
            out_.Fail("dialog item " + std::to_string(index) + " is not a " +
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
    return changes;
}

} // namespace pixlor::host
