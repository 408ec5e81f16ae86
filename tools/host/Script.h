// The test host's script: one command a line, '#' starts a comment. Parsing is
// a pure function of the text, so a bad script is reported before anything is
// loaded (and the parser can be fuzzed). Each command's arguments are read
// through its row in CommandTable.h.
//
//   load                      GetMinFarVersion, SetStartupInfo, GetPluginInfo; print the menus
//   open                      load if needed, then OpenPlugin from the disk menu
//   list [keybar] [title]     GetOpenPluginInfo + GetFindData; print the items
//   cd NAME                   SetDirectory (".." at the plugin root closes the panel)
//   select all|none|NAME...   mark items of the plugin panel
//   cursor NAME               put the panel's cursor on an item (".." too)
//   key [Shift+][Ctrl+][Alt+]F1..F12|Enter   ProcessKey
//   getfiles [shift] [NAME...] the host's own copy (GetFiles) into the passive folder
//   configure                 Configure(0)
//   close                     ClosePlugin
//   reply ok|cancel|esc|button N   answer to the next box or dialog that waits
//   edit N TEXT | radio N | check N 0|1   changes the next dialog gets before its reply
//   esc-progress N [vk|terminal]  press Esc while the N-th progress box from here is
//                             shown: as character 27 (a Windows console), with vk as
//                             virtual key 0x1B with character 0 (Wine's console on a
//                             terminal), with terminal typed on the terminal that is
//                             standard input (under Wine the runner types it when the
//                             host asks on a "note:" line); a POSIX terminal has the
//                             one Esc byte for all three
//   passive DIR               the passive panel's folder (created when missing)
//   language NAME             the language file to use (default English)
//   expect box TEXT | expect no-box TEXT   a box of the last command has / lacks TEXT
//   expect items N | expect item NAME | expect result N
//   expect files N | expect file PATH      files below the passive folder
//   expect open | expect closed
//   stopwatch                 time the next call into the plugin: its length and when
//                             the first and last progress box of it were shown
//   echo TEXT...
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "tools/host/Command.h"
#include "tools/host/CommandTable.h"

namespace pixlor::host {

struct ParseError {
    int line = 0;
    std::string message;
};

// One line: `isCommand` false for a blank or comment line; `error` set when bad.
struct LineResult {
    bool isCommand = false;
    Command command;
    std::string error;
};

LineResult ParseLine(std::string_view text, int lineNumber);

struct Script {
    std::vector<Command> commands;
    std::vector<ParseError> errors;
};

Script ParseScript(std::string_view text);

// Splits a line into words; "double quotes" keep blanks, \" and \\ inside them.
bool SplitWords(std::string_view text, std::vector<std::string>& words, std::string& error);

} // namespace pixlor::host
