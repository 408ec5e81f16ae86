// The eight settings: their registry value names and the defaults every reader
// supplies. There is no settings object; readers go to the registry each time.
#pragma once

#include <array>
#include <cstdint>

#include "platform/Registry.h"
#include "settings/SettingsStore.h"

namespace pixlor {

struct NumberSetting {
    const char* name;
    uint32_t defaultValue;
};

struct TextSetting {
    const char* name;
    const char* defaultValue;
};

namespace settings {

inline constexpr NumberSetting kSerialPort{"SerialPort", 1}; // 0 = COM1 .. 7 = COM8
inline constexpr NumberSetting kBaudRate{"BaudRate", 5};     // index: 1 = 9600 .. 5 = 115200
inline constexpr TextSetting kPhotoPrefix{"PhotoPrefix", "pic%2D.%2M.%4Y_"};
inline constexpr NumberSetting kPhotoSuffix{"PhotoSuffix", 3}; // digits of the running number
inline constexpr TextSetting kThumbPrefix{"ThumbPrefix", "thumb%2D.%2M.%4Y_"};
inline constexpr NumberSetting kThumbSuffix{"ThumbSuffix", 3};
inline constexpr TextSetting kPhotoPath{"PhotoPath", "%2Y-%2M-%2D"};
inline constexpr TextSetting kThumbPath{"ThumbPath", ""};

inline constexpr std::array<NumberSetting, 4> kNumbers{kSerialPort, kBaudRate, kPhotoSuffix,
                                                       kThumbSuffix};
inline constexpr std::array<TextSetting, 4> kTexts{kPhotoPrefix, kThumbPrefix, kPhotoPath,
                                                   kThumbPath};

// Every caller keeps its settings directly in SettingsRoot under the current user.
inline constexpr RegistryKey kRoot = kHkeyCurrentUser;
inline constexpr const char* kSubKey = "";

} // namespace settings

// `failure` as for ReadSettingNumber and ReadSettingText.
inline uint32_t ReadSetting(const NumberSetting& setting, RegistryResult* failure = nullptr) {
    return ReadSettingNumber(settings::kRoot, settings::kSubKey, setting.name, setting.defaultValue,
                             failure);
}

// Fills `buffer` (capacity bytes) with the stored text or the default; 1 when stored.
inline int ReadSetting(const TextSetting& setting, char* buffer, uint32_t capacity,
                       RegistryResult* failure = nullptr) {
    return ReadSettingText(settings::kRoot, settings::kSubKey, setting.name, buffer,
                           setting.defaultValue, capacity, failure);
}

// The registry's error, 0 when stored.
inline RegistryResult WriteSetting(const NumberSetting& setting, uint32_t number) {
    return WriteSettingNumber(settings::kRoot, settings::kSubKey, setting.name, number);
}

inline RegistryResult WriteSetting(const TextSetting& setting, const char* text) {
    return WriteSettingText(settings::kRoot, settings::kSubKey, setting.name, text);
}

} // namespace pixlor
