// The configuration dialog's items: the working values of one run, the item
// table built over them, and the way the user's input is taken back.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "host/DialogItems.h"
#include "host/FarApi.h"

namespace pixlor {

namespace config {

// Item indexes; the host returns the index of the closing item as the exit code.
enum Item : int {
    kFrame,
    kPortLabel,
    kCom1,
    kCom2,
    kCom3,
    kCom4,
    kCom5,
    kCom6,
    kCom7,
    kCom8,
    kSpeedLabel,
    kSpeed9600,
    kSpeed19200,
    kSpeed38400,
    kSpeed57600,
    kSpeed115200,
    kNamesSeparator,
    kPhotoPrefixLabel,
    kPhotoPrefixEdit,
    kThumbPrefixLabel,
    kThumbPrefixEdit,
    kPhotoPathLabel,
    kPhotoPathEdit,
    kThumbPathLabel,
    kThumbPathEdit,
    kPhotoDigitsLabel,
    kPhotoDigitsEdit,
    kThumbDigitsLabel,
    kThumbDigitsEdit,
    kCheckButton,
    kDefaultsButton,
    kButtonsSeparator,
    kOkButton,
    kCancelButton,
    kAboutButton,
    kItemCount
};

// The speed radio buttons stand for the line speed indexes 1 to 5.
inline constexpr int kSpeedItemBase = kSpeed9600 - 1;

inline constexpr std::size_t kTextSize = 512;
// A digit count is shown as one digit; the text has room for three.
inline constexpr std::size_t kDigitTextSize = 4;
// Counts above this do not fit the one-character field.
inline constexpr uint32_t kMaxShownDigits = 9;

} // namespace config

// What one run of the dialog edits; the table's edit fields point in here.
struct ConfigValues {
    uint32_t portIndex = 0;
    uint32_t speedIndex = 0;
    char photoPrefix[config::kTextSize] = {};
    char thumbPrefix[config::kTextSize] = {};
    char photoPath[config::kTextSize] = {};
    char thumbPath[config::kTextSize] = {};
    uint32_t photoDigits = 0;
    uint32_t thumbDigits = 0;
    char photoDigitsText[config::kDigitTextSize] = {};
    char thumbDigitsText[config::kDigitTextSize] = {};
};

using ConfigSpecs = std::array<DialogItemSpec, config::kItemCount>;
using ConfigItems = std::array<FarDialogItem, config::kItemCount>;

// The item table over `values`. The digit fields start at the given columns
// (their labels' lengths + 5). Port items of ports not found at start-up are
// disabled.
void FillConfigSpecs(ConfigSpecs& specs, ConfigValues& values, uint8_t photoDigitsX,
                     uint8_t thumbDigitsX);

// Puts the values into the table before a pass: the digit texts and the
// radio states.
void ShowConfigValues(ConfigSpecs& specs, ConfigValues& values);

// Takes the user's input back from the host's items after a pass. A radio
// group with no chosen item keeps its index.
void TakeConfigInput(const ConfigItems& items, ConfigValues& values);

} // namespace pixlor
