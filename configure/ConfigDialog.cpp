#include "configure/ConfigDialog.h"

#include <cstring>
#include <memory>

#include "camera/LinkStatus.h"
#include "configure/ConfigItems.h"
#include "configure/ConfigValidation.h"
#include "host/Host.h"
#include "host/MessageIds.h"
#include "host/Messages.h"
#include "host/OpenPanels.h"
#include "platform/BoundedText.h"
#include "settings/Settings.h"

namespace pixlor {

namespace {

using namespace config;

constexpr int kDialogWidth = 54;
constexpr int kDialogHeight = 24;
constexpr const char* kVersionLine = "Pixlor for Far. Version 1.2, Communication kernel 0.4";

// The link's speed table has entries 0 to 5; 0 and 2 both mean 19200.
constexpr uint32_t kHighestSpeed = 5;
constexpr uint32_t kSpeed19200Index = 2;
constexpr uint32_t kDefaultDigits = 3;

void RefuseWhilePanelOpen() {
    const char* lines[2] = {MessageText(MConfigTitle), MessageText(MConfigPanelOpen)};
    ShowLines(FMSG_WARNING | FMSG_MB_OK, "", lines, 2);
}

void ShowAbout() {
    const char* lines[2] = {MessageText(MAbout), kVersionLine};
    ShowLines(FMSG_MB_OK, nullptr, lines, 2, 1);
}

// The registry's error of the first setting that could not be read (an
// absent one gives its default), 0 when all were read.
RegistryResult ReadValues(ConfigValues& values) {
    RegistryResult failure = 0;
    values.speedIndex = ReadSetting(settings::kBaudRate, &failure);
    if (values.speedIndex > kHighestSpeed) {
        values.speedIndex = kHighestSpeed;
    } else if (values.speedIndex == 0) {
        values.speedIndex = kSpeed19200Index;
    }
    values.portIndex = ReadSetting(settings::kSerialPort, &failure);
    ReadSetting(settings::kPhotoPrefix, values.photoPrefix, kTextSize, &failure);
    ReadSetting(settings::kThumbPrefix, values.thumbPrefix, kTextSize, &failure);
    ReadSetting(settings::kPhotoPath, values.photoPath, kTextSize, &failure);
    ReadSetting(settings::kThumbPath, values.thumbPath, kTextSize, &failure);
    values.photoDigits = ReadSetting(settings::kPhotoSuffix, &failure);
    values.thumbDigits = ReadSetting(settings::kThumbSuffix, &failure);
    return failure;
}

// The naming values only: the port and speed stay as the user left them.
void RestoreDefaults(ConfigValues& values) {
    CopyBounded(values.photoPrefix, settings::kPhotoPrefix.defaultValue);
    CopyBounded(values.thumbPrefix, settings::kThumbPrefix.defaultValue);
    CopyBounded(values.photoPath, settings::kPhotoPath.defaultValue);
    CopyBounded(values.thumbPath, settings::kThumbPath.defaultValue);
    values.photoDigits = kDefaultDigits;
    values.thumbDigits = kDefaultDigits;
}

// Stores every value, also after one failed; the first failure's error, 0
// when all were stored.
RegistryResult StoreValues(const ConfigValues& values) {
    const RegistryResult results[] = {
        WriteSetting(settings::kBaudRate, values.speedIndex),
        WriteSetting(settings::kSerialPort, values.portIndex),
        WriteSetting(settings::kPhotoPrefix, values.photoPrefix),
        WriteSetting(settings::kPhotoSuffix, values.photoDigits),
        WriteSetting(settings::kThumbPrefix, values.thumbPrefix),
        WriteSetting(settings::kThumbSuffix, values.thumbDigits),
        WriteSetting(settings::kPhotoPath, values.photoPath),
        WriteSetting(settings::kThumbPath, values.thumbPath),
    };
    for (const RegistryResult result : results) {
        if (result != 0) {
            return result;
        }
    }
    return 0;
}

void ReportSettingsFailure(RegistryResult failure) {
    ShowSystemError(linkstatus::kSettings, static_cast<uint32_t>(failure));
}

// True when every value passed; otherwise the refusal has been shown.
bool Validate(const ConfigValues& values) {
    const auto refusal = ValidateConfig(values);
    if (!refusal) {
        return true;
    }
    ShowErrorReport(refusal->code, 0, 0, 0, &refusal->record);
    return false;
}

uint8_t DigitFieldX(int label) {
    return static_cast<uint8_t>(std::strlen(MessageText(label)) + 5);
}

// The dialog's state: the working values and the item tables (large, so kept
// off the host's stack).
struct ConfigRun {
    ConfigValues values;
    ConfigSpecs specs;
    ConfigItems items;
};

} // namespace

int Configure(int /*itemNumber*/) {
    if (openPanelCount != 0) {
        RefuseWhilePanelOpen();
        return 0;
    }
    const uint8_t photoDigitsX = DigitFieldX(MConfigPhotoDigits);
    const uint8_t thumbDigitsX = DigitFieldX(MConfigThumbDigits);

    auto run = std::make_unique<ConfigRun>();
    ConfigValues& values = run->values;
    // A setting the registry would not give is not replaced by its default
    // behind the user's back: the dialog is not shown.
    if (const RegistryResult failure = ReadValues(values); failure != 0) {
        ReportSettingsFailure(failure);
        return 0;
    }
    FillConfigSpecs(run->specs, values, photoDigitsX, thumbDigitsX);

    bool done = false;
    while (!done) {
        ShowConfigValues(run->specs, values);
        BuildDialogItems(run->specs.data(), run->items.data(), kItemCount);
        const int exitCode =
            hostInfo.Dialog == nullptr
                ? -1
                : hostInfo.Dialog(hostInfo.ModuleNumber, -1, -1, kDialogWidth, kDialogHeight,
                                  "Configure", run->items.data(), kItemCount);
        TakeConfigInput(run->items, values);
        switch (exitCode) {
        case kCheckButton:
            if (Validate(values)) {
                ShowNotice(MTemplatesValid);
            }
            break;
        case kOkButton:
            done = Validate(values);
            break;
        case kDefaultsButton:
            RestoreDefaults(values);
            break;
        case kAboutButton:
            ShowAbout();
            break;
        default:
            return 0;
        }
    }
    if (const RegistryResult failure = StoreValues(values); failure != 0) {
        ReportSettingsFailure(failure);
        return 0;
    }
    return 1;
}

} // namespace pixlor
