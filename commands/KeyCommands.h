// The panel's own keys: F3 shows a picture, F5 copies, F6 moves, F7 switches
// the view (Ctrl+F7 the numbering), F8 deletes; Shift, Ctrl and Alt choose
// which kinds of picture go into which folders. Every other key is left to
// the host.
#pragma once

#include <string>

#include "plugin/CameraPanel.h"
#include "transfer/DownloadPictures.h"

namespace pixlor {

// What F5 and F6 copy, from the view and the modifiers.
struct CopyChoice {
    KindsMode kindsMode = KindsMode::OneKind;
    PictureKind kind = PictureKind::Photo;
    PictureKind folderKind = PictureKind::Photo; // whose folder template names the subfolder
    friend bool operator==(const CopyChoice&, const CopyChoice&) = default;
};

CopyChoice ChooseCopy(PictureKind shown, unsigned controlState);

// The dialog's prompt line: the verb and the words naming what goes where.
std::string CopyPrompt(const char* verb, const CopyChoice& choice);

// 1 when the key was handled, 0 for the host to handle it.
int ProcessPanelKey(CameraPanel& panel, int key, unsigned controlState);

} // namespace pixlor
