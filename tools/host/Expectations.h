// The script's `expect` commands, checked against what the host saw: the
// texts of the last action's boxes, the plugin's panel, the last result and
// the files below the passive folder. A failed expectation is reported and
// the script goes on.
#pragma once

#include <string>
#include <vector>

#include "host/FarApi.h"
#include "tools/host/Command.h"
#include "tools/host/Transcript.h"

namespace pixlor::host {

struct Observed {
    const std::vector<std::string>& shown; // the last action's box and dialog texts
    const Transcript& transcript;          // how the texts were shown
    int pluginItems;                       // items the plugin listed
    const std::vector<PluginPanelItem>& items;
    long long lastResult;
    const std::string& passiveFolder;
    bool panelOpen;
};

// What was expected but not seen ("a box with \"Errors\""), or "" when the
// expectation holds.
std::string Unmet(const Command& c, const Observed& seen);

// Files below `folder`, in every subfolder.
int CountFiles(const std::string& folder);
// `path` ('/' or '\\' between its parts) names an entry below `folder`, each
// part spelt exactly.
bool HasEntry(const std::string& folder, const std::string& path);

} // namespace pixlor::host
