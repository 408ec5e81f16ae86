// Settings as another program may have left them in the registry, and writes
// that the registry refuses.
#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "fakes/FakeRegistry.h"
#include "platform/Platform.h"
#include "settings/Settings.h"
#include "settings/SettingsStore.h"

namespace pixlor {
namespace {

using Op = FakeRegistry::Op;

constexpr const char* kKey = "Software\\Far\\Plugins\\Pixlor";

class BadValuesTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(BuildSettingsRoot("Software\\Far\\Plugins")); }
    void TearDown() override { EXPECT_EQ(registry.OpenHandles(), 0u) << "a key was left open"; }

    FakeRegistry registry;
    ScopedPlatform scope{Platform{.registry = &registry}};
};

struct TextTypeCase {
    const char* what;
    uint32_t type;
    std::vector<uint8_t> data;
    std::string read; // what a 257-byte reader gets
};

class TextOfAnotherType : public BadValuesTest,
                          public ::testing::WithParamInterface<TextTypeCase> {};

// The type is not examined: the bytes are the text up to the first NUL.
TEST_P(TextOfAnotherType, ReadsAsItsBytesOrTheDefault) {
    const TextTypeCase& c = GetParam();
    registry.SetRaw(kHkeyCurrentUser, kKey, "PhotoPrefix", c.type, c.data);
    char buffer[257];
    ReadSetting(settings::kPhotoPrefix, buffer, sizeof buffer);
    EXPECT_EQ(std::string(buffer), c.read) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Types, TextOfAnotherType,
    ::testing::Values(TextTypeCase{"dword", kRegDword, {'A', 'B', 'C', 0}, "ABC"},
                      TextTypeCase{
                          "dword without zero byte", kRegDword, {'A', 'B', 'C', 'D'}, "ABCD"},
                      TextTypeCase{"empty binary", 3, {}, ""},
                      TextTypeCase{"multi-string", 7, {'a', 0, 'b', 0, 0}, "a"},
                      TextTypeCase{"257 bytes without terminator", 3,
                                   std::vector<uint8_t>(257, 'x'), "pic%2D.%2M.%4Y_"},
                      TextTypeCase{"256 bytes without terminator", 3,
                                   std::vector<uint8_t>(256, 'x'), std::string(256, 'x')}),
    [](const auto& param) {
        std::string name;
        for (const char ch : std::string(param.param.what)) {
            name += std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
        }
        return name;
    });

TEST_F(BadValuesTest, ARefusedWriteStoresNothingAndClosesTheKey) {
    registry.FailCall(Op::SetValue, 1, 5, true);
    WriteSetting(settings::kSerialPort, 4);
    WriteSetting(settings::kPhotoPath, "x");
    EXPECT_EQ(registry.CountCalls(Op::CloseKey), 2u);
    EXPECT_FALSE(registry.Get(kHkeyCurrentUser, kKey, "SerialPort"));
    EXPECT_EQ(ReadSetting(settings::kSerialPort), 1u) << "the default";
}

} // namespace
} // namespace pixlor
