#include <gtest/gtest.h>

#include <span>
#include <string>
#include <vector>

#include "host/MessageIds.h"
#include "tests/plugin/PanelFixture.h"

namespace pixlor {
namespace {

using fakes::CameraFault;
using fakes::SerialOp;

// The camera's side of the exchange, one entry per command: "set 4=2",
// "get 10", "data 2F".
std::vector<std::string> Trace(const fakes::FakeCamera& camera) {
    std::vector<std::string> trace;
    for (const fakes::ReceivedCommand& c : camera.commands) {
        const auto& p = c.payload;
        if (p.at(0) == 0x00 && p.size() >= 3) {
            trace.push_back("set " + std::to_string(p[1]) + "=" + std::to_string(p[2]));
        } else if (p.at(0) == 0x01 && p.size() >= 2) {
            trace.push_back("get " + std::to_string(p[1]));
        } else if (p.at(0) == 0x04 && p.size() >= 2) {
            trace.push_back(p[1] == 0x2F ? "data 2F" : "data " + std::to_string(p[1]));
        } else {
            trace.push_back("command " + std::to_string(p.at(0)));
        }
    }
    return trace;
}

class PanelLifecycleTest : public PanelFixture {
protected:
    int ErrorBoxes() const {
        int count = 0;
        for (const MessageCall& m : host.Messages()) {
            count += m.helpTopic == "Errors" ? 1 : 0;
        }
        return count;
    }
};

TEST_F(PanelLifecycleTest, WithoutASerialPortEveryOpenIsRefusedUntouched) {
    portPresent[1] = 0;
    ThreePictures();
    for (int attempt = 0; attempt < 2; ++attempt) {
        EXPECT_EQ(OpenPlugin(), INVALID_HANDLE_VALUE);
    }
    ASSERT_EQ(host.Messages().size(), 2u);
    for (const MessageCall& box : host.Messages()) {
        EXPECT_EQ(box.flags, FMSG_WARNING | FMSG_MB_OK);
        EXPECT_EQ(box.helpTopic, "NoSerialPort");
        EXPECT_EQ(box.lines, host.Texts({MTitle, MNoSerialPort}));
        EXPECT_EQ(box.buttons, 1);
    }
    EXPECT_TRUE(registry.Calls().empty()) << "the settings were read";
    EXPECT_EQ(factory.made, 0) << "a port was made";
    EXPECT_EQ(openPanelCount, 0);
}

TEST_F(PanelLifecycleTest, ASecondPanelIsRefusedUntilTheFirstCloses) {
    ThreePictures();
    ASSERT_TRUE(Open());
    EXPECT_EQ(openPanelCount, 1);
    const int made = factory.made;
    const size_t boxes = host.Messages().size();

    EXPECT_EQ(OpenPlugin(), INVALID_HANDLE_VALUE);
    ASSERT_EQ(host.Messages().size(), boxes + 1);
    EXPECT_EQ(host.LastMessage().helpTopic, "MultiSession");
    EXPECT_EQ(host.LastMessage().flags, FMSG_WARNING | FMSG_MB_OK);
    EXPECT_EQ(host.LastMessage().lines, host.Texts({MTitle, MOnePanelOnly}));
    EXPECT_EQ(factory.made, made) << "the refusal made a camera";
    EXPECT_EQ(openPanelCount, 1);

    panel.reset(); // ClosePlugin
    EXPECT_EQ(openPanelCount, 0);
    EXPECT_FALSE(device.open) << "closing the panel closes the port";
    EXPECT_TRUE(Open());
    EXPECT_EQ(openPanelCount, 1);
}

TEST_F(PanelLifecycleTest, AnEmptyCameraShowsItsBoxAndOpensNoPanel) {
    EXPECT_FALSE(Open());
    ASSERT_EQ(host.Messages().size(), 2u);
    const MessageCall& status = host.Messages()[0];
    EXPECT_EQ(status.flags, 0u);
    EXPECT_FALSE(status.hadHelpTopic);
    EXPECT_EQ(status.buttons, 0);
    EXPECT_EQ(status.lines, host.Texts({MTitle, MReadingCamera}));
    const MessageCall& empty = host.Messages()[1];
    EXPECT_EQ(empty.flags, FMSG_MB_OK);
    EXPECT_FALSE(empty.hadHelpTopic);
    EXPECT_EQ(empty.lines, host.Texts({MTitle, MCameraEmpty}));
    EXPECT_EQ(host.Kit().screensSaved, 1);
    EXPECT_EQ(host.Kit().screensRestored, 1);
    EXPECT_EQ(openPanelCount, 0);
    EXPECT_FALSE(device.open);
}

TEST_F(PanelLifecycleTest, OpeningAsksTheCountThenEachPictureInOrderAndHandsTheCameraBack) {
    ThreePictures();
    ASSERT_TRUE(Open());
    const std::vector<std::string> expected = {
        "set 17=5", "get 1",   "get 10",  "set 17=0",                       // the count
        "set 17=5", "get 1",   "set 4=1", "data 2F",  "set 4=2", "data 2F", // pictures 1, 2
        "set 4=3",  "data 2F", "set 17=0"};                                 // 3, closeAfter
    EXPECT_EQ(Trace(fake), expected);
    EXPECT_EQ(openPanelCount, 1);
    ASSERT_EQ(host.Messages().size(), 1u) << "only the status box";
    EXPECT_EQ(host.Kit().screensRestored, 0) << "the saved screen is not put back";
    EXPECT_EQ(panel->viewKind, PictureKind::Photo);
    EXPECT_EQ(panel->numberingMode, NumberingMode::AfterOtherPanel);
    EXPECT_EQ(panel->listingFlags, 0);
    EXPECT_FALSE(panel->currentFolder);
    ASSERT_EQ(panel->camera->PictureCount(), 3u);
    EXPECT_EQ(panel->camera->RecordAt(2)->photoSize, 7000u);
    EXPECT_EQ(panel->camera->RecordAt(2)->day, 18);
}

struct SecondPictureFault {
    const char* name;
    int refusals; // of the selection of picture 2 and of the hand-backs after it
    int errorBoxes;
};

class PanelSecondPictureFails : public PanelLifecycleTest,
                                public testing::WithParamInterface<SecondPictureFault> {};

TEST_P(PanelSecondPictureFails, ReportsOnceOrTwiceAndNeverAsksTheThird) {
    const SecondPictureFault& c = GetParam();
    ThreePictures();
    // Refuse from the selection of picture 2 on (its payload goes out in a write of its own).
    auto camera = device.onWrite;
    bool armed = true;
    device.onWrite = [&, camera](fakes::FakeSerialDevice& d, std::span<const uint8_t> bytes) {
        const uint8_t select2[] = {0x00, 4, 2, 0, 0, 0};
        if (armed && bytes.size() == 8 && std::equal(select2, select2 + 6, bytes.begin())) {
            armed = false;
            fake.faults.assign(static_cast<size_t>(c.refusals), CameraFault::Refuse);
        }
        camera(d, bytes);
    };
    EXPECT_FALSE(Open());
    const std::vector<std::string> trace = Trace(fake);
    EXPECT_EQ(std::count(trace.begin(), trace.end(), "set 4=3"), 0) << "picture 3 was asked";
    EXPECT_EQ(std::count(trace.begin(), trace.end(), "data 2F"), 1);
    EXPECT_EQ(ErrorBoxes(), c.errorBoxes);
    EXPECT_EQ(host.Kit().screensRestored, 1);
    EXPECT_EQ(host.Kit().badRestores, 0) << "the screen was restored twice";
    EXPECT_EQ(openPanelCount, 0);
    EXPECT_FALSE(device.open) << "the panel was not destroyed";
}

INSTANTIATE_TEST_SUITE_P(Faults, PanelSecondPictureFails,
                         testing::Values(SecondPictureFault{"HandedBack", 1, 1},
                                         SecondPictureFault{"HandBackFailsToo", 10, 2}),
                         [](const auto& param) { return std::string(param.param.name); });

TEST_F(PanelLifecycleTest, AFailedCountShowsTheErrorsBoxWithTheCamerasCodes) {
    fake.awake = false;
    EXPECT_FALSE(Open());
    EXPECT_EQ(ErrorBoxes(), 1);
    EXPECT_EQ(host.LastMessage().lines.at(1), host.Text(MCameraExchangeFailed));
    EXPECT_EQ(openPanelCount, 0);
}

TEST_F(PanelLifecycleTest, ClosingANullPanelOnlyResetsTheCount) {
    openPanelCount = 1;
    ClosePlugin(nullptr);
    EXPECT_EQ(openPanelCount, 0);
}

struct PortCase {
    const char* name;
    int64_t serialPort; // -1: not stored
    int64_t baudRate;
    const char* device;
    uint32_t speedIndex;
};

class PanelPortSettings : public PanelLifecycleTest,
                          public testing::WithParamInterface<PortCase> {};

TEST_P(PanelPortSettings, TheCameraGetsTheStoredPortAndSpeed) {
    const PortCase& c = GetParam();
    if (c.serialPort >= 0) {
        SetNumber("SerialPort", static_cast<uint32_t>(c.serialPort));
    }
    if (c.baudRate >= 0) {
        SetNumber("BaudRate", static_cast<uint32_t>(c.baudRate));
    }
    AddPicture(k17May0905, 10, 10);
    Open();
    const auto opens = device.CallsOf(SerialOp::Open);
    ASSERT_FALSE(opens.empty());
    EXPECT_EQ(opens[0].name, c.device);
    ASSERT_FALSE(fake.speedIndexes.empty());
    EXPECT_EQ(fake.speedIndexes[0], c.speedIndex);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, PanelPortSettings,
    testing::Values(PortCase{"Defaults", -1, -1, "COM2", 5}, PortCase{"Stored", 0, 3, "COM1", 3},
                    PortCase{"SpeedBeyondTheTable", 7, 9, "COM8", 5},
                    PortCase{"PortBeyondAByteStaysNoPort", 256, 1, "COM256", 1}),
    [](const auto& param) { return std::string(param.param.name); });

} // namespace
} // namespace pixlor
