#include "tools/host/Script.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "host/FarApi.h"

namespace pixlor::host {

namespace {

constexpr int kMaxIndex = 100000;

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

struct Words {
    std::vector<std::string> w;
    std::size_t size() const { return w.size(); }
    const std::string& operator[](std::size_t i) const { return w[i]; }
    std::vector<std::string> From(std::size_t i) const {
        return i < w.size() ? std::vector<std::string>(w.begin() + static_cast<long>(i), w.end())
                            : std::vector<std::string>{};
    }
};

// Fills `c` from the words after the command name; returns the error text or "".
std::string ParseCommand(const Words& w, Command& c) {
    const std::string name = Lower(w[0]);
    const std::size_t n = w.size() - 1; // arguments
    auto noArgs = [&](Op op) -> std::string {
        c.op = op;
        return n == 0 ? "" : "'" + name + "' takes no arguments";
    };
    auto oneNumber = [&](Op op, int low, int high, const char* what) -> std::string {
        c.op = op;
        if (n != 1 || !ParseInt(w[1], c.number, low, high)) {
            return "'" + name + "' expects " + what;
        }
        return "";
    };
    auto texts = [&](Op op, std::size_t least, const char* what) -> std::string {
        c.op = op;
        c.names = w.From(1);
        return n >= least ? "" : "'" + name + "' expects " + what;
    };

    if (name == "load") {
        return noArgs(Op::Load);
    }
    if (name == "open") {
        return noArgs(Op::Open);
    }
    if (name == "configure") {
        return noArgs(Op::Configure);
    }
    if (name == "close") {
        return noArgs(Op::Close);
    }
    if (name == "list") {
        c.op = Op::List;
        for (std::size_t i = 1; i <= n; ++i) {
            const std::string word = Lower(w[i]);
            if (word == "keybar") {
                c.keybar = true;
            } else if (word == "title") {
                c.title = true;
            } else {
                return "'list' expects 'keybar' or 'title', not '" + w[i] + "'";
            }
        }
        return "";
    }
    if (name == "cd") {
        c.op = Op::Cd;
        c.names = w.From(1);
        return n == 1 ? "" : "'cd' expects one folder name";
    }
    if (name == "select") {
        c.op = Op::Select;
        if (n == 0) {
            return "'select' expects 'all', 'none' or item names";
        }
        const std::string first = Lower(w[1]);
        if (n == 1 && (first == "all" || first == "none")) {
            c.select = first == "all" ? SelectHow::All : SelectHow::None;
            return "";
        }
        c.names = w.From(1);
        return "";
    }
    if (name == "cursor") {
        c.op = Op::Cursor;
        c.names = w.From(1);
        return n == 1 ? "" : "'cursor' expects one item name";
    }
    if (name == "key") {
        c.op = Op::Key;
        if (n != 1 || !ParseKey(w[1], c.key, c.modifiers)) {
            return "'key' expects a key such as F5, Shift+F6 or Ctrl+Alt+F5";
        }
        return "";
    }
    if (name == "getfiles") {
        c.op = Op::GetFiles;
        std::size_t first = 1;
        if (n >= 1 && Lower(w[1]) == "shift") {
            c.shift = true;
            first = 2;
        }
        c.names = w.From(first);
        return "";
    }
    if (name == "reply") {
        c.op = Op::Reply;
        const std::string how = n >= 1 ? Lower(w[1]) : "";
        if (n == 1 && how == "ok") {
            c.reply = ReplyHow::Ok;
        } else if (n == 1 && how == "cancel") {
            c.reply = ReplyHow::Cancel;
        } else if (n == 1 && how == "esc") {
            c.reply = ReplyHow::Esc;
        } else if (n == 2 && how == "button" && ParseInt(w[2], c.number, 0, kMaxIndex)) {
            c.reply = ReplyHow::Button;
        } else {
            return "'reply' expects ok, cancel, esc or 'button N'";
        }
        return "";
    }
    if (name == "edit") {
        c.op = Op::Edit;
        if (n != 2 || !ParseInt(w[1], c.number, 0, kMaxIndex)) {
            return "'edit' expects an item index and one text (quote it if it has blanks)";
        }
        c.names = {w[2]};
        return "";
    }
    if (name == "radio") {
        return oneNumber(Op::Radio, 0, kMaxIndex, "an item index");
    }
    if (name == "check") {
        c.op = Op::Check;
        int state = 0;
        if (n != 2 || !ParseInt(w[1], c.number, 0, kMaxIndex) || !ParseInt(w[2], state, 0, 2)) {
            return "'check' expects an item index and a state 0, 1 or 2";
        }
        c.names = {w[2]};
        return "";
    }
    if (name == "esc-progress") {
        c.op = Op::EscProgress;
        c.virtualKeyEsc = n == 2 && Lower(w[2]) == "vk";
        if ((n != 1 && !c.virtualKeyEsc) || !ParseInt(w[1], c.number, 1, kMaxIndex)) {
            return "'esc-progress' expects a progress box number from 1, then 'vk' or nothing";
        }
        return "";
    }
    if (name == "passive") {
        c.op = Op::Passive;
        c.names = w.From(1);
        return n == 1 ? "" : "'passive' expects one folder";
    }
    if (name == "language") {
        c.op = Op::Language;
        c.names = w.From(1);
        return n == 1 ? "" : "'language' expects one language name";
    }
    if (name == "stopwatch") {
        return noArgs(Op::Stopwatch);
    }
    if (name == "echo") {
        return texts(Op::Echo, 0, "");
    }
    if (name == "expect") {
        if (n == 0) {
            return "'expect' expects box, no-box, items, item, result, files, file, open or "
                   "closed";
        }
        const std::string what = Lower(w[1]);
        Words rest{w.From(1)};
        const std::string restName = "expect " + what;
        auto need = [&](bool ok, const char* usage) -> std::string {
            return ok ? "" : "'" + restName + "' expects " + usage;
        };
        if (what == "box" || what == "no-box") {
            c.op = what == "box" ? Op::ExpectBox : Op::ExpectNoBox;
            c.names = rest.From(1);
            return need(rest.size() == 2, "one text (quote it if it has blanks)");
        }
        if (what == "item" || what == "file") {
            c.op = what == "item" ? Op::ExpectItem : Op::ExpectFile;
            c.names = rest.From(1);
            return need(rest.size() == 2, "one name");
        }
        if (what == "items" || what == "files") {
            c.op = what == "items" ? Op::ExpectItems : Op::ExpectFiles;
            return need(rest.size() == 2 && ParseInt(rest[1], c.number, 0, kMaxIndex), "a count");
        }
        if (what == "result") {
            c.op = Op::ExpectResult;
            return need(rest.size() == 2 && ParseInt(rest[1], c.number, -1000000, 1000000),
                        "a number");
        }
        if (what == "open" || what == "closed") {
            c.op = what == "open" ? Op::ExpectOpen : Op::ExpectClosed;
            return need(rest.size() == 1, "nothing more");
        }
        return "unknown expectation '" + w[1] + "'";
    }
    return "unknown command '" + w[0] + "'";
}

} // namespace

bool SplitWords(std::string_view text, std::vector<std::string>& words, std::string& error) {
    words.clear();
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            ++i;
            continue;
        }
        if (c == '#') {
            break;
        }
        std::string word;
        if (c == '"') {
            ++i;
            bool closed = false;
            while (i < text.size()) {
                const char q = text[i];
                if (q == '\\' && i + 1 < text.size() &&
                    (text[i + 1] == '"' || text[i + 1] == '\\')) {
                    word += text[i + 1];
                    i += 2;
                    continue;
                }
                ++i;
                if (q == '"') {
                    closed = true;
                    break;
                }
                word += q;
            }
            if (!closed) {
                error = "unterminated quote";
                return false;
            }
            if (i < text.size() && text[i] != ' ' && text[i] != '\t' && text[i] != '\r') {
                error = "a quoted text must be followed by a blank";
                return false;
            }
        } else {
            while (i < text.size() && text[i] != ' ' && text[i] != '\t' && text[i] != '\r' &&
                   text[i] != '\n') {
                word += text[i++];
            }
        }
        words.push_back(std::move(word));
    }
    return true;
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

LineResult ParseLine(std::string_view text, int lineNumber) {
    LineResult result;
    result.command.line = lineNumber;
    Words words;
    if (!SplitWords(text, words.w, result.error)) {
        return result;
    }
    if (words.size() == 0) {
        return result;
    }
    result.isCommand = true;
    result.error = ParseCommand(words, result.command);
    return result;
}

Script ParseScript(std::string_view text) {
    Script script;
    int lineNumber = 0;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        ++lineNumber;
        LineResult line = ParseLine(text.substr(start, end - start), lineNumber);
        if (!line.error.empty()) {
            script.errors.push_back({lineNumber, line.error});
        } else if (line.isCommand) {
            script.commands.push_back(std::move(line.command));
        }
        if (end == text.size()) {
            break;
        }
        start = end + 1;
    }
    return script;
}

} // namespace pixlor::host
