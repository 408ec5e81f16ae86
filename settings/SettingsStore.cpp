#include "settings/SettingsStore.h"

#include <cstring>

#include "platform/BoundedText.h"
#include "platform/Platform.h"
#include "platform/SystemError.h"

namespace pixlor {
namespace {

constexpr char kSuffix[] = "\\Pixlor";
constexpr uint32_t kKeyPathSize = 512;

// Module-wide, as the single host thread allows: set once at start-up.
char settingsRoot[kSettingsRootSize] = {};
// Reused by every operation to compose root, separator and sub-key.
char keyPath[kKeyPathSize] = {};

Registry& TheRegistry() {
    return *CurrentPlatform().registry;
}

// Composes the key path; false when it would not fit (never a cut key) or when
// no root was built, which would otherwise address the user's hive itself.
bool ComposeKeyPath(const char* subKey) {
    if (settingsRoot[0] == '\0') {
        return false;
    }
    if (subKey == nullptr) {
        subKey = "";
    }
    const char* separator = subKey[0] != '\0' ? "\\" : "";
    const size_t rootLength = std::strlen(settingsRoot);
    const size_t separatorLength = std::strlen(separator);
    const size_t subKeyLength = std::strlen(subKey);
    if (rootLength + separatorLength + subKeyLength >= kKeyPathSize) {
        return false;
    }
    char* out = keyPath;
    std::memcpy(out, settingsRoot, rootLength);
    out += rootLength;
    std::memcpy(out, separator, separatorLength);
    out += separatorLength;
    std::memcpy(out, subKey, subKeyLength);
    out[subKeyLength] = '\0';
    return true;
}

// What a failed open or read means for a reader: an absent key or value and
// a value too long for its buffer give the default; anything else is a
// registry that could not be read.
RegistryResult ReadFailure(RegistryResult result) {
    switch (static_cast<uint32_t>(result)) {
    case syserr::kSuccess:
    case syserr::kFileNotFound:
    case syserr::kMoreData:
        return 0;
    default:
        return result;
    }
}

void Note(RegistryResult* failure, RegistryResult result) {
    if (failure != nullptr && *failure == 0) {
        *failure = ReadFailure(result);
    }
}

// The key of a read, or 0 with the failure noted.
RegistryKey OpenForReading(RegistryKey root, const char* subKey, RegistryResult* failure) {
    if (!ComposeKeyPath(subKey)) {
        return 0;
    }
    RegistryKey key = 0;
    const RegistryResult opened = TheRegistry().OpenKey(root, keyPath, kKeyQueryValue, key);
    Note(failure, opened);
    return opened == 0 ? key : 0;
}

constexpr RegistryResult kNoRoot = static_cast<RegistryResult>(syserr::kAccessDenied);

// The key of a write, made if missing; the registry's result, or kNoRoot
// when the settings have no root.
RegistryResult CreateForWriting(RegistryKey root, const char* subKey, RegistryKey& key) {
    if (!ComposeKeyPath(subKey)) {
        return kNoRoot;
    }
    return TheRegistry().CreateKey(root, keyPath, kKeyWrite, key);
}

} // namespace

bool BuildSettingsRoot(const char* rootKey) {
    settingsRoot[0] = '\0';
    if (rootKey == nullptr) {
        return false;
    }
    const size_t rootLength = std::strlen(rootKey);
    const size_t suffixLength = sizeof kSuffix - 1;
    if (rootLength + suffixLength >= kSettingsRootSize) {
        return false;
    }
    std::memcpy(settingsRoot, rootKey, rootLength);
    std::memcpy(settingsRoot + rootLength, kSuffix, suffixLength + 1);
    return true;
}

const char* SettingsRoot() {
    return settingsRoot;
}

RegistryKey CreateSettingsKey(RegistryKey root, const char* subKey) {
    RegistryKey key = 0;
    return CreateForWriting(root, subKey, key) == 0 ? key : 0;
}

RegistryKey OpenSettingsKey(RegistryKey root, const char* subKey) {
    return OpenForReading(root, subKey, nullptr);
}

namespace {

// The key made if missing, one value stored, the key closed again.
RegistryResult WriteSettingValue(RegistryKey root, const char* subKey, const char* valueName,
                                 uint32_t type, const uint8_t* bytes, uint32_t size) {
    RegistryKey key = 0;
    if (const RegistryResult created = CreateForWriting(root, subKey, key); created != 0) {
        return created;
    }
    const RegistryResult stored = TheRegistry().SetValue(key, valueName, type, bytes, size);
    TheRegistry().CloseKey(key);
    return stored;
}

} // namespace

RegistryResult WriteSettingNumber(RegistryKey root, const char* subKey, const char* valueName,
                                  uint32_t number) {
    const uint8_t bytes[4] = {static_cast<uint8_t>(number), static_cast<uint8_t>(number >> 8),
                              static_cast<uint8_t>(number >> 16),
                              static_cast<uint8_t>(number >> 24)};
    return WriteSettingValue(root, subKey, valueName, kRegDword, bytes, sizeof bytes);
}

RegistryResult WriteSettingText(RegistryKey root, const char* subKey, const char* valueName,
                                const char* text) {
    if (text == nullptr) {
        text = "";
    }
    const auto size = static_cast<uint32_t>(std::strlen(text) + 1);
    return WriteSettingValue(root, subKey, valueName, kRegSz,
                             reinterpret_cast<const uint8_t*>(text), size);
}

uint32_t ReadSettingNumber(RegistryKey root, const char* subKey, const char* valueName,
                           uint32_t defaultNumber, RegistryResult* failure) {
    const RegistryKey key = OpenForReading(root, subKey, failure);
    if (key == 0) {
        return defaultNumber;
    }
    // A shorter value of any type is taken as the low bytes of the number.
    uint8_t bytes[4] = {};
    uint32_t size = sizeof bytes;
    uint32_t type = 0;
    const RegistryResult result = TheRegistry().QueryValue(key, valueName, &type, bytes, &size);
    TheRegistry().CloseKey(key);
    Note(failure, result);
    if (result != 0) {
        return defaultNumber;
    }
    return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
           static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

int ReadSettingText(RegistryKey root, const char* subKey, const char* valueName, char* buffer,
                    const char* defaultText, uint32_t capacity, RegistryResult* failure) {
    if (buffer == nullptr || capacity == 0) {
        return 0;
    }
    const RegistryKey key = OpenForReading(root, subKey, failure);
    if (key != 0) {
        uint32_t size = capacity;
        uint32_t type = 0;
        const RegistryResult result = TheRegistry().QueryValue(
            key, valueName, &type, reinterpret_cast<uint8_t*>(buffer), &size);
        TheRegistry().CloseKey(key);
        Note(failure, result);
        // A stored text need not carry its terminator: add it when there is room,
        // and treat a text that fills the whole buffer without one as too long.
        if (result == 0 && size <= capacity) {
            if (size < capacity) {
                buffer[size] = '\0';
                return 1;
            }
            if (buffer[capacity - 1] == '\0') {
                return 1;
            }
        }
    }
    CopyBounded(buffer, capacity, defaultText);
    return 0;
}

int32_t ListRegistryValues(RegistryKey root, const char* listedKey, uint32_t maxCount,
                           uint32_t nameSlotSize, char* names, uint32_t dataSlotSize, char* data,
                           RegistryResult* failure) {
    RegistryResult ignored = 0;
    RegistryResult& firstFailure = failure != nullptr ? *failure : ignored;
    firstFailure = 0;
    if (names == nullptr || data == nullptr || nameSlotSize == 0 || dataSlotSize == 0) {
        return 0;
    }
    Registry& registry = TheRegistry();
    RegistryKey key = 0;
    const RegistryResult opened =
        registry.OpenKey(root, listedKey, kKeyQueryValue | kKeyEnumerateSubKeys, key);
    if (opened != 0) {
        firstFailure = opened == static_cast<RegistryResult>(syserr::kFileNotFound) ? 0 : opened;
        return 0;
    }
    char* name = names;
    char* datum = data;
    uint32_t index = 0;
    for (; index < maxCount; ++index) {
        uint32_t nameLength = nameSlotSize;
        uint32_t dataLength = dataSlotSize;
        uint32_t type = 0;
        const RegistryResult result = registry.EnumValue(
            key, index, name, &nameLength, &type, reinterpret_cast<uint8_t*>(datum), &dataLength);
        if (result == static_cast<RegistryResult>(syserr::kNoMoreItems)) {
            break;
        }
        if (result != 0 && result != static_cast<RegistryResult>(syserr::kMoreData) &&
            firstFailure == 0) {
            firstFailure = result;
        }
        // The slots are read as texts: a name or data without room for its
        // terminator does not fit, like one the registry refused as too long.
        bool fits = result == 0 && nameLength < nameSlotSize && dataLength <= dataSlotSize;
        if (fits) {
            name[nameLength] = '\0';
            if (dataLength < dataSlotSize) {
                datum[dataLength] = '\0';
            } else {
                fits = datum[dataSlotSize - 1] == '\0';
            }
        }
        if (fits) {
            name += nameSlotSize;
            datum += dataSlotSize;
        } else {
            // The next value goes into the same slots; leave no partial bytes behind.
            std::memset(name, 0, nameSlotSize);
            std::memset(datum, 0, dataSlotSize);
        }
    }
    registry.CloseKey(key);
    return static_cast<int32_t>(index);
}

} // namespace pixlor
