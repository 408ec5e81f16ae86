#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "fakes/FakeHost.h"
#include "fakes/FakeRegistry.h"
#include "platform/Platform.h"
#include "plugin/Startup.h"
#include "settings/SettingsStore.h"

namespace pixlor {
namespace {

constexpr const char* kSerialComm = "HARDWARE\\DEVICEMAP\\SERIALCOMM";

struct PortScanCase {
    const char* name;
    std::vector<std::pair<std::string, std::string>> values; // value name, data
    std::vector<int> marked;                                 // COM numbers
};

std::vector<std::pair<std::string, std::string>> Filler(int count, const std::string& data) {
    std::vector<std::pair<std::string, std::string>> values;
    for (int i = 0; i < count; ++i) {
        values.emplace_back("\\Device\\Serial" + std::to_string(i), data);
    }
    return values;
}

std::vector<std::pair<std::string, std::string>>
Then(std::vector<std::pair<std::string, std::string>> values, std::string name, std::string data) {
    values.emplace_back(std::move(name), std::move(data));
    return values;
}

class PortScanTest : public ::testing::TestWithParam<PortScanCase> {
protected:
    std::vector<int> Marked() const {
        std::vector<int> marked;
        for (int i = 0; i < kPortCount; ++i) {
            if (portPresent[i] != 0) {
                marked.push_back(i + 1);
            }
        }
        return marked;
    }

    FakeRegistry registry;
    ScopedPlatform scope{Platform{.registry = &registry}};
    FakeHost host;
};

TEST_P(PortScanTest, MarksOnlyTheComPortsOneToEightThatFitTheirSlots) {
    const PortScanCase& c = GetParam();
    std::fill(std::begin(portPresent), std::end(portPresent), uint8_t{1}); // from an earlier start
    registry.AddKey(kHkeyLocalMachine, kSerialComm);
    for (const auto& [name, data] : c.values) {
        registry.SetString(kHkeyLocalMachine, kSerialComm, name, data);
    }
    host.Start(StartPlugin);
    EXPECT_EQ(Marked(), c.marked);
    EXPECT_EQ(registry.OpenHandles(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    SerialComm, PortScanTest,
    ::testing::Values(
        PortScanCase{"NoValues", {}, {}},
        PortScanCase{"EitherCase", {{"a", "COM3"}, {"b", "com5"}}, {3, 5}},
        PortScanCase{"AllEight",
                     {{"1", "COM1"},
                      {"2", "COM2"},
                      {"3", "COM3"},
                      {"4", "COM4"},
                      {"5", "COM5"},
                      {"6", "COM6"},
                      {"7", "COM7"},
                      {"8", "COM8"}},
                     {1, 2, 3, 4, 5, 6, 7, 8}},
        PortScanCase{
            "BeyondTheRange", {{"a", "COM9"}, {"b", "COM10"}, {"c", "COM0"}, {"d", "LPT1"}}, {}},
        PortScanCase{"ComAlone", {{"a", "COM"}}, {}}, PortScanCase{"EmptyData", {{"a", ""}}, {}},
        // The number is read as the host's sscanf reads "%d".
        PortScanCase{"BlankBeforeTheNumber", {{"a", "COM 3"}}, {3}},
        PortScanCase{"LettersAfterTheNumber", {{"a", "COM3x"}}, {3}},
        PortScanCase{"Negative", {{"a", "com-1"}}, {}},
        PortScanCase{"Overflowing", {{"a", "COM99999999999"}}, {}},
        PortScanCase{"DeviceNameNotCom", {{"a", "XCOM2"}}, {}},
        // A slot holds 15 characters and the terminator.
        PortScanCase{"Name15Fits", {{std::string(15, 'n'), "COM2"}}, {2}},
        PortScanCase{"Name16Skipped", {{std::string(16, 'n'), "COM2"}}, {}},
        PortScanCase{"Name17Skipped", {{std::string(17, 'n'), "COM2"}}, {}},
        PortScanCase{"Data15Fits", {{"a", "COM2" + std::string(11, ' ')}}, {2}},
        PortScanCase{"Data16Skipped", {{"a", "COM2" + std::string(12, ' ')}}, {}},
        PortScanCase{"Data17Skipped", {{"a", "COM2" + std::string(13, ' ')}}, {}},
        PortScanCase{"SkippedValueLeavesItsSlotToTheNext",
                     {{std::string(16, 'n'), "COM2"}, {"b", "COM4"}},
                     {4}},
        // Only the first sixteen values are looked at.
        PortScanCase{"SixteenthValueCounts", Then(Filler(15, "LPT1"), "last", "COM6"), {6}},
        PortScanCase{"SeventeenthValueDoesNot", Then(Filler(16, "LPT1"), "last", "COM6"), {}},
        PortScanCase{"SkippedValuesStillCountTowardsSixteen",
                     Then(Filler(16, "COM2-with-long-data"), "last", "COM6"),
                     {}}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(PortScanMissingKeyTest, LeavesEveryPortAbsent) {
    FakeRegistry registry;
    ScopedPlatform scope{Platform{.registry = &registry}};
    FakeHost host;
    std::fill(std::begin(portPresent), std::end(portPresent), uint8_t{1});
    host.Start(StartPlugin);
    for (uint8_t present : portPresent) {
        EXPECT_EQ(present, 0);
    }
}

// The settings live below the branch the host names: FAR 1.70's, FAR 3's (in
// both widths) or a user's own.
TEST(SettingsBranchTest, IsTheOneTheHostNames) {
    for (const char* root : {"Software\\Far\\Plugins", "Software\\Far Manager\\Plugins",
                             "Software\\Far\\Users\\ann\\Plugins"}) {
        FakeRegistry registry;
        ScopedPlatform scope{Platform{.registry = &registry}};
        FakeHost host;
        host.Kit().rootKey = root;
        host.Start(StartPlugin);
        EXPECT_EQ(std::string(SettingsRoot()), std::string(root) + "\\Pixlor");
    }
}

} // namespace
} // namespace pixlor
