// The panel's properties, key bar and folder changes.
#include "plugin/PanelListing.h"

#include <algorithm>

#include "host/Host.h"
#include "host/MessageIds.h"
#include "plugin/CameraPanel.h"
#include "plugin/HostNameRules.h"
#include "transfer/NameTemplate.h"
#include "transfer/TransferList.h"

namespace pixlor {

KeyBarTitles panelKeyBar{};

namespace {

constexpr const char* kBlank = "";
constexpr int kF3 = 2;
constexpr int kF5 = 4;
constexpr int kF6 = 5;
constexpr int kF7 = 6;
constexpr int kF8 = 7;

// The folder name handed out as CurDir: the host may read it after the folder
// list it came from was rebuilt.
NameBuffer shownFolder;

// The rows in the order the copy and move labels are numbered: plain, Shift,
// Ctrl, Ctrl+Shift, Alt, Alt+Shift, Ctrl+Alt.
using Row = const char* (KeyBarTitles::*)[12];
constexpr Row kLabelOrder[] = {&KeyBarTitles::Titles,       &KeyBarTitles::ShiftTitles,
                               &KeyBarTitles::CtrlTitles,   &KeyBarTitles::CtrlShiftTitles,
                               &KeyBarTitles::AltTitles,    &KeyBarTitles::AltShiftTitles,
                               &KeyBarTitles::CtrlAltTitles};

} // namespace

void FillKeyBar(PictureKind shown, NumberingMode numbering) {
    panelKeyBar = KeyBarTitles{};
    for (const Row row : kLabelOrder) {
        for (int key = kF3; key <= kF8; ++key) {
            (panelKeyBar.*row)[key] = kBlank;
        }
    }
    const bool thumbnails = shown == PictureKind::Thumbnail;
    const int copyBase = thumbnails ? MKeyCopyThumbOwn : MKeyCopyPhotoOwn;
    const int moveBase = thumbnails ? MKeyMoveThumbOwn : MKeyMovePhotoOwn;
    for (int i = 0; i < static_cast<int>(std::size(kLabelOrder)); ++i) {
        (panelKeyBar.*kLabelOrder[i])[kF5] = MessageText(copyBase + i);
        (panelKeyBar.*kLabelOrder[i])[kF6] = MessageText(moveBase + i);
    }
    panelKeyBar.Titles[kF3] = MessageText(MKeyView);
    panelKeyBar.Titles[kF7] = MessageText(thumbnails ? MKeyShowPhotos : MKeyShowThumbs);
    panelKeyBar.CtrlTitles[kF7] = MessageText(
        numbering == NumberingMode::AfterOtherPanel ? MKeyNumberFromOne : MKeyNumberContinue);
}

void CameraPanel::GetOpenPluginInfo(OpenPluginInfo& info) {
    FillKeyBar(viewKind, numberingMode);
    info = OpenPluginInfo{};
    info.StructSize = kOpenPluginInfoSize;
    info.Flags = kPanelFlags;
    shownFolder.Assign("");
    if ((listingFlags & kListingInsideFolder) != 0) {
        info.Flags |= OPIF_ADDDOTS;
        if (currentFolder && *currentFolder < folders.size()) {
            shownFolder.Assign(folders[*currentFolder].name);
        }
    }
    info.CurDir = shownFolder.c_str();
    info.HostFile = nullptr;
    info.Format = MessageText(MPluginName);
    info.PanelTitle = MessageText(MPluginName);
    info.StartSortMode = SM_NAME;
    info.StartSortOrder = 0;
    info.KeyBar = &panelKeyBar;
}

int CameraPanel::SetDirectory(const char* name) {
    if (name == nullptr) {
        return 0;
    }
    const NameRules& names = HostNameRules();
    if (names.Same(name, "..") || names.Same(name, "\\")) {
        currentFolder.reset();
        listingFlags = 0;
        return 1;
    }
    const auto found = std::find_if(folders.begin(), folders.end(), [&](const PictureFolder& f) {
        return names.Same(f.name.c_str(), name);
    });
    if (found == folders.end()) {
        listingFlags = 0;
        return 0;
    }
    currentFolder = static_cast<std::size_t>(found - folders.begin());
    listingFlags = kListingInsideFolder;
    return 1;
}

uint32_t NextNumberInPanel(const NameRules& names, uint32_t width, const char* prefix,
                           const PanelInfo& otherPanel) {
    HighestNumber highest(names);
    for (int i = 0; otherPanel.PanelItems != nullptr && i < otherPanel.ItemsNumber; ++i) {
        highest.Consider(otherPanel.PanelItems[i].FindData.cFileName, prefix, width);
    }
    return highest.Next();
}

} // namespace pixlor
