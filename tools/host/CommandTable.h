// The script's commands as a table: one row a command, naming what it does
// (the Op the runner carries out) and the shape of its arguments. The parser
// reads every command through its row, so a new command is one more row.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "tools/host/Command.h"

namespace pixlor::host {

// How the words after a command's name are read into the Command.
enum class Shape {
    Nothing,       // no words
    ListParts,     // any of "keybar" and "title"
    OneWord,       // exactly one word, into names
    Selection,     // "all", "none" or item names
    Key,           // one key such as Shift+F5
    ShiftAndNames, // an optional "shift", then item names
    Answer,        // ok, cancel, esc or "button N"
    Number,        // one number within the row's range
    NumberAndWay,  // one number within the row's range, then "vk", "terminal" or nothing
    IndexAndText,  // an item index and one text
    IndexAndState, // an item index and a check state 0, 1 or 2
    Words,         // any words, into names
};

struct CommandRow {
    std::string_view name;  // lower case; an expectation is "expect " and its kind
    Op op;                  // what the runner does with it
    Shape shape;            // how its arguments are read
    std::string_view usage; // the error text after the quoted name
    int low = 0;            // the range of its number or item index
    int high = 0;
};

// Every command, the expectations in the order their list is given in errors.
std::span<const CommandRow> CommandRows();

// The name a command is written with ("expect box" for an expectation).
std::string_view NameOf(Op op);

// Reads `args` (the words after the name) as the row's shape into `c`. False
// when they do not fit; `detail` may then say which word was wrong.
bool ReadArguments(const CommandRow& row, const std::vector<std::string>& args, Command& c,
                   std::string& detail);

// Fills `c` from a line's words, its name first; returns the error text or "".
std::string ParseCommand(const std::vector<std::string>& words, Command& c);

// "Shift+F5" -> VK_F5 with PKF_SHIFT. False for anything else.
bool ParseKey(std::string_view text, int& key, unsigned& modifiers);
// The other way: VK_F5 with PKF_SHIFT -> "Shift+F5".
std::string KeyName(int key, unsigned modifiers);

} // namespace pixlor::host
