// One command of the test host's script, as the parser hands it to the runner.
#pragma once

#include <string>
#include <vector>

namespace pixlor::host {

enum class Op {
    Load,
    Open,
    List,
    Cd,
    Select,
    Cursor,
    Key,
    GetFiles,
    Configure,
    Close,
    Reply,
    Edit,
    Radio,
    Check,
    EscProgress,
    Passive,
    Language,
    ExpectBox,
    ExpectNoBox,
    ExpectItems,
    ExpectItem,
    ExpectResult,
    ExpectFiles,
    ExpectFile,
    ExpectOpen,
    ExpectClosed,
    Stopwatch,
    Echo,
};

enum class SelectHow { Names, All, None };
enum class ReplyHow { Ok, Cancel, Esc, Button };

struct Command {
    Op op = Op::Echo;
    int line = 0;
    std::vector<std::string> names; // cd, select, cursor, getfiles, edit's text, expect texts, echo
    int number = 0;                 // item index, count, result, button
    int key = 0;                    // virtual-key code
    unsigned modifiers = 0;         // PKF_* bits
    bool keybar = false;            // list
    bool title = false;             // list
    bool shift = false;             // getfiles
    bool virtualKeyEsc = false;     // esc-progress ... vk
    SelectHow select = SelectHow::Names;
    ReplyHow reply = ReplyHow::Ok;

    std::string Text() const { return names.empty() ? std::string() : names.front(); }
};

} // namespace pixlor::host
