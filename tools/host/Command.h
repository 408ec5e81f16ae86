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
// How esc-progress presses Esc: a console record with character 27 (Windows'
// console); one with virtual key 0x1B and character 0 (Wine's console on a
// terminal); or the Esc byte typed on the terminal the host reads from.
enum class EscWay { Character, VirtualKey, Terminal };

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
    EscWay esc = EscWay::Character; // esc-progress
    SelectHow select = SelectHow::Names;
    ReplyHow reply = ReplyHow::Ok;

    std::string Text() const { return names.empty() ? std::string() : names.front(); }
};

} // namespace pixlor::host
