#include <gtest/gtest.h>

#include <cstring>

#include "PartsSupport.h"
#include "tools/host/Responder.h"

namespace pixlor::host {
namespace {

Command Scripted(Op op, int number = 0, std::string text = "", ReplyHow how = ReplyHow::Ok) {
    Command c;
    c.op = op;
    c.line = 9;
    c.number = number;
    c.reply = how;
    if (!text.empty()) {
        c.names = {text};
    }
    return c;
}

struct Fixture {
    hostkit::HostKit kit;
    testing::CapturedTranscript out;
    int escPresses = 0;
    bool escTakes = true;        // false: the console refuses the press
    std::vector<EscWay> escWays; // the way of each press
    Responder responder{kit,
                        out.transcript,
                        {[this](EscWay way) {
                             ++escPresses;
                             escWays.push_back(way);
                             return escTakes;
                         },
                         nullptr}};

    int Box(std::vector<const char*> items, int buttons) {
        return responder.Message(kit.moduleNumber, 0, "Topic", items.data(),
                                 static_cast<int>(items.size()), buttons);
    }
};

struct BoxCase {
    std::vector<Command> script; // before the box
    int buttons;
    int answer;
    bool fails;
};

class BoxAnswers : public ::testing::TestWithParam<BoxCase> {};

TEST_P(BoxAnswers, FollowTheReply) {
    const BoxCase& want = GetParam();
    Fixture f;
    for (const Command& c : want.script) {
        f.responder.Queue(c);
    }
    std::vector<const char*> items = {"Title", "A line", "OK", "Retry", "Cancel"};
    items.resize(2 + static_cast<std::size_t>(want.buttons));
    EXPECT_EQ(f.Box(items, want.buttons), want.answer);
    EXPECT_EQ(f.out.transcript.Failed(), want.fails) << f.out.Text();
    ASSERT_EQ(f.kit.messages.size(), 1u) << "the kit records the box";
    EXPECT_EQ(f.kit.messages[0].answer, want.answer);
}

INSTANTIATE_TEST_SUITE_P(
    Responder, BoxAnswers,
    ::testing::Values(BoxCase{{Scripted(Op::Reply)}, 2, 0, false},
                      BoxCase{{Scripted(Op::Reply, 0, "", ReplyHow::Cancel)}, 3, 2, false},
                      BoxCase{{Scripted(Op::Reply, 0, "", ReplyHow::Cancel)}, 1, -1, false},
                      BoxCase{{Scripted(Op::Reply, 0, "", ReplyHow::Esc)}, 2, -1, false},
                      BoxCase{{Scripted(Op::Reply, 1, "", ReplyHow::Button)}, 2, 1, false},
                      BoxCase{{Scripted(Op::Reply, 2, "", ReplyHow::Button)}, 2, -1, true},
                      BoxCase{{}, 2, -1, true},
                      BoxCase{{Scripted(Op::Edit, 1, "x"), Scripted(Op::Reply)}, 2, 0, true}),
    [](const auto& p) { return "case" + std::to_string(p.index); });

FarDialogItem Item(int type, const char* text, FarDword flags = 0, int selected = 0) {
    FarDialogItem item{};
    item.Type = type;
    item.Flags = flags;
    item.Selected = selected;
    std::snprintf(item.Data, sizeof item.Data, "%s", text);
    return item;
}

struct Dialog {
    char var[6] = "abc";
    std::vector<FarDialogItem> items = {
        Item(DI_TEXT, "Label"),
        Item(DI_EDIT, "old"),
        Item(DI_RADIOBUTTON, "a", DIF_GROUP, 1),
        Item(DI_RADIOBUTTON, "b"),
        Item(DI_RADIOBUTTON, "c", DIF_GROUP, 1), // another group
        Item(DI_CHECKBOX, "box"),
        Item(DI_BUTTON, "OK"),
        Item(DI_BUTTON, "Cancel"),
        Item(DI_EDIT, "", DIF_VAREDIT),
    };
    Dialog() {
        items[6].DefaultButton = 1;
        items[8].Ptr.PtrData = var;
        items[8].Ptr.PtrLength = 5;
    }
    int Show(Fixture& f) {
        return f.responder.Dialog(f.kit.moduleNumber, -1, -1, 40, 12, "Help", items.data(),
                                  static_cast<int>(items.size()));
    }
};

TEST(Responder, DialogTakesTheScriptedChangesAndItsDefaultButton) {
    Fixture f;
    Dialog d;
    f.responder.Queue(Scripted(Op::Edit, 1, "new"));
    f.responder.Queue(Scripted(Op::Radio, 3));
    f.responder.Queue(Scripted(Op::Check, 5, "1"));
    f.responder.Queue(Scripted(Op::Edit, 8, "longer than five"));
    f.responder.Queue(Scripted(Op::Reply));
    EXPECT_EQ(d.Show(f), 6);
    EXPECT_FALSE(f.out.transcript.Failed()) << f.out.Text();
    EXPECT_STREQ(d.items[1].Data, "new");
    EXPECT_EQ(d.items[2].Selected, 0);
    EXPECT_EQ(d.items[3].Selected, 1);
    EXPECT_EQ(d.items[4].Selected, 1) << "the next group keeps its choice";
    EXPECT_EQ(d.items[5].Selected, 1);
    EXPECT_STREQ(d.var, "longe") << "a variable edit field gets what its buffer holds";
    EXPECT_NE(f.out.Text().find("-> #6 \"OK\"  #1 = \"new\"  #8 = \"longe\"  #3 (*)  #5 [1]"),
              std::string::npos)
        << f.out.Text();
    EXPECT_EQ(f.responder.Shown().front(), "Label");
}

TEST(Responder, DialogChangesThatDoNotFitTheItemsFailButTheDialogIsAnswered) {
    const struct {
        std::vector<Command> script;
        int answer;
        const char* failure;
    } cases[] = {
        {{Scripted(Op::Edit, 0, "x"), Scripted(Op::Reply)}, 6, "item 0 is not an edit field"},
        {{Scripted(Op::Check, 2, "1"), Scripted(Op::Reply)}, 6, "item 2 is not a check box"},
        {{Scripted(Op::Radio, 5), Scripted(Op::Reply)}, 6, "item 5 is not a radio button"},
        {{Scripted(Op::Radio, 99), Scripted(Op::Reply)}, 6, "item 99 is not a radio button"},
        {{Scripted(Op::Reply, 0, "", ReplyHow::Cancel)}, 7, nullptr},
        {{Scripted(Op::Reply, 99, "", ReplyHow::Button)}, -1, "the dialog has no item 99"},
        {{}, -1, "a dialog waits for an answer"},
    };
    for (const auto& c : cases) {
        Fixture f;
        Dialog d;
        for (const Command& command : c.script) {
            f.responder.Queue(command);
        }
        EXPECT_EQ(d.Show(f), c.answer);
        const std::string text = f.out.Text();
        EXPECT_EQ(f.out.transcript.Failed(), c.failure != nullptr) << text;
        if (c.failure != nullptr) {
            EXPECT_NE(text.find(c.failure), std::string::npos) << text;
        }
    }
}

TEST(Responder, PressesEscAtTheScriptedProgressBoxOnly) {
    Fixture f;
    f.responder.Queue(Scripted(Op::EscProgress, 2));
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(f.Box({"Copying", "50%"}, 0), 0);
    }
    EXPECT_EQ(f.escPresses, 1);
    EXPECT_EQ(f.out.Text(), "~ Copying | 50%\n~ Copying | 50%\n(Esc pressed)\n~ Copying | 50%\n");
    f.responder.ReportUnused();
    EXPECT_FALSE(f.out.transcript.Failed());
}

TEST(Responder, AnEscThatCannotBePressedFailsTheRun) {
    Fixture f;
    f.escTakes = false;
    f.responder.Queue(Scripted(Op::EscProgress, 1));
    EXPECT_EQ(f.Box({"Copying", "50%"}, 0), 0);
    EXPECT_TRUE(f.out.transcript.Failed());
    EXPECT_NE(f.out.Text().find("Esc could not be pressed"), std::string::npos);
}

TEST(Responder, PressesEscTheWayTheScriptSays) {
    Fixture f;
    Command vk = Scripted(Op::EscProgress, 1);
    vk.esc = EscWay::VirtualKey;
    f.responder.Queue(vk);
    f.Box({"Copying", "10%"}, 0);
    f.responder.Queue(Scripted(Op::EscProgress, 1));
    f.Box({"Copying", "20%"}, 0);
    EXPECT_EQ(f.escWays, (std::vector<EscWay>{EscWay::VirtualKey, EscWay::Character}));
}

TEST(Responder, ReportsWhatTheScriptLeftUnused) {
    Fixture f;
    f.responder.Queue(Scripted(Op::Reply));
    f.responder.Queue(Scripted(Op::Check, 3, "1"));
    f.responder.Queue(Scripted(Op::EscProgress, 4));
    f.responder.ReportUnused();
    const std::string text = f.out.Text();
    EXPECT_NE(text.find("1 scripted replies were never used (first: line 9)"), std::string::npos);
    EXPECT_NE(text.find("dialog changes without a reply after them"), std::string::npos);
    EXPECT_NE(text.find("progress box 4 for the Esc never came"), std::string::npos);
}

} // namespace
} // namespace pixlor::host
