#include "tools/host/CommandTable.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "host/FarApi.h"

namespace pixlor::host {

namespace {

constexpr int kMaxIndex = 100000;
constexpr int kMaxResult = 1000000;
constexpr std::string_view kExpect = "expect";

constexpr CommandRow kRows[] = {
    {"load", Op::Load, Shape::Nothing, "takes no arguments"},
    {"open", Op::Open, Shape::Nothing, "takes no arguments"},
    {"list", Op::List, Shape::ListParts, "expects 'keybar' or 'title'"},
    {"cd", Op::Cd, Shape::OneWord, "expects one folder name"},
    {"select", Op::Select, Shape::Selection, "expects 'all', 'none' or item names"},
    {"cursor", Op::Cursor, Shape::OneWord, "expects one item name"},
    {"key", Op::Key, Shape::Key, "expects a key such as F5, Shift+F6 or Ctrl+Alt+F5"},
    {"getfiles", Op::GetFiles, Shape::ShiftAndNames, ""},
    {"configure", Op::Configure, Shape::Nothing, "takes no arguments"},
    {"close", Op::Close, Shape::Nothing, "takes no arguments"},
    {"reply", Op::Reply, Shape::Answer, "expects ok, cancel, esc or 'button N'", 0, kMaxIndex},
    {"edit", Op::Edit, Shape::IndexAndText,
     "expects an item index and one text (quote it if it has blanks)", 0, kMaxIndex},
    {"radio", Op::Radio, Shape::Number, "expects an item index", 0, kMaxIndex},
    {"check", Op::Check, Shape::IndexAndState, "expects an item index and a state 0, 1 or 2", 0,
     kMaxIndex},
    {"esc-progress", Op::EscProgress, Shape::NumberAndWay,
     "expects a progress box number from 1, then 'vk', 'terminal' or nothing", 1, kMaxIndex},
    {"passive", Op::Passive, Shape::OneWord, "expects one folder"},
    {"language", Op::Language, Shape::OneWord, "expects one language name"},
    {"expect box", Op::ExpectBox, Shape::OneWord, "expects one text (quote it if it has blanks)"},
    {"expect no-box", Op::ExpectNoBox, Shape::OneWord,
     "expects one text (quote it if it has blanks)"},
    {"expect items", Op::ExpectItems, Shape::Number, "expects a count", 0, kMaxIndex},
    {"expect item", Op::ExpectItem, Shape::OneWord, "expects one name"},
    {"expect result", Op::ExpectResult, Shape::Number, "expects a number", -kMaxResult, kMaxResult},
    {"expect files", Op::ExpectFiles, Shape::Number, "expects a count", 0, kMaxIndex},
    {"expect file", Op::ExpectFile, Shape::OneWord, "expects one name"},
    {"expect open", Op::ExpectOpen, Shape::Nothing, "expects nothing more"},
    {"expect closed", Op::ExpectClosed, Shape::Nothing, "expects nothing more"},
    {"stopwatch", Op::Stopwatch, Shape::Nothing, "takes no arguments"},
    {"echo", Op::Echo, Shape::Words, ""},
};

std::string Lower(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

bool ParseInt(std::string_view text, int& value, int low, int high) {
    int parsed = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (ec != std::errc{} || end != text.data() + text.size() || parsed < low || parsed > high) {
        return false;
    }
    value = parsed;
    return true;
}

bool IsExpectation(std::string_view name) {
    return name.size() > kExpect.size() && name.substr(0, kExpect.size() + 1) == "expect ";
}

const CommandRow* FindRow(std::string_view name) {
    const auto rows = CommandRows();
    const auto found = std::find_if(rows.begin(), rows.end(),
                                    [&](const CommandRow& row) { return row.name == name; });
    return found == rows.end() ? nullptr : &*found;
}

// "box, no-box, ... open or closed": the kinds the table knows.
std::string ExpectationKinds() {
    std::vector<std::string_view> kinds;
    for (const CommandRow& row : CommandRows()) {
        if (IsExpectation(row.name)) {
            kinds.push_back(row.name.substr(kExpect.size() + 1));
        }
    }
    std::string list;
    for (std::size_t i = 0; i < kinds.size(); ++i) {
        list += i == 0 ? "" : i + 1 == kinds.size() ? " or " : ", ";
        list += kinds[i];
    }
    return list;
}

} // namespace

std::span<const CommandRow> CommandRows() {
    return kRows;
}

std::string_view NameOf(Op op) {
    const auto rows = CommandRows();
    const auto found =
        std::find_if(rows.begin(), rows.end(), [&](const CommandRow& row) { return row.op == op; });
    return found == rows.end() ? std::string_view() : found->name;
}

bool ReadArguments(const CommandRow& row, const std::vector<std::string>& args, Command& c,
                   std::string& detail) {
    const std::size_t n = args.size();
    switch (row.shape) {
    case Shape::Nothing:
        return n == 0;
    case Shape::ListParts:
        for (const std::string& word : args) {
            const std::string part = Lower(word);
            if (part == "keybar") {
                c.keybar = true;
            } else if (part == "title") {
                c.title = true;
            } else {
                detail = ", not '" + word + "'";
                return false;
            }
        }
        return true;
    case Shape::OneWord:
        c.names = args;
        return n == 1;
    case Shape::Selection: {
        if (n == 0) {
            return false;
        }
        const std::string first = Lower(args[0]);
        if (n == 1 && (first == "all" || first == "none")) {
            c.select = first == "all" ? SelectHow::All : SelectHow::None;
            return true;
        }
        c.names = args;
        return true;
    }
    case Shape::Key:
        return n == 1 && ParseKey(args[0], c.key, c.modifiers);
    case Shape::ShiftAndNames:
        c.shift = n >= 1 && Lower(args[0]) == "shift";
        c.names.assign(args.begin() + (c.shift ? 1 : 0), args.end());
        return true;
    case Shape::Answer: {
        const std::string how = n >= 1 ? Lower(args[0]) : "";
        if (n == 1 && how == "ok") {
            c.reply = ReplyHow::Ok;
        } else if (n == 1 && how == "cancel") {
            c.reply = ReplyHow::Cancel;
        } else if (n == 1 && how == "esc") {
            c.reply = ReplyHow::Esc;
        } else if (n == 2 && how == "button" && ParseInt(args[1], c.number, row.low, row.high)) {
            c.reply = ReplyHow::Button;
        } else {
            return false;
        }
        return true;
    }
    case Shape::Number:
        return n == 1 && ParseInt(args[0], c.number, row.low, row.high);
    case Shape::NumberAndWay: {
        const std::string way = n == 2 ? Lower(args[1]) : "";
        c.esc = way == "vk"         ? EscWay::VirtualKey
                : way == "terminal" ? EscWay::Terminal
                                    : EscWay::Character;
        const bool known = n == 1 || (n == 2 && c.esc != EscWay::Character);
        return known && ParseInt(args[0], c.number, row.low, row.high);
    }
    case Shape::IndexAndText:
        if (n != 2 || !ParseInt(args[0], c.number, row.low, row.high)) {
            return false;
        }
        c.names = {args[1]};
        return true;
    case Shape::IndexAndState: {
        int state = 0;
        if (n != 2 || !ParseInt(args[0], c.number, row.low, row.high) ||
            !ParseInt(args[1], state, 0, 2)) {
            return false;
        }
        c.names = {args[1]};
        return true;
    }
    case Shape::Words:
        c.names = args;
        return true;
    }
    return false;
}

std::string ParseCommand(const std::vector<std::string>& words, Command& c) {
    std::string name = Lower(words[0]);
    std::size_t first = 1; // the first argument
    if (name == kExpect) {
        if (words.size() < 2) {
            return "'expect' expects " + ExpectationKinds();
        }
        name += " " + Lower(words[1]);
        first = 2;
    }
    const CommandRow* row =
        first == 2 || name.find(' ') == std::string::npos ? FindRow(name) : nullptr;
    if (row == nullptr) {
        return first == 2 ? "unknown expectation '" + words[1] + "'"
                          : "unknown command '" + words[0] + "'";
    }
    c.op = row->op;
    const std::vector<std::string> args(words.begin() + static_cast<std::ptrdiff_t>(first),
                                        words.end());
    std::string detail;
    if (ReadArguments(*row, args, c, detail)) {
        return "";
    }
    return "'" + name + "' " + std::string(row->usage) + detail;
}

bool ParseKey(std::string_view text, int& key, unsigned& modifiers) {
    unsigned mods = 0;
    std::string rest = Lower(text);
    for (;;) {
        const auto plus = rest.find('+');
        if (plus == std::string::npos) {
            break;
        }
        const std::string mod = rest.substr(0, plus);
        unsigned bit = 0;
        if (mod == "shift") {
            bit = PKF_SHIFT;
        } else if (mod == "ctrl") {
            bit = PKF_CONTROL;
        } else if (mod == "alt") {
            bit = PKF_ALT;
        } else {
            return false;
        }
        if (mods & bit) {
            return false;
        }
        mods |= bit;
        rest.erase(0, plus + 1);
    }
    int vk = 0;
    int number = 0;
    if (rest == "enter") {
        vk = VK_RETURN;
    } else if (rest.size() >= 2 && rest[0] == 'f' && ParseInt(rest.substr(1), number, 1, 12) &&
               rest[1] != '0') {
        vk = VK_F1 + number - 1;
    } else {
        return false;
    }
    key = vk;
    modifiers = mods;
    return true;
}

std::string KeyName(int key, unsigned modifiers) {
    std::string name;
    if (modifiers & PKF_SHIFT) {
        name += "Shift+";
    }
    if (modifiers & PKF_CONTROL) {
        name += "Ctrl+";
    }
    if (modifiers & PKF_ALT) {
        name += "Alt+";
    }
    if (key == VK_RETURN) {
        return name + "Enter";
    }
    return name + "F" + std::to_string(key - VK_F1 + 1);
}

} // namespace pixlor::host
