#include <gtest/gtest.h>

#include "host/FarApi.h"
#include "tools/host/Script.h"

namespace pixlor::host {
namespace {

struct GoodLine {
    const char* text;
    Op op;
    int number;
    std::vector<std::string> names;
};

class GoodLines : public ::testing::TestWithParam<GoodLine> {};

TEST_P(GoodLines, Parse) {
    const GoodLine& want = GetParam();
    const LineResult r = ParseLine(want.text, 7);
    ASSERT_TRUE(r.error.empty()) << want.text << ": " << r.error;
    ASSERT_TRUE(r.isCommand);
    EXPECT_EQ(r.command.op, want.op);
    EXPECT_EQ(r.command.line, 7);
    EXPECT_EQ(r.command.number, want.number);
    EXPECT_EQ(r.command.names, want.names);
}

TEST(ScriptEsc, TheWayOfTheEscIsCharacterUnlessNamed) {
    EXPECT_EQ(ParseLine("esc-progress 3", 1).command.esc, EscWay::Character);
    EXPECT_EQ(ParseLine("esc-progress 3 terminal", 1).command.esc, EscWay::Terminal);
    const LineResult vk = ParseLine("esc-progress 3 VK", 1);
    EXPECT_TRUE(vk.error.empty()) << vk.error;
    EXPECT_EQ(vk.command.number, 3);
    EXPECT_EQ(vk.command.esc, EscWay::VirtualKey);
}

INSTANTIATE_TEST_SUITE_P(
    Script, GoodLines,
    ::testing::Values(
        GoodLine{"load", Op::Load, 0, {}},
        GoodLine{"  OPEN  # from the disk menu", Op::Open, 0, {}},
        GoodLine{"list keybar title", Op::List, 0, {}},
        GoodLine{"cd 02-05-17", Op::Cd, 0, {"02-05-17"}}, GoodLine{"cd ..", Op::Cd, 0, {".."}},
        GoodLine{"select a.jpg \"b c.jpg\"", Op::Select, 0, {"a.jpg", "b c.jpg"}},
        GoodLine{"getfiles", Op::GetFiles, 0, {}},
        GoodLine{"cursor pic.jpg", Op::Cursor, 0, {"pic.jpg"}},
        GoodLine{"edit 2 \"./demo photos\"", Op::Edit, 2, {"./demo photos"}},
        GoodLine{"edit 2 \"\"", Op::Edit, 2, {""}},
        GoodLine{"edit 2 \"say \\\"hi\\\" \\\\\"", Op::Edit, 2, {"say \"hi\" \\"}},
        GoodLine{"radio 4", Op::Radio, 4, {}}, GoodLine{"check 5 1", Op::Check, 5, {"1"}},
        GoodLine{"reply button 3", Op::Reply, 3, {}},
        GoodLine{"esc-progress 2", Op::EscProgress, 2, {}},
        GoodLine{"passive out", Op::Passive, 0, {"out"}},
        GoodLine{"expect box \"Reading the camera\"", Op::ExpectBox, 0, {"Reading the camera"}},
        GoodLine{"expect no-box Errors", Op::ExpectNoBox, 0, {"Errors"}},
        GoodLine{"expect result -1", Op::ExpectResult, -1, {}},
        GoodLine{"expect items 0", Op::ExpectItems, 0, {}},
        GoodLine{"expect file 02-05-17/pic.jpg", Op::ExpectFile, 0, {"02-05-17/pic.jpg"}},
        GoodLine{"expect closed", Op::ExpectClosed, 0, {}},
        GoodLine{"stopwatch", Op::Stopwatch, 0, {}},
        GoodLine{"echo a \"b c\"", Op::Echo, 0, {"a", "b c"}}),
    [](const auto& p) { return "line" + std::to_string(p.index); });

class BadLines : public ::testing::TestWithParam<std::pair<const char*, const char*>> {};

TEST_P(BadLines, ReportWhatWasExpected) {
    const auto& [text, expected] = GetParam();
    const LineResult r = ParseLine(text, 3);
    EXPECT_NE(r.error.find(expected), std::string::npos) << text << " gave: " << r.error;
}

INSTANTIATE_TEST_SUITE_P(
    Script, BadLines,
    ::testing::Values(
        std::pair{"frobnicate", "unknown command 'frobnicate'"},
        std::pair{"load now", "'load' takes no arguments"},
        std::pair{"stopwatch F5", "'stopwatch' takes no arguments"},
        std::pair{"list everything", "'list' expects 'keybar' or 'title'"},
        std::pair{"cd", "'cd' expects one folder name"},
        std::pair{"cd a b", "'cd' expects one folder name"},
        std::pair{"select", "'select' expects"}, std::pair{"key F13", "'key' expects a key"},
        std::pair{"key F0", "'key' expects a key"},
        std::pair{"key Shift+Shift+F5", "'key' expects a key"},
        std::pair{"key Meta+F5", "'key' expects a key"},
        std::pair{"key Shift+", "'key' expects a key"}, std::pair{"reply maybe", "'reply' expects"},
        std::pair{"reply button x", "'reply' expects"},
        std::pair{"reply button -1", "'reply' expects"}, std::pair{"edit x text", "'edit' expects"},
        std::pair{"edit 2 two words", "'edit' expects"}, std::pair{"check 3 7", "'check' expects"},
        std::pair{"esc-progress 0", "'esc-progress' expects"},
        std::pair{"cursor a b", "'cursor' expects one item name"},
        std::pair{"esc-progress 2 char", "'esc-progress' expects"},
        std::pair{"esc-progress vk", "'esc-progress' expects"},
        std::pair{"radio 99999999999", "'radio' expects"}, std::pair{"expect", "'expect' expects"},
        std::pair{"expect rain", "unknown expectation"},
        std::pair{"expect items many", "'expect items' expects a count"},
        std::pair{"expect box", "'expect box' expects one text"},
        std::pair{"expect open now", "'expect open' expects nothing more"},
        std::pair{"echo \"open", "unterminated quote"},
        std::pair{"edit 2 \"a\"b", "followed by a blank"}),
    [](const auto& p) { return "line" + std::to_string(p.index); });

TEST(Script, KeysWithModifiers) {
    struct Case {
        const char* text;
        int key;
        unsigned modifiers;
    } cases[] = {{"F5", VK_F5, 0},
                 {"shift+f6", VK_F6, PKF_SHIFT},
                 {"Ctrl+Alt+F5", VK_F5, PKF_CONTROL | PKF_ALT},
                 {"Alt+Shift+Ctrl+F8", VK_F8, PKF_ALT | PKF_SHIFT | PKF_CONTROL},
                 {"F12", VK_F1 + 11, 0},
                 {"Enter", VK_RETURN, 0}};
    for (const Case& c : cases) {
        int key = 0;
        unsigned modifiers = 99;
        ASSERT_TRUE(ParseKey(c.text, key, modifiers)) << c.text;
        EXPECT_EQ(key, c.key) << c.text;
        EXPECT_EQ(modifiers, c.modifiers) << c.text;
    }
}

TEST(Script, WholeScriptKeepsGoodLinesAndNumbersEveryBadOne) {
    const Script s = ParseScript("# comment\n\nload\nbogus\r\nopen\nkey F99\nclose");
    ASSERT_EQ(s.errors.size(), 2u);
    EXPECT_EQ(s.errors[0].line, 4);
    EXPECT_EQ(s.errors[1].line, 6);
    ASSERT_EQ(s.commands.size(), 3u);
    EXPECT_EQ(s.commands[0].op, Op::Load);
    EXPECT_EQ(s.commands[1].line, 5);
    EXPECT_EQ(s.commands[2].op, Op::Close);
}

TEST(Script, SurvivesHostileText) {
    std::string junk;
    for (int i = 0; i < 512; ++i) {
        junk += static_cast<char>((i * 37) & 0xFF);
    }
    junk += "\"\\";
    const Script s = ParseScript(junk);
    EXPECT_FALSE(s.errors.empty());
    EXPECT_TRUE(ParseScript("").commands.empty());
    EXPECT_TRUE(ParseScript("\n\n\n").errors.empty());
}

} // namespace
} // namespace pixlor::host
