#include "commands/KeyCommands.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "commands/FarTransferView.h"
#include "commands/ViewPicture.h"
#include "host/DialogItems.h"
#include "host/Host.h"
#include "host/MessageIds.h"
#include "host/PanelCalls.h"
#include "platform/BoundedText.h"
#include "transfer/DeletePictures.h"
#include "transfer/DownloadPictures.h"

namespace pixlor {
namespace {

constexpr char kCopyHistory[] = "PXCopyDir";
constexpr int kDialogWidth = 76;
constexpr int kDialogHeight = 11;

// The copy dialog's item indexes; the host returns the closing item's.
enum CopyItem : int {
    kFrame,
    kPrompt,
    kDestinationEdit,
    kSubfolderAuto, // the radio buttons in SubfolderMode's order
    kSubfolderAlways,
    kSubfolderNone,
    kButtonsSeparator,
    kOkButton,
    kCancelButton,
    kCopyItemCount
};
// The edited text, room for AddEndSlash's backslash and the terminator.
constexpr std::size_t kDestinationSize = sizeof(FarDialogItem{}.Data) + 2;

// FCTL_CLOSEPLUGIN takes a writable folder name.
char closeFolder[] = ".";

// Also after a deletion the camera may have carried out unseen: a later
// deletion by the listed numbers could take a picture nobody chose, so the
// panel closes and opening it again reads the camera.
void CloseWhenEmptyOrUncertain(CameraPanel& panel, const FarTransferView& view) {
    if (view.StaleListSeen()) {
        panel.listUncertain = true;
    }
    const bool empty = panel.camera->PictureCount() == 0;
    if (!empty && !panel.listUncertain) {
        return;
    }
    panel.messageLines[0] = MessageText(MDeleteTitle);
    panel.messageLines[1] = MessageText(empty ? MCameraNowEmpty : MListUncertain);
    ShowLines(empty ? FMSG_MB_OK : FMSG_WARNING | FMSG_MB_OK,
              empty ? "DeleteClosePlugin" : "Errors", panel.messageLines, 2);
    PanelControl(&panel, FCTL_CLOSEPLUGIN, closeFolder);
}

int SwitchView(CameraPanel& panel, unsigned controlState) {
    if ((controlState & PKF_CONTROL) != 0) {
        panel.numberingMode = panel.numberingMode == NumberingMode::AfterOtherPanel
                                  ? NumberingMode::FromOne
                                  : NumberingMode::AfterOtherPanel;
        PanelControl(&panel, FCTL_UPDATEPANEL, reinterpret_cast<void*>(0));
    } else {
        panel.viewKind = OtherKind(panel.viewKind);
        PanelControl(&panel, FCTL_UPDATEPANEL, reinterpret_cast<void*>(1));
    }
    PanelControl(&panel, FCTL_REDRAWPANEL, nullptr);
    return 1;
}

int DeleteKey(CameraPanel& panel) {
    panel.messageLines[0] = MessageText(MDeleteTitle);
    panel.messageLines[1] = MessageText(MDeleteQuestion);
    if (ShowLines(FMSG_MB_OKCANCEL, "Delete?", panel.messageLines, 2) != 0) {
        return 1;
    }
    FarTransferView view(panel);
    DeletePictures(*panel.camera, view, ViewOf(panel));
    CloseWhenEmptyOrUncertain(panel, view);
    return 1;
}

int CopyKey(CameraPanel& panel, bool move, unsigned controlState) {
    const int title = move ? MMoveTitle : MCopyTitle;
    panel.messageLines[0] = MessageText(title);
    panel.messageLines[1] = MessageText(move ? MVerbMove : MVerbCopy);
    const CopyChoice choice = ChooseCopy(panel.viewKind, controlState);
    const std::string prompt = CopyPrompt(panel.messageLines[1], choice);

    PanelInfo other;
    OtherPanelInfo(&panel, other);
    other.CurDir[sizeof other.CurDir - 1] = '\0';

    const DialogItemSpec specs[kCopyItemCount] = {
        {DI_DOUBLEBOX, 3, 1, 72, 9, 0, 0, 0, 0, static_cast<uintptr_t>(title)},
        {DI_TEXT, 5, 2, 0, 0, 0, 0, 0, 0, TextAddress(prompt.c_str())},
        {DI_EDIT, 5, 3, 70, 0, 1, TextAddress(kCopyHistory), DIF_HISTORY, 0,
         TextAddress(other.CurDir)},
        {DI_RADIOBUTTON, 5, 4, 0, 0, 0, 1, DIF_GROUP, 0, MSubfolderAuto},
        {DI_RADIOBUTTON, 5, 5, 0, 0, 0, 0, 0, 0, MSubfolderAlways},
        {DI_RADIOBUTTON, 5, 6, 0, 0, 0, 0, 0, 0, MSubfolderNone},
        {DI_TEXT, 255, 7, 0, 0, 0, 0, DIF_SEPARATOR, 0, TextAddress("")},
        {DI_BUTTON, 5, 8, 0, 0, 0, 0, DIF_CENTERGROUP, 1, MOk},
        {DI_BUTTON, 5, 8, 0, 0, 0, 0, DIF_CENTERGROUP, 0, MCancel},
    };
    FarDialogItem items[kCopyItemCount];
    BuildDialogItems(specs, items, kCopyItemCount);
    if (hostInfo.Dialog == nullptr) {
        return 1;
    }
    const int closedBy = hostInfo.Dialog(hostInfo.ModuleNumber, -1, -1, kDialogWidth, kDialogHeight,
                                         "WhereToCopy", items, kCopyItemCount);
    if (closedBy < 0 || closedBy == kCancelButton) {
        return 1;
    }

    auto subfolderMode = SubfolderMode::UnlessInside;
    for (int item = kSubfolderAuto; item <= kSubfolderNone; ++item) {
        if (items[item].Selected != 0) {
            subfolderMode = static_cast<SubfolderMode>(item - kSubfolderAuto);
            break;
        }
    }

    char destination[kDestinationSize] = {};
    const FarDialogItem& edit = items[kDestinationEdit];
    if (edit.Data[0] != '\0') {
        CopyBounded(destination, sizeof edit.Data, edit.Data);
    } else {
        CopyBounded(destination, sizeof other.CurDir, other.CurDir);
    }
    std::replace(destination, destination + std::strlen(destination), '/', '\\');
    if (hostFunctions.AddEndSlash == nullptr || hostFunctions.AddEndSlash(destination) == 0) {
        return 1;
    }

    const DownloadRequest request{destination,       choice.kindsMode, choice.kind,
                                  choice.folderKind, subfolderMode,    move};
    FarTransferView view(panel);
    DownloadPictures(*panel.camera, view, ViewOf(panel), request);
    CloseWhenEmptyOrUncertain(panel, view);
    return 1;
}

} // namespace

CopyChoice ChooseCopy(PictureKind shown, unsigned controlState) {
    CopyChoice choice;
    choice.kind = shown;
    choice.folderKind = choice.kind;
    const bool shift = (controlState & PKF_SHIFT) != 0;
    const bool control = (controlState & PKF_CONTROL) != 0;
    if ((controlState & PKF_ALT) == 0) {
        if (shift) {
            choice.kind = OtherKind(choice.kind);
            choice.folderKind = OtherKind(choice.folderKind);
        }
        if (control) {
            choice.folderKind = OtherKind(choice.folderKind);
        }
        return choice;
    }
    choice.kindsMode = KindsMode::EachKindOwnFolder;
    if (shift) {
        choice.kindsMode = KindsMode::BothKinds;
    }
    if (control) {
        choice.kindsMode = KindsMode::BothKindsOther;
        choice.folderKind = OtherKind(choice.folderKind);
    }
    return choice;
}

std::string CopyPrompt(const char* verb, const CopyChoice& choice) {
    const char* kindWord =
        MessageText(choice.kind == PictureKind::Photo ? MWordPhotos : MWordThumbnails);
    const char* folderWord =
        MessageText(choice.folderKind == PictureKind::Photo ? MWordPhoto : MWordThumbnail);
    std::vector<const char*> words;
    if (choice.kindsMode == KindsMode::OneKind) {
        words = {verb,
                 kindWord,
                 MessageText(MWordIn),
                 folderWord,
                 MessageText(MWordFolders),
                 MessageText(MWordTo)};
    } else if (choice.kindsMode == KindsMode::EachKindOwnFolder) {
        words = {verb, MessageText(MWordPhotos), MessageText(MWordAnd),
                 MessageText(MWordThumbnails), MessageText(MWordTo)};
    } else {
        words = {verb,
                 MessageText(MWordPhotos),
                 MessageText(MWordAnd),
                 MessageText(MWordThumbnails),
                 MessageText(MWordIn),
                 folderWord,
                 MessageText(MWordFolders),
                 MessageText(MWordTo)};
    }
    std::size_t size = 1;
    for (const char*& word : words) {
        word = word != nullptr ? word : "";
        size += std::strlen(word) + 1;
    }
    // The buffer is measured first: the texts come from the language file.
    std::vector<char> line(size, '\0');
    const auto& w = words;
    if (hostFunctions.sprintf == nullptr) {
        return {};
    }
    switch (w.size()) {
    case 5:
        hostFunctions.sprintf(line.data(), "%s %s %s %s %s", w[0], w[1], w[2], w[3], w[4]);
        break;
    case 6:
        hostFunctions.sprintf(line.data(), "%s %s %s %s %s %s", w[0], w[1], w[2], w[3], w[4], w[5]);
        break;
    default:
        hostFunctions.sprintf(line.data(), "%s %s %s %s %s %s %s %s", w[0], w[1], w[2], w[3], w[4],
                              w[5], w[6], w[7]);
        break;
    }
    return line.data();
}

int ProcessPanelKey(CameraPanel& panel, int key, unsigned controlState) {
    if (!panel.camera) {
        return 0;
    }
    if (key == VK_F3) {
        // With a modifier it is the host's (its viewers, its sort by name).
        const bool plain = (controlState & (PKF_CONTROL | PKF_ALT | PKF_SHIFT)) == 0;
        return plain ? ViewCurrentPicture(panel) : 0;
    }
    if (key < VK_F5 || key > VK_F8) {
        return 0;
    }
    switch (key) {
    case VK_F5:
    case VK_F6:
        return CopyKey(panel, key == VK_F6, controlState);
    case VK_F7:
        return SwitchView(panel, controlState);
    default:
        return DeleteKey(panel);
    }
}

} // namespace pixlor
