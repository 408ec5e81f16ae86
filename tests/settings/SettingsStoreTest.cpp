#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include "fakes/FakeRegistry.h"
#include "platform/Platform.h"
#include "settings/Settings.h"
#include "settings/SettingsStore.h"

namespace pixlor {
namespace {

using Op = FakeRegistry::Op;

constexpr const char* kHostRoot = "Software\\Far\\Plugins";
constexpr const char* kKey = "Software\\Far\\Plugins\\Pixlor";

class SettingsStoreTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(BuildSettingsRoot(kHostRoot)); }
    void TearDown() override { EXPECT_EQ(registry.OpenHandles(), 0u) << "a key was left open"; }

    // Reads into a buffer with a guard zone behind `capacity`, which must stay untouched.
    std::string ReadText(const char* name, uint32_t capacity, const char* fallback, int& used) {
        std::vector<char> buffer(capacity + 16, '#');
        used = ReadSettingText(kHkeyCurrentUser, "", name, buffer.data(), fallback, capacity);
        for (size_t i = capacity; i < buffer.size(); ++i) {
            EXPECT_EQ(buffer[i], '#') << "written past the capacity at " << i;
        }
        const void* end = std::memchr(buffer.data(), '\0', capacity);
        EXPECT_NE(end, nullptr) << "the text handed out has no terminator";
        return end == nullptr ? std::string() : std::string(buffer.data());
    }

    FakeRegistry registry;
    ScopedPlatform scope{Platform{.registry = &registry}};
};

TEST_F(SettingsStoreTest, WithoutTheKeyEveryReaderGetsItsDefault) {
    EXPECT_EQ(ReadSetting(settings::kSerialPort), 1u);
    EXPECT_EQ(ReadSetting(settings::kBaudRate), 5u);
    EXPECT_EQ(ReadSetting(settings::kPhotoSuffix), 3u);
    EXPECT_EQ(ReadSetting(settings::kThumbSuffix), 3u);
    const std::pair<TextSetting, const char*> texts[] = {
        {settings::kPhotoPrefix, "pic%2D.%2M.%4Y_"},
        {settings::kThumbPrefix, "thumb%2D.%2M.%4Y_"},
        {settings::kPhotoPath, "%2Y-%2M-%2D"},
        {settings::kThumbPath, ""},
    };
    for (const auto& [setting, expected] : texts) {
        char buffer[257];
        EXPECT_EQ(ReadSetting(setting, buffer, sizeof buffer), 0) << setting.name;
        EXPECT_STREQ(buffer, expected) << setting.name;
    }
    EXPECT_FALSE(registry.HasKey(kHkeyCurrentUser, kKey)) << "reading must not create the key";
    EXPECT_EQ(registry.CountCalls(Op::QueryValue), 0u);
}

TEST_F(SettingsStoreTest, SavedValuesReadBackWithTheirRegistryTypesAndSizes) {
    WriteSetting(settings::kSerialPort, 0);
    WriteSetting(settings::kBaudRate, 0x01020304);
    WriteSetting(settings::kPhotoPrefix, "img_%4Y");
    WriteSetting(settings::kPhotoPath, "");

    auto port = registry.Get(kHkeyCurrentUser, kKey, "SerialPort");
    ASSERT_TRUE(port);
    EXPECT_EQ(port->type, kRegDword);
    EXPECT_EQ(port->data, (std::vector<uint8_t>{0, 0, 0, 0}));
    auto baud = registry.Get(kHkeyCurrentUser, kKey, "BaudRate");
    ASSERT_TRUE(baud);
    EXPECT_EQ(baud->data, (std::vector<uint8_t>{4, 3, 2, 1})) << "little-endian";
    auto prefix = registry.Get(kHkeyCurrentUser, kKey, "PhotoPrefix");
    ASSERT_TRUE(prefix);
    EXPECT_EQ(prefix->type, kRegSz);
    EXPECT_EQ(prefix->data.size(), 8u) << "length plus the terminator";
    auto path = registry.Get(kHkeyCurrentUser, kKey, "PhotoPath");
    ASSERT_TRUE(path);
    EXPECT_EQ(path->data, std::vector<uint8_t>{0});

    EXPECT_EQ(ReadSetting(settings::kSerialPort), 0u);
    EXPECT_EQ(ReadSetting(settings::kBaudRate), 0x01020304u);
    int used = 0;
    EXPECT_EQ(ReadText("PhotoPrefix", 257, "x", used), "img_%4Y");
    EXPECT_EQ(used, 1);
    EXPECT_EQ(ReadText("PhotoPath", 512, "%2Y-%2M-%2D", used), "") << "an empty text is kept";
    EXPECT_EQ(used, 1);
}

TEST_F(SettingsStoreTest, OperationsUseTheirAccessMasksAndCloseEveryKey) {
    WriteSettingNumber(kHkeyCurrentUser, "", "BaudRate", 2);
    WriteSettingText(kHkeyCurrentUser, "Sub", "PhotoPath", "p");
    ReadSettingNumber(kHkeyCurrentUser, "", "BaudRate", 5);
    char buffer[16];
    ReadSettingText(kHkeyCurrentUser, "", "BaudRate", buffer, "", sizeof buffer);

    const auto& calls = registry.Calls();
    ASSERT_EQ(calls.size(), 12u);
    EXPECT_EQ(calls[0].op, Op::CreateKey);
    EXPECT_EQ(calls[0].key, kHkeyCurrentUser);
    EXPECT_EQ(calls[0].path, kKey);
    EXPECT_EQ(calls[0].access, 0x20006u);
    EXPECT_EQ(calls[1].op, Op::SetValue);
    EXPECT_EQ(calls[1].size, 4u);
    EXPECT_EQ(calls[2].op, Op::CloseKey);
    EXPECT_EQ(calls[3].path, std::string(kKey) + "\\Sub") << "separator only for a sub-key";
    EXPECT_EQ(calls[4].access, kRegSz);
    EXPECT_EQ(calls[4].size, 2u);
    EXPECT_EQ(calls[6].op, Op::OpenKey);
    EXPECT_EQ(calls[6].access, 1u);
    EXPECT_EQ(calls[7].op, Op::QueryValue);
    EXPECT_EQ(calls[7].size, 4u);
    EXPECT_EQ(calls[10].op, Op::QueryValue);
    EXPECT_EQ(calls[10].size, 16u) << "a text is queried with the capacity";
    EXPECT_EQ(calls[11].op, Op::CloseKey);
}

struct TextCase {
    size_t length;
    uint32_t capacity;
    bool stored; // else the default is read
};

void PrintTo(const TextCase& c, std::ostream* out) {
    *out << c.length << " characters, capacity " << c.capacity;
}

class TextLength : public SettingsStoreTest, public ::testing::WithParamInterface<TextCase> {};

TEST_P(TextLength, FitsOnlyWithItsTerminator) {
    const TextCase c = GetParam();
    const std::string text(c.length, 'a');
    WriteSettingText(kHkeyCurrentUser, "", "PhotoPrefix", text.c_str());
    int used = -1;
    const std::string read = ReadText("PhotoPrefix", c.capacity, "dflt", used);
    EXPECT_EQ(read, c.stored ? text : "dflt");
    EXPECT_EQ(used, c.stored ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Capacities, TextLength,
                         ::testing::Values(TextCase{256, 257, true}, TextCase{257, 257, false},
                                           TextCase{257, 512, true}, TextCase{511, 512, true},
                                           TextCase{512, 512, false}, TextCase{0, 1, true}));

TEST_F(SettingsStoreTest, AStoredTextWithoutTerminatorIsNeverHandedOutUnterminated) {
    registry.SetRaw(kHkeyCurrentUser, kKey, "A", kRegSz, {'a', 'b', 'c'});
    registry.SetRaw(kHkeyCurrentUser, kKey, "Full", kRegSz, std::vector<uint8_t>(257, 'x'));
    std::vector<uint8_t> embedded = {'a', 0, 'b', 0};
    registry.SetRaw(kHkeyCurrentUser, kKey, "Embedded", kRegSz, embedded);
    int used = 0;
    EXPECT_EQ(ReadText("A", 257, "d", used), "abc");
    EXPECT_EQ(used, 1);
    EXPECT_EQ(ReadText("A", 3, "d", used), "d") << "three bytes leave no room for the terminator";
    EXPECT_EQ(used, 0);
    EXPECT_EQ(ReadText("Full", 257, "dflt", used), "dflt");
    EXPECT_EQ(ReadText("Embedded", 4, "d", used), "a");
    EXPECT_EQ(ReadText("A", 2, "long default", used), "l") << "a default is cut, not overflowed";
}

struct NumberCase {
    const char* what;
    uint32_t type;
    std::vector<uint8_t> data;
    uint32_t expected;
};

void PrintTo(const NumberCase& c, std::ostream* out) {
    *out << c.what;
}

class NumberValue : public SettingsStoreTest, public ::testing::WithParamInterface<NumberCase> {};

TEST_P(NumberValue, TypeIsNotExaminedOnlyTheSize) {
    const NumberCase& c = GetParam();
    registry.SetRaw(kHkeyCurrentUser, kKey, "BaudRate", c.type, c.data);
    EXPECT_EQ(ReadSettingNumber(kHkeyCurrentUser, "", "BaudRate", 77), c.expected) << c.what;
}

INSTANTIATE_TEST_SUITE_P(Encodings, NumberValue,
                         ::testing::Values(NumberCase{"dword", kRegDword, {0x0a, 0, 0, 0}, 10},
                                           NumberCase{"4-byte binary", 3, {1, 2, 3, 4}, 0x04030201},
                                           NumberCase{"5-byte binary", 3, {1, 2, 3, 4, 5}, 77},
                                           NumberCase{"short text", kRegSz, {'a', 'b', 0}, 0x6261},
                                           NumberCase{
                                               "4-char text", kRegSz, {'a', 'b', 'c', 'd', 0}, 77},
                                           NumberCase{"empty binary", 3, {}, 0}));

TEST_F(SettingsStoreTest, MissingValueOrKeyAndRegistryFailuresGiveTheDefault) {
    EXPECT_EQ(ReadSettingNumber(kHkeyCurrentUser, "", "SerialPort", 1), 1u) << "no key";
    registry.SetNumber(kHkeyCurrentUser, kKey, "BaudRate", 3);
    EXPECT_EQ(ReadSettingNumber(kHkeyCurrentUser, "", "SerialPort", 1), 1u) << "no value";

    registry.FailCall(Op::QueryValue, 1);
    EXPECT_EQ(ReadSettingNumber(kHkeyCurrentUser, "", "BaudRate", 5), 5u);
    EXPECT_EQ(ReadSettingNumber(kHkeyCurrentUser, "", "BaudRate", 5), 3u);

    registry.FailOpen(kHkeyCurrentUser, kKey);
    int used = 1;
    EXPECT_EQ(ReadText("BaudRate", 16, "d", used), "d");
    EXPECT_EQ(ReadSettingNumber(kHkeyCurrentUser, "", "BaudRate", 5), 5u);
}

TEST_F(SettingsStoreTest, AKeyThatCannotBeCreatedSkipsTheWrite) {
    registry.FailCreate(kHkeyCurrentUser, kKey);
    WriteSettingNumber(kHkeyCurrentUser, "", "SerialPort", 4);
    WriteSettingText(kHkeyCurrentUser, "", "PhotoPath", "x");
    EXPECT_EQ(registry.CountCalls(Op::SetValue), 0u);
    EXPECT_EQ(registry.CountCalls(Op::CloseKey), 0u);
    EXPECT_FALSE(registry.Get(kHkeyCurrentUser, kKey, "SerialPort"));
}

TEST_F(SettingsStoreTest, ARootThatDoesNotFitStoresNothingAndReadsDefaults) {
    const std::string fits(72, 'r'); // with "\Pixlor": 79 characters and the terminator
    EXPECT_TRUE(BuildSettingsRoot(fits.c_str()));
    EXPECT_EQ(std::string(SettingsRoot()), fits + "\\Pixlor");

    const std::string tooLong(73, 'r');
    EXPECT_FALSE(BuildSettingsRoot(tooLong.c_str()));
    EXPECT_STREQ(SettingsRoot(), "");
    registry.SetNumber(kHkeyCurrentUser, "", "SerialPort", 6); // would be read with a cut key
    WriteSetting(settings::kSerialPort, 4);
    EXPECT_EQ(ReadSetting(settings::kSerialPort), 1u);
    char buffer[257];
    EXPECT_EQ(ReadSetting(settings::kPhotoPath, buffer, sizeof buffer), 0);
    EXPECT_STREQ(buffer, "%2Y-%2M-%2D");
    EXPECT_TRUE(registry.Calls().empty()) << "no registry call without a root";
}

TEST_F(SettingsStoreTest, AComposedPathBeyond511CharactersIsRefused) {
    const std::string subKey(512 - std::strlen(kKey) - 2, 's'); // exactly 511 with the separator
    const RegistryKey key = CreateSettingsKey(kHkeyCurrentUser, subKey.c_str());
    EXPECT_NE(key, 0u);
    registry.CloseKey(key);
    registry.ClearCalls();
    const std::string longer = subKey + "s";
    EXPECT_EQ(CreateSettingsKey(kHkeyCurrentUser, longer.c_str()), 0u);
    EXPECT_EQ(OpenSettingsKey(kHkeyCurrentUser, longer.c_str()), 0u);
    EXPECT_TRUE(registry.Calls().empty()) << "never a cut key";
}

class ListValues : public SettingsStoreTest {
protected:
    static constexpr const char* kPath = "HARDWARE\\DEVICEMAP\\SERIALCOMM";
    int32_t List(uint32_t maxCount = 16) {
        return ListRegistryValues(kHkeyLocalMachine, kPath, maxCount, 16, names, 16, data);
    }
    std::string Name(int slot) const { return std::string(names + slot * 16); }
    std::string Data(int slot) const { return std::string(data + slot * 16); }

    char names[256] = {};
    char data[256] = {};
};

TEST_F(ListValues, MissingKeyOrNoValuesListsNothing) {
    EXPECT_EQ(List(), 0);
    registry.AddKey(kHkeyLocalMachine, kPath);
    EXPECT_EQ(List(), 0);
    ASSERT_EQ(registry.CountCalls(Op::OpenKey), 2u);
    EXPECT_EQ(registry.Calls()[0].access, 9u);
}

TEST_F(ListValues, StopsAtTheLimitAndCountsEveryIndexVisited) {
    for (int i = 0; i < 20; ++i) {
        registry.SetString(kHkeyLocalMachine, kPath, "Serial" + std::to_string(i),
                           "COM" + std::to_string(i + 1));
    }
    EXPECT_EQ(List(), 16);
    EXPECT_EQ(Name(0), "Serial0");
    EXPECT_EQ(Data(15), "COM16");
    EXPECT_EQ(registry.CountCalls(Op::EnumValue), 16u);
}

TEST_F(ListValues, AValueThatDoesNotFitGivesItsSlotsToTheNext) {
    registry.SetString(kHkeyLocalMachine, kPath, "\\Device\\Serial0", "COM1");
    registry.SetString(kHkeyLocalMachine, kPath, "\\Device\\Serial1", "COM2-with-long-data");
    registry.SetString(kHkeyLocalMachine, kPath, "\\Device\\VeryLongPort", "COM3");
    registry.SetRaw(kHkeyLocalMachine, kPath, "NoTerm", kRegSz,
                    std::vector<uint8_t>(16, 'C')); // fills the slot without a terminator
    registry.SetString(kHkeyLocalMachine, kPath, "\\Device\\Serial4", "COM5");
    EXPECT_EQ(List(), 5);
    EXPECT_EQ(Data(0), "COM1");
    EXPECT_EQ(Name(1), "\\Device\\Serial4");
    EXPECT_EQ(Data(1), "COM5");
    EXPECT_EQ(Data(2), "") << "slots behind the last value stay empty";
}

TEST_F(ListValues, ALastValueThatDoesNotFitLeavesNoPartialData) {
    registry.SetRaw(kHkeyLocalMachine, kPath, "\\Device\\Serial0", kRegSz,
                    std::vector<uint8_t>(16, 'C'));
    EXPECT_EQ(List(), 1);
    EXPECT_EQ(Data(0), "");
    EXPECT_EQ(Name(0), "");
}

TEST_F(ListValues, FollowsTheRegistrysOrder) {
    registry.SetEnumOrder(FakeRegistry::Order::SortedByName);
    registry.SetString(kHkeyLocalMachine, kPath, "b", "COM2");
    registry.SetString(kHkeyLocalMachine, kPath, "A", "COM1");
    EXPECT_EQ(List(), 2);
    EXPECT_EQ(Data(0), "COM1");
    EXPECT_EQ(Data(1), "COM2");
}

} // namespace
} // namespace pixlor
