#include "host/Messages.h"

#include <cstring>
#include <string_view>

#include "host/Host.h"
#include "host/MessageIds.h"
#include "platform/BoundedText.h"
#include "platform/Platform.h"

namespace pixlor {

namespace {

constexpr std::size_t kReportLineSize = 100;
constexpr std::size_t kWidestNumber = 11; // "-2147483648" or "4294967295"
constexpr uint32_t kEsc = 27;
constexpr uint16_t kVkEscape = 0x1B;

// A Windows console gives the Esc key as character 27; Wine's console on a
// terminal gives its virtual key with character 0.
bool IsEscKey(const ConsoleEvent& event) {
    const auto character = static_cast<unsigned char>(event.character);
    return event.isKey && (character == kEsc || (character == 0 && event.virtualKey == kVkEscape));
}

// Counts the conversions of `format` when they are all %d or %u (%% aside);
// -1 for anything the host's sprintf could read past its arguments with.
int CountNumberConversions(std::string_view format) {
    int count = 0;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%') {
            continue;
        }
        if (i + 1 >= format.size()) {
            return -1;
        }
        const char next = format[++i];
        if (next == 'd' || next == 'u') {
            ++count;
        } else if (next != '%') {
            return -1;
        }
    }
    return count;
}

int TemplateFaultLine(int32_t settingsCode) {
    switch (settingsCode) {
    case 2:
        return MBadPlaceholder;
    case 3:
        return MSecondWidthDigit;
    case 4:
        return MForbiddenCharacter;
    case 12:
        return MNameTooLong;
    default:
        return -1;
    }
}

bool IsSystemFailure(int32_t linkStatus) {
    switch (linkStatus) {
    case 9:
    case 12:
    case 17:
    case 18:
    case 19:
    case 20:
        return true;
    default:
        return false;
    }
}

void ShowSettingsReport(int32_t settingsCode, const ErrorRecord& record) {
    static constexpr int kTitles[] = {MBadPhotoPrefix, MBadThumbPrefix, MBadPhotoPath,
                                      MBadThumbPath,   MBadPhotoDigits, MBadThumbDigits,
                                      MBadPhotoPath,   MBadThumbPath};
    char line[kReportLineSize];
    const char* lines[3] = {MessageText(kTitles[record.kind - 1]), line, nullptr};
    int count = 2;
    if (record.kind <= 4) {
        const int64_t position = record.detail;
        FormatLine(line, sizeof line, MessageText(MErrorAtPosition), &position, 1);
        if (const int fault = TemplateFaultLine(settingsCode); fault >= 0) {
            lines[count++] = MessageText(fault);
        }
    } else if (record.kind <= 6) {
        CopyBounded(line, sizeof line, MessageText(record.detail));
    } else {
        CopyBounded(line, sizeof line, MessageText(MPathOnlySpaces));
    }
    ShowLines(FMSG_WARNING | FMSG_MB_OK, "Errors", lines, count);
}

void ShowCameraReport(int32_t linkStatus, int32_t packetStatus, uint32_t portFlags) {
    if (IsSystemFailure(linkStatus)) {
        const FileSystem* files = CurrentPlatform().files;
        ShowSystemError(linkStatus, files != nullptr ? files->LastError() : 0);
        return;
    }
    char line[kReportLineSize];
    const char* lines[3] = {MessageText(MTitle), MessageText(MCameraExchangeFailed), line};
    const int64_t values[3] = {portFlags, packetStatus, linkStatus};
    FormatLine(line, sizeof line, MessageText(MCameraCodes), values, 3);
    ShowLines(FMSG_WARNING | FMSG_MB_OK, "Errors", lines, 3);
}

} // namespace

int ShowLines(FarDword flags, const char* helpTopic, const char* const* lines, int count,
              int buttons) {
    if (hostInfo.Message == nullptr) {
        return -1;
    }
    return hostInfo.Message(hostInfo.ModuleNumber, flags, helpTopic, lines, count, buttons);
}

void FormatLine(char* buffer, std::size_t size, const char* format, const int64_t* values,
                int count) {
    if (size == 0) {
        return;
    }
    const std::size_t worst = std::strlen(format) + kWidestNumber * static_cast<std::size_t>(count);
    if (hostFunctions.sprintf == nullptr || CountNumberConversions(format) != count ||
        worst >= size) {
        CopyBounded(buffer, size, format);
        return;
    }
    // The values are passed as the 32-bit numbers %d and %u read.
    int32_t v[4] = {};
    for (int i = 0; i < count && i < 4; ++i) {
        v[i] = static_cast<int32_t>(values[i]);
    }
    switch (count) {
    case 0:
        CopyBounded(buffer, size, format);
        break;
    case 1:
        hostFunctions.sprintf(buffer, format, v[0]);
        break;
    case 2:
        hostFunctions.sprintf(buffer, format, v[0], v[1]);
        break;
    case 3:
        hostFunctions.sprintf(buffer, format, v[0], v[1], v[2]);
        break;
    case 4:
        hostFunctions.sprintf(buffer, format, v[0], v[1], v[2], v[3]);
        break;
    default:
        CopyBounded(buffer, size, format);
        break;
    }
}

void ShowNotice(int number) {
    const char* lines[2] = {MessageText(MTitle), MessageText(number)};
    ShowLines(FMSG_MB_OK, "", lines, 2);
}

bool AskDownloadRemaining() {
    const char* lines[2] = {MessageText(MAbortedTitle), MessageText(MDownloadRemaining)};
    return ShowLines(FMSG_MB_OKCANCEL, "DownloadRemaining?", lines, 2) == 0;
}

bool AskDeleteRemaining() {
    const char* lines[2] = {MessageText(MAbortedTitle), MessageText(MDeleteRemaining)};
    return ShowLines(FMSG_WARNING | FMSG_MB_OKCANCEL, "DeleteRemaining?", lines, 2) == 0;
}

void ShowErrorReport(int32_t settingsCode, int32_t linkStatus, int32_t packetStatus,
                     uint32_t portFlags, const ErrorRecord* record) {
    if (settingsCode != 0 && record != nullptr && record->kind >= 1 && record->kind <= 8) {
        ShowSettingsReport(settingsCode, *record);
    } else {
        ShowCameraReport(linkStatus, packetStatus, portFlags);
    }
}

void ShowSystemError(int32_t linkStatus, uint32_t systemError) {
    char line[kReportLineSize];
    const char* lines[3] = {MessageText(MTitle), MessageText(MSystemCallFailed), line};
    const int64_t values[2] = {linkStatus, systemError};
    FormatLine(line, sizeof line, MessageText(MSystemCodes), values, 2);
    ShowLines(FMSG_WARNING | FMSG_MB_OK, "Errors", lines, 3);
}

HANDLE SaveWholeScreen() {
    return hostInfo.SaveScreen != nullptr ? hostInfo.SaveScreen(0, 0, -1, -1) : nullptr;
}

void RestoreSavedScreen(HANDLE& screen) {
    if (screen != nullptr && hostInfo.RestoreScreen != nullptr) {
        hostInfo.RestoreScreen(screen);
    }
    screen = nullptr;
}

void ShowCameraError(const CameraCodes& codes, HANDLE& savedScreen) {
    RestoreSavedScreen(savedScreen);
    ShowErrorReport(0, codes.linkStatus, codes.packetStatus, codes.portFlags, nullptr);
}

bool EscPoll::Pressed() {
    Console* console = CurrentPlatform().console;
    if (console == nullptr) {
        return false;
    }
    console->TakeInTyped();
    bool escSeen = false;
    uint32_t pending = 0;
    while (!escSeen && console->PendingEvents(pending) && pending != 0) {
        ConsoleEvent event;
        uint32_t read = 0;
        // A read that fails or delivers nothing would leave the count as it
        // was; stop rather than spin on it.
        if (!console->ReadEvent(event, read) || read == 0) {
            break;
        }
        if (!IsEscKey(event)) {
            continue;
        }
        if (event.keyDown) {
            releaseOwed_ = true;
            escSeen = true;
        } else if (releaseOwed_) {
            releaseOwed_ = false; // the end of a press already counted
        } else {
            escSeen = true;
        }
    }
    return escSeen;
}

} // namespace pixlor
