#include "reliability/HostUser.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "commands/HostCopy.h"
#include "commands/KeyCommands.h"
#include "configure/ConfigDialog.h"
#include "host/MessageIds.h"
#include "plugin/Startup.h"

namespace pixlor::reliability {
namespace {

constexpr int kCopyOkButton = 7;
constexpr int kConfigureOkButton = 32;

} // namespace

bool HostUser::Open() {
    HANDLE handle = OpenPlugin();
    if (handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    panel = static_cast<CameraPanel*>(handle);
    return true;
}

void HostUser::Close() {
    if (panel != nullptr) {
        ClosePlugin(panel);
        panel = nullptr;
    }
}

void HostUser::HonourClose() {
    const auto& controls = host.Controls();
    if (std::any_of(controls.begin(), controls.end(),
                    [](const ControlCall& c) { return c.command == FCTL_CLOSEPLUGIN; })) {
        Close();
        host.Kit().controls.clear();
    }
}

void HostUser::ListTop() {
    panel->SetDirectory("\\");
    PluginPanelItem* items = nullptr;
    int count = 0;
    auto& shown = host.ActivePanel().items;
    shown.clear();
    if (panel->GetFindData(&items, &count) != 0 && items != nullptr) {
        for (int i = 0; i < count; ++i) {
            if (std::strcmp(items[i].FindData.cFileName, "..") != 0) {
                shown.push_back(items[i]);
                shown.back().Flags |= PPIF_SELECTED;
            }
        }
    }
    panel->FreeFindData(items, count);
}

int HostUser::CopyKey(bool move, unsigned controlState) {
    ListTop();
    host.AnswerDialogs({kCopyOkButton});
    const int result = ProcessPanelKey(*panel, move ? VK_F6 : VK_F5, controlState);
    host.Kit().dialogAnswers.clear();
    host.Kit().messageAnswers.clear();
    HonourClose();
    return result;
}

int HostUser::DeleteKey() {
    ListTop();
    host.AnswerMessages({0});
    const int result = ProcessPanelKey(*panel, VK_F8, 0);
    host.Kit().messageAnswers.clear();
    HonourClose();
    return result;
}

int HostUser::HostCopy() {
    ListTop();
    std::vector<PluginPanelItem> pictures;
    for (const PluginPanelItem& folder : std::vector<PluginPanelItem>(host.ActivePanel().items)) {
        if (panel->SetDirectory(folder.FindData.cFileName) == 0) {
            continue;
        }
        PluginPanelItem* items = nullptr;
        int count = 0;
        if (panel->GetFindData(&items, &count) != 0 && items != nullptr) {
            pictures.insert(pictures.end(), items, items + count);
        }
        panel->FreeFindData(items, count);
        panel->SetDirectory("..");
    }
    char destination[NM];
    std::snprintf(destination, sizeof destination, "%s", hostDir_.c_str());
    return CopyRequestedFiles(*panel, pictures.data(), static_cast<int>(pictures.size()),
                              destination);
}

int HostUser::ConfigureOk() {
    host.AnswerDialogs({kConfigureOkButton});
    const int result = Configure(0);
    host.Kit().dialogAnswers.clear();
    host.Kit().messageAnswers.clear();
    return result;
}

std::vector<std::string> HostUser::Reports(size_t from) const {
    std::vector<std::string> reports;
    const auto& messages = host.Messages();
    for (size_t i = from; i < messages.size(); ++i) {
        const MessageCall& m = messages[i];
        if (m.helpTopic != "Errors") {
            continue;
        }
        if (m.lines.size() != 3) {
            const bool uncertain = m.lines.size() == 2 && m.lines[1] == host.Text(MListUncertain);
            reports.emplace_back(uncertain ? "uncertain" : "warn");
            continue;
        }
        unsigned flags = 0;
        int packet = 0;
        int link = 0;
        char text[64];
        if (std::sscanf(m.lines[2].c_str(), "Port flags %u, packet status %d, link status %d",
                        &flags, &packet, &link) == 3) {
            std::snprintf(text, sizeof text, "%d/%d/0x%x", link, packet, flags);
        } else if (std::sscanf(m.lines[2].c_str(), "Link status %d, system error %u", &link,
                               &flags) == 2) {
            std::snprintf(text, sizeof text, "%d/sys%u", link, flags);
        } else {
            std::snprintf(text, sizeof text, "?%s", m.lines[2].c_str());
        }
        reports.emplace_back(text);
    }
    return reports;
}

uint32_t HostUser::ReportedFlags(size_t from) const {
    uint32_t all = 0;
    const auto& messages = host.Messages();
    for (size_t i = from; i < messages.size(); ++i) {
        unsigned flags = 0;
        int packet = 0;
        int link = 0;
        if (messages[i].helpTopic == "Errors" && messages[i].lines.size() == 3 &&
            std::sscanf(messages[i].lines[2].c_str(),
                        "Port flags %u, packet status %d, link status %d", &flags, &packet,
                        &link) == 3) {
            all |= flags;
        }
    }
    return all;
}

} // namespace pixlor::reliability
