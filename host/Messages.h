// The boxes several operations share: a one-line notice, the two questions
// asked after the user aborts a transfer, the "Errors" report, the screen
// saved under them, and the Esc poll that lets the user abort a long transfer.
#pragma once

#include <cstdint>

#include "camera/CameraCodes.h"
#include "host/FarApi.h"

namespace pixlor {

// A refused setting of the configuration dialog: `kind` 1 to 8 names the field
// and the refusal, `detail` is a position counted from 1 (kinds 1-4) or a
// message number (kinds 5, 6).
struct ErrorRecord {
    int32_t kind = 0;
    int32_t detail = 0;
};

// The host's Message with the plugin's module number; `helpTopic` null for
// none, `buttons` the last lines that are buttons. The host's answer, or -1
// without a host.
int ShowLines(FarDword flags, const char* helpTopic, const char* const* lines, int count,
              int buttons = 0);

// Title (message 2) and one line; OK button.
void ShowNotice(int number);

// True only when the user chose OK (not Cancel, not Esc).
bool AskDownloadRemaining();
bool AskDeleteRemaining();

// The "Errors" box. With a settings code other than 0 and a record of kind 1
// to 8 it explains the refused setting; otherwise it shows the camera's codes
// (also when all of them are 0).
void ShowErrorReport(int32_t settingsCode, int32_t linkStatus, int32_t packetStatus,
                     uint32_t portFlags, const ErrorRecord* record);

// The "Errors" box of a failed system call: the link status that names the
// operation and the system's error code.
void ShowSystemError(int32_t linkStatus, uint32_t systemError);

// Saves the whole screen; the handle may be null outside a host.
HANDLE SaveWholeScreen();
// Restores the screen once and forgets the handle.
void RestoreSavedScreen(HANDLE& screen);

// Restores the screen saved before the operation (once: the handle is cleared),
// then reports the camera's codes.
void ShowCameraError(const CameraCodes& codes, HANDLE& savedScreen);

// The Esc poll of one operation. Pressed() first lets the console take in what
// was typed, then is true when an Esc key event (character 27, or virtual key
// 0x1B with character 0) was queued since the last poll; it consumes the events
// up to and including that Esc and never waits. One press of the key makes two records, the press
// and the release: the release of a press this poll counted is consumed with it, in the same or a
// later call, and does not count again. A release whose press was read elsewhere (by the host,
// before the operation) still counts.
class EscPoll {
public:
    bool Pressed();

private:
    bool releaseOwed_ = false;
};

// The line formatter of the report, exposed for the boxes that format a
// message the same way: `format` may contain only %d, %u and %%, and as many
// conversions as `count` (at most 4); otherwise (a damaged language file) the
// text is shown unformatted. The result always fits `size` bytes.
void FormatLine(char* buffer, std::size_t size, const char* format, const int64_t* values,
                int count);

} // namespace pixlor
