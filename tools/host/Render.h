// How the test host draws what the plugin shows: boxes, dialogs and panel
// items as plain text lines on standard output.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/FarApi.h"

namespace pixlor::host {

// A message box as the host shows it: the title, the text lines and the
// buttons (host-supplied ones for an FMSG_MB_* flag).
struct Box {
    FarDword flags = 0;
    std::string helpTopic;
    std::string title;
    std::vector<std::string> lines;
    std::vector<std::string> buttons;
    bool WaitsForAnswer() const { return !buttons.empty(); }
};

// Splits the plugin's items into title, lines and buttons as the host reads them.
Box MakeBox(FarDword flags, const char* helpTopic, const char* const* items, int count,
            int buttonCount);

std::vector<std::string> RenderBox(const Box& box);
// One line for a box without buttons (progress and status notes).
std::string RenderNote(const Box& box);

std::vector<std::string> RenderDialog(int width, int height, const char* helpTopic,
                                      const FarDialogItem* items, int count);
// The text of a dialog item (edit fields: the value, also with DIF_VAREDIT).
std::string ItemText(const FarDialogItem& item);

// "2002-05-17 10:00:00" (UTC), blank when the high part is 0 as the host shows it.
std::string FormatFileTime(const FarFileTime& time);
std::string FormatTicks(std::uint64_t ticks);
// The item's file name (the field need not end in a null).
std::string ItemName(const PluginPanelItem& item);
std::string FormatItem(const PluginPanelItem& item);
std::string FormatAttributes(FarDword attributes);

// The plugin's single-byte text as a UTF-8 terminal shows it: bytes above 0x7F
// through the OEM code page (866 for Russian, 437 otherwise), the rest as is.
// For display only; what the plugin is given and compared with stays OEM.
std::string OemToUtf8(const std::string& text, int codePage);
// The OEM code page the host shows a language's texts in.
int OemCodePageFor(const std::string& language);

// Every occurrence of `from` replaced by `to`.
std::string ReplaceAll(std::string text, const std::string& from, const std::string& to);

} // namespace pixlor::host
