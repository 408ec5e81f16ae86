// The settings in the registry: the key that holds them, and the few registry
// operations every other part reads and writes them through. Nothing is cached:
// each read opens the key, handles one value and closes it again.
#pragma once

#include <cstdint>

#include "platform/Registry.h"

namespace pixlor {

inline constexpr uint32_t kSettingsRootSize = 80;

// SettingsRoot = rootKey + "\Pixlor". False, with the root left empty, when it
// does not fit the 80-byte buffer: then nothing is stored and every read gives
// its default.
bool BuildSettingsRoot(const char* rootKey);
const char* SettingsRoot();

// Key handle for writing (RegCreateKeyExA, KEY_WRITE), 0 on failure.
RegistryKey CreateSettingsKey(RegistryKey root, const char* subKey);
// Key handle for reading (RegOpenKeyExA, KEY_QUERY_VALUE), 0 on failure.
RegistryKey OpenSettingsKey(RegistryKey root, const char* subKey);

// The writes return the registry's error (0 when stored; 5 as well when no
// settings root was built).
RegistryResult WriteSettingNumber(RegistryKey root, const char* subKey, const char* valueName,
                                  uint32_t number);
RegistryResult WriteSettingText(RegistryKey root, const char* subKey, const char* valueName,
                                const char* text);
// The reads give the default for a value that is absent, too long or cannot be
// read; `failure`, when given, receives the registry's error of a value that
// could not be read (0 for one that was read or is absent).
uint32_t ReadSettingNumber(RegistryKey root, const char* subKey, const char* valueName,
                           uint32_t defaultNumber, RegistryResult* failure = nullptr);
// 1 when the stored text was used, 0 when the default was copied.
int ReadSettingText(RegistryKey root, const char* subKey, const char* valueName, char* buffer,
                    const char* defaultText, uint32_t capacity, RegistryResult* failure = nullptr);

// Lists up to maxCount values of root\keyPath into fixed slots; returns the
// number of value indexes visited (values that did not fit count too).
// `failure`, when given, receives the first registry error that is more than
// an absent key, the end of the list or a value too long for its slot (0 if none).
int32_t ListRegistryValues(RegistryKey root, const char* keyPath, uint32_t maxCount,
                           uint32_t nameSlotSize, char* names, uint32_t dataSlotSize, char* data,
                           RegistryResult* failure = nullptr);

} // namespace pixlor
