#include "configure/ConfigItems.h"

#include <cstdio>
#include <cstring>
#include <string_view>

#include "host/Host.h"
#include "host/MessageIds.h"
#include "platform/BoundedText.h"
#include "plugin/Startup.h"

namespace pixlor {

namespace {

using namespace config;

constexpr const char* kPortNames[kPortCount] = {"COM1", "COM2", "COM3", "COM4",
                                                "COM5", "COM6", "COM7", "COM8"};
constexpr const char* kSpeedNames[] = {"  9.6kBd", " 19.2kBd", " 38.4kBd", " 57.6kBd", "115.2kBd"};
constexpr const char* kEmptyText = "";
constexpr const char* kDigitMask = "#";
// Beyond the 8-bit column: the host draws a separator across the whole dialog.
constexpr uint8_t kSeparatorX = 255;

// A genuine 1.70 host ignores DIF_BTNNOCLOSE (the same bit as DIF_HISTORY) on
// a button in a plain Dialog, a newer host honours it; every button must close
// the dialog with its index, so the buttons carry the centring alone.
constexpr FarDword kButtonFlags = DIF_CENTERGROUP;

DialogItemSpec Text(uint8_t x, uint8_t y, uintptr_t data, FarDword flags = 0) {
    return {.Type = DI_TEXT, .X1 = x, .Y1 = y, .Flags = flags, .Data = data};
}

DialogItemSpec Radio(uint8_t x, uint8_t y, const char* label, FarDword flags = 0) {
    return {.Type = DI_RADIOBUTTON, .X1 = x, .Y1 = y, .Flags = flags, .Data = TextAddress(label)};
}

DialogItemSpec Edit(uint8_t y, const char* history, char* text) {
    return {.Type = DI_EDIT,
            .X1 = 5,
            .Y1 = y,
            .X2 = 47,
            .Selected = TextAddress(history),
            .Flags = DIF_HISTORY,
            .Data = TextAddress(text)};
}

DialogItemSpec DigitField(uint8_t x, uint8_t y, char* text) {
    return {.Type = DI_FIXEDIT,
            .X1 = x,
            .Y1 = y,
            .Selected = TextAddress(kDigitMask),
            .Flags = DIF_MASKEDIT,
            .Data = TextAddress(text)};
}

DialogItemSpec Button(uint8_t y, uintptr_t caption) {
    return {.Type = DI_BUTTON, .X1 = 5, .Y1 = y, .Flags = kButtonFlags, .Data = caption};
}

void WriteDigitCount(char* text, uint32_t count) {
    const int shown = static_cast<int>(count > kMaxShownDigits ? kMaxShownDigits : count);
    if (hostFunctions.sprintf != nullptr) {
        hostFunctions.sprintf(text, "%d", shown);
    } else {
        std::snprintf(text, kDigitTextSize, "%d", shown);
    }
}

uint32_t ReadDigitCount(const char* text) {
    if (hostFunctions.atoi != nullptr) {
        return static_cast<uint32_t>(hostFunctions.atoi(text));
    }
    int value = 0;
    std::sscanf(text, "%d", &value);
    return static_cast<uint32_t>(value);
}

// An edit item's text, which may fill the whole field without a terminator.
std::string_view ItemText(const FarDialogItem& item) {
    return {item.Data, strnlen(item.Data, sizeof item.Data)};
}

} // namespace

void FillConfigSpecs(ConfigSpecs& specs, ConfigValues& values, uint8_t photoDigitsX,
                     uint8_t thumbDigitsX) {
    specs = {};
    specs[kFrame] = {
        .Type = DI_DOUBLEBOX, .X1 = 3, .Y1 = 1, .X2 = 50, .Y2 = 22, .Data = MConfigTitle};
    specs[kPortLabel] = Text(5, 2, MConfigPort);
    for (int port = 0; port < kPortCount; ++port) {
        const auto x = static_cast<uint8_t>(port < 4 ? 5 : 15);
        const auto y = static_cast<uint8_t>(3 + port % 4);
        specs[kCom1 + port] = Radio(x, y, kPortNames[port], port == 0 ? DIF_GROUP : 0);
    }
    specs[kSpeedLabel] = Text(30, 2, MConfigSpeed);
    for (int speed = 0; speed < 5; ++speed) {
        specs[kSpeed9600 + speed] = Radio(30, static_cast<uint8_t>(3 + speed), kSpeedNames[speed],
                                          speed == 0 ? DIF_GROUP : 0);
    }
    specs[kNamesSeparator] = Text(kSeparatorX, 8, TextAddress(kEmptyText), DIF_SEPARATOR);
    specs[kPhotoPrefixLabel] = Text(5, 9, MConfigPhotoPrefix);
    specs[kPhotoPrefixEdit] = Edit(10, "PXPhotoPfx", values.photoPrefix);
    specs[kThumbPrefixLabel] = Text(5, 11, MConfigThumbPrefix);
    specs[kThumbPrefixEdit] = Edit(12, "PXThumbPfx", values.thumbPrefix);
    specs[kPhotoPathLabel] = Text(5, 13, MConfigPhotoPath);
    specs[kPhotoPathEdit] = Edit(14, "PXPhotoPth", values.photoPath);
    specs[kThumbPathLabel] = Text(5, 15, MConfigThumbPath);
    specs[kThumbPathEdit] = Edit(16, "PXThumbPth", values.thumbPath);
    specs[kPhotoDigitsLabel] = Text(5, 17, MConfigPhotoDigits);
    specs[kPhotoDigitsEdit] = DigitField(photoDigitsX, 17, values.photoDigitsText);
    specs[kThumbDigitsLabel] = Text(5, 18, MConfigThumbDigits);
    specs[kThumbDigitsEdit] = DigitField(thumbDigitsX, 18, values.thumbDigitsText);
    specs[kCheckButton] = Button(19, MCheck);
    specs[kDefaultsButton] = Button(19, MDefaults);
    specs[kButtonsSeparator] = Text(kSeparatorX, 20, TextAddress(kEmptyText), DIF_SEPARATOR);
    specs[kOkButton] = Button(21, MOk);
    specs[kOkButton].Focus = 1;
    specs[kOkButton].DefaultButton = 1;
    specs[kCancelButton] = Button(21, MCancel);
    specs[kAboutButton] = Button(21, MAbout);

    for (int port = 0; port < kPortCount; ++port) {
        if (portPresent[port] == 0) {
            specs[kCom1 + port].Flags |= DIF_DISABLE;
        }
    }
}

void ShowConfigValues(ConfigSpecs& specs, ConfigValues& values) {
    WriteDigitCount(values.photoDigitsText, values.photoDigits);
    WriteDigitCount(values.thumbDigitsText, values.thumbDigits);
    for (int item = kCom1; item <= kCom8; ++item) {
        specs[item].Selected = static_cast<uint32_t>(item - kCom1) == values.portIndex ? 1 : 0;
    }
    for (int item = kSpeed9600; item <= kSpeed115200; ++item) {
        specs[item].Selected =
            static_cast<uint32_t>(item - kSpeedItemBase) == values.speedIndex ? 1 : 0;
    }
}

void TakeConfigInput(const ConfigItems& items, ConfigValues& values) {
    CopyBounded(values.photoPrefix, ItemText(items[kPhotoPrefixEdit]));
    CopyBounded(values.thumbPrefix, ItemText(items[kThumbPrefixEdit]));
    CopyBounded(values.photoPath, ItemText(items[kPhotoPathEdit]));
    CopyBounded(values.thumbPath, ItemText(items[kThumbPathEdit]));
    CopyBounded(values.photoDigitsText, ItemText(items[kPhotoDigitsEdit]));
    CopyBounded(values.thumbDigitsText, ItemText(items[kThumbDigitsEdit]));
    values.photoDigits = ReadDigitCount(values.photoDigitsText);
    values.thumbDigits = ReadDigitCount(values.thumbDigitsText);
    for (int item = kCom1; item <= kCom8; ++item) {
        if (items[item].Selected != 0) {
            values.portIndex = static_cast<uint32_t>(item - kCom1);
        }
    }
    for (int item = kSpeed9600; item <= kSpeed115200; ++item) {
        if (items[item].Selected != 0) {
            values.speedIndex = static_cast<uint32_t>(item - kSpeedItemBase);
        }
    }
}

} // namespace pixlor
