// The settings store's reading of stored values of every type and size: the
// input fills the settings key with values (a name byte, a type, a length and
// the data) and the SERIALCOMM key likewise, then every setting is read as
// the plugin reads it, and the ports are listed into their fixed slots. The
// buffers are heap blocks of exactly their size, so one byte past them is an
// overflow that ASan reports.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "fakes/FakeRegistry.h"
#include "platform/Platform.h"
#include "settings/Settings.h"

namespace {

using namespace pixlor;

constexpr const char* kRootKey = "Software\\Far\\Plugins";
constexpr const char* kSettingsKey = "Software\\Far\\Plugins\\Pixlor";
constexpr const char* kSerialComm = "HARDWARE\\DEVICEMAP\\SERIALCOMM";

// The names the store reads, and a few it does not.
const char* const kNames[] = {
    "SerialPort",  "BaudRate",  "PhotoPrefix", "PhotoSuffix", "ThumbPrefix",
    "ThumbSuffix", "PhotoPath", "ThumbPath",   "Other",       ""};

size_t Fill(FakeRegistry& registry, RegistryKey root, const char* key, const uint8_t* data,
            size_t size, size_t at, bool serial) {
    int values = data[at++ % size] % 24;
    while (values-- > 0 && at + 3 <= size) {
        const uint8_t nameByte = data[at++];
        const uint32_t type = data[at++] % 12; // REG_NONE to REG_QWORD and beyond
        size_t length = data[at++];
        length = length > 200 ? 300 + length : length; // longer than any buffer, too
        length = std::min(length, size - at);
        std::string name = serial ? "\\Device\\Serial" + std::to_string(nameByte)
                                  : kNames[nameByte % std::size(kNames)];
        if (serial && nameByte > 250) {
            name.assign(static_cast<size_t>(nameByte) - 230, 'N'); // longer than a slot
        }
        registry.SetRaw(root, key, name, type, std::vector<uint8_t>(data + at, data + at + length));
        at += length;
    }
    return at;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    FakeRegistry registry;
    ScopedPlatform scope(Platform{.registry = &registry});
    FUZZ_CHECK(BuildSettingsRoot(kRootKey));
    const size_t at = Fill(registry, kHkeyCurrentUser, kSettingsKey, data, size, 0, false);
    Fill(registry, kHkeyLocalMachine, kSerialComm, data, size, at, true);

    for (const NumberSetting& s : settings::kNumbers) {
        const uint32_t n = ReadSetting(s);
        const auto stored = registry.Get(kHkeyCurrentUser, kSettingsKey, s.name);
        if (!stored || stored->data.size() > 4) {
            FUZZ_CHECK(n == s.defaultValue); // none, or too long for the 4 bytes
        } else {
            uint32_t expected = 0;
            for (size_t i = 0; i < stored->data.size(); ++i) {
                expected |= static_cast<uint32_t>(stored->data[i]) << (8 * i);
            }
            FUZZ_CHECK(n == expected);
        }
    }
    for (const TextSetting& s : settings::kTexts) {
        for (const uint32_t capacity : {1u, 2u, 16u, 257u}) {
            auto buffer = std::make_unique<char[]>(capacity);
            const int used = ReadSetting(s, buffer.get(), capacity);
            const size_t length = strnlen(buffer.get(), capacity);
            FUZZ_CHECK(length < capacity); // always terminated inside the buffer
            const auto stored = registry.Get(kHkeyCurrentUser, kSettingsKey, s.name);
            if (used == 0) {
                const std::string fallback(s.defaultValue);
                FUZZ_CHECK(std::string(buffer.get()) ==
                           fallback.substr(0, std::min<size_t>(fallback.size(), capacity - 1)));
            } else {
                FUZZ_CHECK(stored && stored->data.size() <= capacity);
                FUZZ_CHECK(length == 0 ||
                           std::memcmp(buffer.get(), stored->data.data(), length) == 0);
            }
        }
    }

    constexpr uint32_t kSlots = 16;
    constexpr uint32_t kSlotSize = 16;
    auto names = std::make_unique<char[]>(kSlots * kSlotSize);
    auto values = std::make_unique<char[]>(kSlots * kSlotSize);
    std::memset(names.get(), 0, kSlots * kSlotSize);
    std::memset(values.get(), 0, kSlots * kSlotSize);
    const int32_t visited = ListRegistryValues(kHkeyLocalMachine, kSerialComm, kSlots, kSlotSize,
                                               names.get(), kSlotSize, values.get());
    FUZZ_CHECK(visited >= 0 && static_cast<uint32_t>(visited) <= kSlots);
    FUZZ_CHECK(static_cast<size_t>(visited) <= registry.ValueCount(kHkeyLocalMachine, kSerialComm));
    for (uint32_t i = 0; i < kSlots; ++i) {
        // Every slot is a text that ends inside it (or is empty).
        FUZZ_CHECK(strnlen(names.get() + i * kSlotSize, kSlotSize) < kSlotSize);
        FUZZ_CHECK(strnlen(values.get() + i * kSlotSize, kSlotSize) < kSlotSize ||
                   values[i * kSlotSize + kSlotSize - 1] == '\0');
    }
    FUZZ_CHECK(registry.OpenHandles() == 0);
    return 0;
}
