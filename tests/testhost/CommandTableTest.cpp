#include <gtest/gtest.h>

#include <set>

#include "host/FarApi.h"
#include "tools/host/CommandTable.h"
#include "tools/host/Script.h"

namespace pixlor::host {
namespace {

const CommandRow& Row(std::string_view name) {
    for (const CommandRow& row : CommandRows()) {
        if (row.name == name) {
            return row;
        }
    }
    ADD_FAILURE() << "no row " << name;
    return CommandRows().front();
}

// One shape's reading of one argument list, and the fields it must fill.
struct ShapeCase {
    const char* command;
    std::vector<std::string> args;
    bool ok;
    int number = 0;
    std::vector<std::string> names = {};
    int key = 0;
    unsigned modifiers = 0;
    bool keybar = false, title = false, shift = false;
    SelectHow select = SelectHow::Names;
    ReplyHow reply = ReplyHow::Ok;
    const char* detail = "";
};

class Shapes : public ::testing::TestWithParam<ShapeCase> {};

TEST_P(Shapes, ReadTheirArguments) {
    const ShapeCase& want = GetParam();
    Command c;
    std::string detail;
    const bool ok = ReadArguments(Row(want.command), want.args, c, detail);
    ASSERT_EQ(ok, want.ok) << want.command;
    EXPECT_EQ(detail, want.detail);
    if (!ok) {
        return;
    }
    EXPECT_EQ(c.number, want.number);
    EXPECT_EQ(c.names, want.names);
    EXPECT_EQ(c.key, want.key);
    EXPECT_EQ(c.modifiers, want.modifiers);
    EXPECT_EQ(c.keybar, want.keybar);
    EXPECT_EQ(c.title, want.title);
    EXPECT_EQ(c.shift, want.shift);
    EXPECT_EQ(c.select, want.select);
    EXPECT_EQ(c.reply, want.reply);
}

INSTANTIATE_TEST_SUITE_P(
    CommandTable, Shapes,
    ::testing::Values(
        // Nothing
        ShapeCase{.command = "load", .args = {}, .ok = true},
        ShapeCase{.command = "expect open", .args = {"now"}, .ok = false},
        // ListParts
        ShapeCase{.command = "list",
                  .args = {"TITLE", "keybar"},
                  .ok = true,
                  .keybar = true,
                  .title = true},
        ShapeCase{
            .command = "list", .args = {"keybar", "Rows"}, .ok = false, .detail = ", not 'Rows'"},
        // OneWord
        ShapeCase{.command = "cd", .args = {"a b"}, .ok = true, .names = {"a b"}},
        ShapeCase{.command = "passive", .args = {}, .ok = false},
        ShapeCase{.command = "expect item", .args = {"a", "b"}, .ok = false},
        // Selection
        ShapeCase{.command = "select", .args = {"ALL"}, .ok = true, .select = SelectHow::All},
        ShapeCase{.command = "select", .args = {"none"}, .ok = true, .select = SelectHow::None},
        ShapeCase{
            .command = "select", .args = {"all", "b.jpg"}, .ok = true, .names = {"all", "b.jpg"}},
        ShapeCase{.command = "select", .args = {}, .ok = false},
        // Key
        ShapeCase{.command = "key",
                  .args = {"ctrl+f5"},
                  .ok = true,
                  .key = VK_F5,
                  .modifiers = PKF_CONTROL},
        ShapeCase{.command = "key", .args = {"F5", "F6"}, .ok = false},
        // ShiftAndNames
        ShapeCase{.command = "getfiles",
                  .args = {"Shift", "a.jpg"},
                  .ok = true,
                  .names = {"a.jpg"},
                  .shift = true},
        ShapeCase{.command = "getfiles",
                  .args = {"a.jpg", "shift"},
                  .ok = true,
                  .names = {"a.jpg", "shift"}},
        ShapeCase{.command = "getfiles", .args = {}, .ok = true},
        // Answer
        ShapeCase{.command = "reply", .args = {"Cancel"}, .ok = true, .reply = ReplyHow::Cancel},
        ShapeCase{.command = "reply", .args = {"esc"}, .ok = true, .reply = ReplyHow::Esc},
        ShapeCase{.command = "reply",
                  .args = {"button", "100000"},
                  .ok = true,
                  .number = 100000,
                  .reply = ReplyHow::Button},
        ShapeCase{.command = "reply", .args = {"button", "100001"}, .ok = false},
        ShapeCase{.command = "reply", .args = {"button"}, .ok = false},
        ShapeCase{.command = "reply", .args = {"ok", "now"}, .ok = false},
        // Number, within the row's range
        ShapeCase{.command = "radio", .args = {"0"}, .ok = true},
        ShapeCase{.command = "esc-progress", .args = {"0"}, .ok = false},
        // NumberAndWay
        ShapeCase{.command = "esc-progress", .args = {"2", "VK"}, .ok = true, .number = 2},
        ShapeCase{.command = "esc-progress", .args = {"2"}, .ok = true, .number = 2},
        ShapeCase{.command = "esc-progress", .args = {"2", "char"}, .ok = false},
        ShapeCase{.command = "expect result", .args = {"-1000000"}, .ok = true, .number = -1000000},
        ShapeCase{.command = "expect result", .args = {"1000001"}, .ok = false},
        ShapeCase{.command = "expect items", .args = {"-1"}, .ok = false},
        ShapeCase{.command = "expect files", .args = {"1x"}, .ok = false},
        // IndexAndText
        ShapeCase{.command = "edit", .args = {"3", ""}, .ok = true, .number = 3, .names = {""}},
        ShapeCase{.command = "edit", .args = {"3"}, .ok = false},
        ShapeCase{.command = "edit", .args = {"-1", "x"}, .ok = false},
        // IndexAndState
        ShapeCase{.command = "check", .args = {"5", "2"}, .ok = true, .number = 5, .names = {"2"}},
        ShapeCase{.command = "check", .args = {"5", "3"}, .ok = false},
        // Words
        ShapeCase{.command = "echo", .args = {}, .ok = true},
        ShapeCase{.command = "echo", .args = {"a", "b"}, .ok = true, .names = {"a", "b"}}),
    [](const auto& p) { return "case" + std::to_string(p.index); });

TEST(CommandTable, OneRowForEveryOpAndEveryName) {
    std::set<std::string_view> names;
    std::set<Op> ops;
    for (const CommandRow& row : CommandRows()) {
        EXPECT_TRUE(names.insert(row.name).second) << row.name;
        EXPECT_TRUE(ops.insert(row.op).second) << row.name;
        for (const char ch : row.name) {
            EXPECT_FALSE(ch >= 'A' && ch <= 'Z') << row.name;
        }
        // Only an expectation's name has a blank: the parser joins its two words.
        EXPECT_EQ(row.name.find(' ') != std::string_view::npos, row.name.starts_with("expect "))
            << row.name;
        const bool canFail = row.shape != Shape::ShiftAndNames && row.shape != Shape::Words;
        EXPECT_EQ(!row.usage.empty(), canFail) << row.name;
        EXPECT_EQ(NameOf(row.op), row.name);
    }
    EXPECT_EQ(ops.size(), static_cast<std::size_t>(Op::Echo) + 1);
}

TEST(CommandTable, ErrorsNameTheCommandAsWrittenInTheTable) {
    const std::pair<const char*, const char*> cases[] = {
        {"EXPECT",
         "'expect' expects box, no-box, items, item, result, files, file, open or closed"},
        {"Expect Items many", "'expect items' expects a count"},
        {"CD a b", "'cd' expects one folder name"},
        {"expect \"\"", "unknown expectation ''"},
        // A quoted name with a blank is no expectation.
        {"\"expect box\" x", "unknown command 'expect box'"},
        {"list keybar rows", "'list' expects 'keybar' or 'title', not 'rows'"},
    };
    for (const auto& [line, error] : cases) {
        EXPECT_EQ(ParseLine(line, 1).error, error) << line;
    }
}

TEST(CommandTable, KeyNamesReadBackAsTheSameKey) {
    const int keys[] = {VK_F1, VK_F5, VK_F1 + 11, VK_RETURN};
    for (const int key : keys) {
        for (unsigned modifiers = 0; modifiers <= (PKF_SHIFT | PKF_CONTROL | PKF_ALT);
             ++modifiers) {
            if (modifiers & ~(PKF_SHIFT | PKF_CONTROL | PKF_ALT)) {
                continue;
            }
            int readKey = 0;
            unsigned readModifiers = 0;
            const std::string name = KeyName(key, modifiers);
            ASSERT_TRUE(ParseKey(name, readKey, readModifiers)) << name;
            EXPECT_EQ(readKey, key) << name;
            EXPECT_EQ(readModifiers, modifiers) << name;
        }
    }
}

} // namespace
} // namespace pixlor::host
