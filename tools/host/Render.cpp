#include "tools/host/Render.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace pixlor::host {

namespace {

constexpr std::uint64_t kTicksPerSecond = 10000000u;
constexpr std::int64_t kSecondsFrom1601To1970 = 11644473600;

constexpr std::uint16_t kOem437[128] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8, 0x00EF,
    0x00EE, 0x00EC, 0x00C4, 0x00C5, 0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,
    0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192, 0x00E1, 0x00ED, 0x00F3, 0x00FA,
    0x00F1, 0x00D1, 0x00AA, 0x00BA, 0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556, 0x2555, 0x2563, 0x2551, 0x2557,
    0x255D, 0x255C, 0x255B, 0x2510, 0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567, 0x2568, 0x2564, 0x2565, 0x2559,
    0x2558, 0x2552, 0x2553, 0x256B, 0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,
    0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4, 0x03A6, 0x0398, 0x03A9, 0x03B4,
    0x221E, 0x03C6, 0x03B5, 0x2229, 0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248,
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0,
};

constexpr std::uint16_t kOem866[128] = {
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417, 0x0418, 0x0419, 0x041A, 0x041B,
    0x041C, 0x041D, 0x041E, 0x041F, 0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F, 0x0430, 0x0431, 0x0432, 0x0433,
    0x0434, 0x0435, 0x0436, 0x0437, 0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556, 0x2555, 0x2563, 0x2551, 0x2557,
    0x255D, 0x255C, 0x255B, 0x2510, 0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567, 0x2568, 0x2564, 0x2565, 0x2559,
    0x2558, 0x2552, 0x2553, 0x256B, 0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447, 0x0448, 0x0449, 0x044A, 0x044B,
    0x044C, 0x044D, 0x044E, 0x044F, 0x0401, 0x0451, 0x0404, 0x0454, 0x0407, 0x0457, 0x040E, 0x045E,
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x2116, 0x00A4, 0x25A0, 0x00A0,
};

void AppendUtf8(std::string& out, std::uint16_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

std::string Repeat(char c, std::size_t n) {
    return std::string(n, c);
}

// A title set into a border line: "+==== Title ====+".
std::string Border(char fill, std::size_t inner, const std::string& title) {
    if (title.empty() || title.size() + 2 > inner) {
        return "+" + Repeat(fill, inner) + "+";
    }
    const std::size_t left = (inner - title.size() - 2) / 2;
    const std::size_t right = inner - title.size() - 2 - left;
    return "+" + Repeat(fill, left) + " " + title + " " + Repeat(fill, right) + "+";
}

std::string Centre(const std::string& text, std::size_t width) {
    if (text.size() >= width) {
        return text;
    }
    const std::size_t left = (width - text.size()) / 2;
    return Repeat(' ', left) + text + Repeat(' ', width - text.size() - left);
}

std::string Pad(const std::string& text, std::size_t width) {
    return text.size() >= width ? text : text + Repeat(' ', width - text.size());
}

// A label without its hotkey marks.
std::string Label(const char* text, FarDword flags) {
    std::string out;
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p == '&' && !(flags & DIF_SHOWAMPERSAND)) {
            if (p[1] == '&') {
                out += '&';
                ++p;
            }
            continue;
        }
        out += *p;
    }
    return out;
}

std::vector<std::string> HostButtons(FarDword flags) {
    switch (flags & FMSG_MB_MASK) {
    case FMSG_MB_OK:
        return {"OK"};
    case FMSG_MB_OKCANCEL:
        return {"OK", "Cancel"};
    case FMSG_MB_ABORTRETRYIGNORE:
        return {"Abort", "Retry", "Ignore"};
    case FMSG_MB_YESNO:
        return {"Yes", "No"};
    case FMSG_MB_YESNOCANCEL:
        return {"Yes", "No", "Cancel"};
    case FMSG_MB_RETRYCANCEL:
        return {"Retry", "Cancel"};
    default:
        return {};
    }
}

std::string BoxLine(const std::string& text, std::size_t inner, bool leftAlign) {
    // A line starting with 0x01 / 0x02 is a separator with a caption.
    if (!text.empty() && (text[0] == '\x01' || text[0] == '\x02')) {
        return Border(text[0] == '\x01' ? '-' : '=', inner, text.substr(1));
    }
    return "|" + (leftAlign ? Pad(" " + text, inner) : Centre(text, inner)) + "|";
}

} // namespace

Box MakeBox(FarDword flags, const char* helpTopic, const char* const* items, int count,
            int buttonCount) {
    Box box;
    box.flags = flags;
    box.helpTopic = helpTopic ? helpTopic : "";
    std::vector<std::string> all;
    if ((flags & FMSG_ALLINONE) && items != nullptr) {
        const std::string joined = reinterpret_cast<const char*>(items);
        std::size_t start = 0;
        for (;;) {
            const std::size_t end = joined.find('\n', start);
            all.push_back(joined.substr(start, end == std::string::npos ? end : end - start));
            if (end == std::string::npos) {
                break;
            }
            start = end + 1;
        }
    } else {
        for (int i = 0; items != nullptr && i < count; ++i) {
            all.emplace_back(items[i] ? items[i] : "");
        }
    }
    if (!all.empty()) {
        box.title = all.front();
        all.erase(all.begin());
    }
    box.buttons = HostButtons(flags);
    if (box.buttons.empty() && buttonCount > 0) {
        const std::size_t n = std::min(all.size(), static_cast<std::size_t>(buttonCount));
        box.buttons.assign(all.end() - static_cast<std::ptrdiff_t>(n), all.end());
        all.resize(all.size() - n);
    }
    box.lines = std::move(all);
    return box;
}

std::vector<std::string> RenderBox(const Box& box) {
    std::string buttons;
    for (const std::string& b : box.buttons) {
        buttons += (buttons.empty() ? "[ " : "  [ ") + Label(b.c_str(), 0) + " ]";
    }
    std::size_t inner = std::max<std::size_t>(box.title.size() + 4, buttons.size() + 4);
    for (const std::string& line : box.lines) {
        inner = std::max(inner, line.size() + 4);
    }
    inner = std::max<std::size_t>(inner, 30);
    std::string header = "[box";
    if (box.flags & FMSG_WARNING) {
        header += ", warning";
    }
    if (!box.helpTopic.empty()) {
        header += ", help \"" + box.helpTopic + "\"";
    }
    header += "]";
    std::vector<std::string> out{header};
    const char frame = (box.flags & FMSG_WARNING) ? '!' : '=';
    out.push_back(Border(frame, inner, box.title));
    for (const std::string& line : box.lines) {
        out.push_back(BoxLine(line, inner, (box.flags & FMSG_LEFTALIGN) != 0));
    }
    if (!buttons.empty()) {
        out.push_back(Border('-', inner, ""));
        out.push_back("|" + Centre(buttons, inner) + "|");
    }
    out.push_back(Border(frame, inner, ""));
    return out;
}

std::string RenderNote(const Box& box) {
    std::string out = "~ " + box.title;
    for (const std::string& line : box.lines) {
        out += " | " + line;
    }
    return out;
}

std::string ItemText(const FarDialogItem& item) {
    if ((item.Type == DI_EDIT || item.Type == DI_COMBOBOX) && (item.Flags & DIF_VAREDIT)) {
        return item.Ptr.PtrData ? std::string(item.Ptr.PtrData) : std::string();
    }
    return std::string(item.Data, strnlen(item.Data, sizeof item.Data));
}

std::vector<std::string> RenderDialog(int width, int height, const char* helpTopic,
                                      const FarDialogItem* items, int count) {
    std::vector<std::string> out;
    std::string header = "[dialog " + std::to_string(width) + "x" + std::to_string(height);
    if (helpTopic != nullptr && helpTopic[0] != '\0') {
        header += ", help \"" + std::string(helpTopic) + "\"";
    }
    out.push_back(header + "]");
    std::string title;
    std::size_t inner = static_cast<std::size_t>(std::clamp(width - 6, 30, 200));
    // Items on one row are drawn together, in item order.
    std::vector<std::pair<int, std::string>> rows;
    for (int i = 0; i < count; ++i) {
        const FarDialogItem& item = items[i];
        if (item.Flags & DIF_HIDDEN) {
            continue;
        }
        const std::string text = Label(ItemText(item).c_str(), item.Flags);
        std::string cell;
        switch (item.Type) {
        case DI_DOUBLEBOX:
        case DI_SINGLEBOX:
            if (title.empty()) {
                title = text;
                continue;
            }
            cell = "-- " + text + " --";
            break;
        case DI_TEXT:
        case DI_VTEXT:
            cell = (item.Flags & (DIF_SEPARATOR | DIF_SEPARATOR2))
                       ? Repeat((item.Flags & DIF_SEPARATOR2) ? '=' : '-', inner - 8) +
                             (text.empty() ? "" : " " + text)
                       : text;
            break;
        case DI_EDIT:
        case DI_FIXEDIT:
        case DI_PSWEDIT:
        case DI_COMBOBOX: {
            const std::size_t field = static_cast<std::size_t>(
                std::clamp(item.X2 - item.X1 + 1, static_cast<int>(text.size()), 60));
            cell =
                "[" + Pad(item.Type == DI_PSWEDIT ? Repeat('*', text.size()) : text, field) + "]";
            if ((item.Flags & DIF_HISTORY) && item.History != nullptr && item.Type == DI_EDIT) {
                cell += " history " + std::string(item.History);
            }
            break;
        }
        case DI_CHECKBOX:
            cell = std::string(item.Selected == 2 ? "[?] "
                               : item.Selected    ? "[x] "
                                                  : "[ ] ") +
                   text;
            break;
        case DI_RADIOBUTTON:
            cell = std::string(item.Selected ? "(*) " : "( ) ") + text;
            break;
        case DI_BUTTON:
            cell = (item.Flags & DIF_NOBRACKETS) ? text
                   : item.DefaultButton          ? "{ " + text + " }"
                                                 : "[ " + text + " ]";
            break;
        default:
            cell = "<item type " + std::to_string(item.Type) + "> " + text;
            break;
        }
        if (item.Flags & DIF_DISABLE) {
            cell += " (disabled)";
        }
        if (item.Focus) {
            cell += " <";
        }
        cell = "#" + std::to_string(i) + " " + cell;
        if (!rows.empty() && rows.back().first == item.Y1) {
            rows.back().second += "   " + cell;
        } else {
            rows.emplace_back(item.Y1, cell);
        }
    }
    for (const auto& row : rows) {
        inner = std::max(inner, row.second.size() + 2);
    }
    out.push_back(Border('=', inner, title));
    for (const auto& row : rows) {
        out.push_back("|" + Pad(" " + row.second, inner) + "|");
    }
    out.push_back(Border('=', inner, ""));
    return out;
}

std::string FormatTicks(std::uint64_t ticks) {
    const std::int64_t seconds =
        static_cast<std::int64_t>(ticks / kTicksPerSecond) - kSecondsFrom1601To1970;
    std::int64_t days = seconds / 86400;
    std::int64_t rest = seconds % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    // Civil date from days since 1970-01-01.
    const std::int64_t z = days + 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    const std::int64_t day = doy - (153 * mp + 2) / 5 + 1;
    const std::int64_t month = mp < 10 ? mp + 3 : mp - 9;
    const std::int64_t year = yoe + era * 400 + (month <= 2 ? 1 : 0);
    char text[140];
    std::snprintf(text, sizeof text, "%04lld-%02lld-%02lld %02lld:%02lld:%02lld",
                  static_cast<long long>(year), static_cast<long long>(month),
                  static_cast<long long>(day), static_cast<long long>(rest / 3600),
                  static_cast<long long>(rest / 60 % 60), static_cast<long long>(rest % 60));
    return text;
}

std::string FormatFileTime(const FarFileTime& time) {
    if (time.dwHighDateTime == 0) {
        return std::string(19, ' ');
    }
    return FormatTicks((std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime);
}

std::string FormatAttributes(FarDword attributes) {
    std::string out;
    out += (attributes & FILE_ATTRIBUTE_DIRECTORY) ? 'D' : '-';
    out += (attributes & FILE_ATTRIBUTE_ARCHIVE) ? 'A' : '-';
    out += (attributes & 0x01) ? 'R' : '-';
    out += (attributes & 0x02) ? 'H' : '-';
    out += (attributes & 0x04) ? 'S' : '-';
    return out;
}

std::string ItemName(const PluginPanelItem& item) {
    const FAR_FIND_DATA& f = item.FindData;
    return std::string(f.cFileName, strnlen(f.cFileName, sizeof f.cFileName));
}

std::string FormatItem(const PluginPanelItem& item) {
    const FAR_FIND_DATA& f = item.FindData;
    const std::string name = ItemName(item);
    const std::string shortName(f.cAlternateFileName,
                                strnlen(f.cAlternateFileName, sizeof f.cAlternateFileName));
    const std::uint64_t size = (std::uint64_t{f.nFileSizeHigh} << 32) | f.nFileSizeLow;
    char text[400];
    std::snprintf(text, sizeof text, "%c %-26s %10llu  %s  %s  %s",
                  (item.Flags & PPIF_SELECTED) ? '*' : ' ', name.c_str(),
                  static_cast<unsigned long long>(size), FormatFileTime(f.ftLastWriteTime).c_str(),
                  FormatAttributes(f.dwFileAttributes).c_str(), shortName.c_str());
    std::string out = text;
    while (!out.empty() && out.back() == ' ') {
        out.pop_back();
    }
    return out;
}

std::string OemToUtf8(const std::string& text, int codePage) {
    const std::uint16_t* table = codePage == 866 ? kOem866 : kOem437;
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            out += c;
        } else {
            AppendUtf8(out, table[byte - 0x80]);
        }
    }
    return out;
}

int OemCodePageFor(const std::string& language) {
    std::string lower;
    for (const char c : language) {
        lower += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
    return lower == "russian" ? 866 : 437;
}

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
    if (from.empty()) {
        return text;
    }
    std::size_t at = 0;
    while ((at = text.find(from, at)) != std::string::npos) {
        text.replace(at, from.size(), to);
        at += to.size();
    }
    return text;
}

} // namespace pixlor::host
