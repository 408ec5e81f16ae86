#include <gtest/gtest.h>

#include "fakes/FakeSerialDevice.h"
#include "platform/SystemError.h"
#include "serial/ComPort.h"
#include "serial/PortFlags.h"

namespace pixlor {
namespace {

using fakes::FakeSerialDevice;
using fakes::FakeSerialFactory;
using fakes::SerialOp;

class ComPortTest : public testing::Test {
protected:
    FakeSerialDevice device;
    FakeSerialFactory factory{device};
    ScopedPlatform scope{Platform{.serial = &factory}};
};

TEST_F(ComPortTest, ConstructionTakesADeviceButDoesNotTouchIt) {
    ComPort port(0);
    EXPECT_EQ(factory.made, 1);
    EXPECT_TRUE(device.calls.empty());
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(port.flags, 0u);
    EXPECT_EQ(port.readTimeoutPerByteUs, 1000u);
    EXPECT_EQ(port.readTimeoutConstantUs, 1000000u);
}

TEST_F(ComPortTest, OpenMakesTheCallsInOrderWithTheirArguments) {
    device.line = {4800, 7, 2, 1, false};
    ComPort port(2);
    ASSERT_TRUE(port.Open(19200, 8, 0, 0));
    ASSERT_EQ(device.calls.size(), 5u);
    EXPECT_EQ(device.calls[0].op, SerialOp::Open);
    EXPECT_EQ(device.calls[0].name, "COM3");
    EXPECT_EQ(device.calls[1].op, SerialOp::Purge);
    EXPECT_EQ(device.calls[1].mask, 0x000Fu);
    EXPECT_EQ(device.calls[2].op, SerialOp::GetLine);
    EXPECT_EQ(device.calls[3].op, SerialOp::SetLine);
    EXPECT_EQ(device.calls[3].line, (LineSetting{19200, 8, 0, 0, true}));
    EXPECT_EQ(device.calls[4].op, SerialOp::SetTimeouts);
    EXPECT_EQ(device.calls[4].timeouts, (CommTimeouts{0, 1, 1000, 0, 0}));
    EXPECT_TRUE(port.IsOpen());
    EXPECT_EQ(port.BaudRate(), 19200u);
    EXPECT_EQ(port.flags, 0u);
}

TEST_F(ComPortTest, PortIndexNamesTheDevice) {
    for (const auto& [index, name] : {std::pair<uint8_t, const char*>{0, "COM1"}, {7, "COM8"}}) {
        device.ClearRecord();
        ComPort port(index);
        ASSERT_TRUE(port.Open(19200, 8, 0, 0));
        EXPECT_EQ(device.calls[0].name, name);
    }
}

struct OpenFault {
    SerialOp op;
    uint32_t flags;
    bool closes; // the opened handle is released
};

class ComPortOpenFault : public ComPortTest, public testing::WithParamInterface<OpenFault> {};

TEST_P(ComPortOpenFault, SetsItsBitsAndLeavesThePortClosed) {
    const OpenFault& c = GetParam();
    device.FailOn(c.op, 1);
    ComPort port(0);
    EXPECT_FALSE(port.Open(19200, 8, 0, 0));
    EXPECT_EQ(port.flags, c.flags);
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(device.CountOf(SerialOp::Close), c.closes ? 1 : 0);
    EXPECT_FALSE(device.open);
}

INSTANTIATE_TEST_SUITE_P(Steps, ComPortOpenFault,
                         testing::Values(OpenFault{SerialOp::Open, 0x0100, false},
                                         OpenFault{SerialOp::Purge, 0x3100, true},
                                         OpenFault{SerialOp::GetLine, 0x0100, true},
                                         OpenFault{SerialOp::SetLine, 0x0100, true},
                                         OpenFault{SerialOp::SetTimeouts, 0x0900, true}));

TEST_F(ComPortTest, SetLineWithTheRecordedSettingMakesNoSystemCall) {
    ComPort port(0);
    ASSERT_TRUE(port.Open(19200, 8, 0, 0));
    device.ClearRecord();
    EXPECT_TRUE(port.SetLine(19200, 8, 0, 0));
    EXPECT_TRUE(device.calls.empty());
}

TEST_F(ComPortTest, SetLineChangesOnlyTheGivenFieldsAndKeepsAbortOnError) {
    ComPort port(0);
    ASSERT_TRUE(port.Open(19200, 8, 0, 0));
    device.line.abortOnError = false; // what the system reports now is kept
    device.ClearRecord();
    ASSERT_TRUE(port.SetLine(115200, 8, 0, 0));
    ASSERT_EQ(device.calls.size(), 2u);
    EXPECT_EQ(device.calls[0].op, SerialOp::GetLine);
    EXPECT_EQ(device.calls[1].line, (LineSetting{115200, 8, 0, 0, false}));
    EXPECT_EQ(port.BaudRate(), 115200u);
}

TEST_F(ComPortTest, SetLineOnAClosedPortOpensIt) {
    ComPort port(0);
    EXPECT_TRUE(port.SetLine(19200, 8, 0, 0));
    EXPECT_TRUE(port.IsOpen());
    EXPECT_EQ(device.CountOf(SerialOp::Open), 1);
}

TEST_F(ComPortTest, SetLineFailures) {
    {
        device.FailOn(SerialOp::Open, 1);
        ComPort port(0);
        EXPECT_FALSE(port.SetLine(19200, 8, 0, 0));
        EXPECT_EQ(port.flags, 0x0100u);
    }
    for (SerialOp op : {SerialOp::GetLine, SerialOp::SetLine}) {
        FakeSerialDevice fresh;
        FakeSerialFactory freshFactory(fresh);
        ScopedPlatform inner(Platform{.serial = &freshFactory});
        fresh.FailOn(op, 2);
        ComPort port(0);
        ASSERT_TRUE(port.Open(19200, 8, 0, 0));
        EXPECT_FALSE(port.SetLine(38400, 8, 0, 0));
        EXPECT_EQ(port.flags, 0x0100u);
        EXPECT_EQ(port.BaudRate(), 19200u) << "a failed change keeps the recorded speed";
        EXPECT_TRUE(port.IsOpen());
    }
}

TEST_F(ComPortTest, TimeoutsReachTheDeviceInWholeMilliseconds) {
    ComPort port(0);
    port.readTimeoutPerByteUs = 999;
    port.readTimeoutConstantUs = 2500999;
    ASSERT_TRUE(port.ApplyTimeouts());
    EXPECT_EQ(device.calls.back().timeouts, (CommTimeouts{0, 0, 2500, 0, 0}));
    device.FailOn(SerialOp::SetTimeouts, 1);
    EXPECT_FALSE(port.ApplyTimeouts());
    EXPECT_EQ(port.flags, 0x0800u);
}

TEST_F(ComPortTest, ReadsDeliverExactCounts) {
    ComPort port(0);
    ASSERT_TRUE(port.Open(19200, 8, 0, 0));
    device.Queue({1, 2, 3, 4});
    uint8_t buffer[4] = {};
    EXPECT_TRUE(port.Read(buffer, 3));
    EXPECT_EQ(buffer[2], 3);
    EXPECT_TRUE(port.ReadByte(buffer));
    EXPECT_EQ(buffer[0], 4);
    EXPECT_EQ(port.flags, 0u);
    EXPECT_EQ(device.CountOf(SerialOp::ClearErrors), 0);
}

TEST_F(ComPortTest, AShortOrFailedReadSetsTheTimeoutBitAndClearsErrors) {
    ComPort port(0);
    ASSERT_TRUE(port.Open(19200, 8, 0, 0));
    device.Queue({1, 2});
    uint8_t buffer[4] = {};
    EXPECT_FALSE(port.Read(buffer, 4));
    EXPECT_EQ(port.flags, 0x0020u);
    EXPECT_EQ(buffer[1], 2) << "bytes that did arrive stay in the buffer";
    EXPECT_EQ(device.CountOf(SerialOp::ClearErrors), 1);

    port.flags = 0;
    device.Queue({9});
    device.FailOn(SerialOp::Read, 1);
    EXPECT_FALSE(port.ReadByte(buffer));
    EXPECT_EQ(port.flags, 0x0020u);
    EXPECT_EQ(device.CountOf(SerialOp::ClearErrors), 2);
}

TEST_F(ComPortTest, ClosedPortReadsAndWritesFailWithoutTouchingTheDevice) {
    ComPort port(0);
    uint8_t byte = 0;
    EXPECT_FALSE(port.ReadByte(&byte));
    EXPECT_EQ(port.flags, 0x0200u);
    EXPECT_FALSE(port.WriteByte(0x06));
    EXPECT_EQ(port.flags, 0x0600u);
    EXPECT_FALSE(port.Purge(kPurgeRxClear));
    EXPECT_TRUE(device.calls.empty());
}

TEST_F(ComPortTest, WritesFailOnErrorsAndShortWrites) {
    ComPort port(0);
    ASSERT_TRUE(port.Open(19200, 8, 0, 0));
    const uint8_t bytes[3] = {0x1B, 0x43, 0x02};
    EXPECT_TRUE(port.Write(bytes, 3));
    EXPECT_EQ(device.Written(), (std::vector<uint8_t>{0x1B, 0x43, 0x02}));
    device.FailOn(SerialOp::Write, 1);
    EXPECT_FALSE(port.WriteByte(0));
    EXPECT_EQ(port.flags, 0x0400u);
}

TEST_F(ComPortTest, DestructionClosesAnOpenPortOnce) {
    {
        ComPort port(0);
        ASSERT_TRUE(port.Open(19200, 8, 0, 0));
        port.Close();
        EXPECT_FALSE(port.IsOpen());
    }
    EXPECT_EQ(device.CountOf(SerialOp::Close), 1);
    {
        ComPort port(0);
        ASSERT_TRUE(port.Open(19200, 8, 0, 0));
    }
    EXPECT_EQ(device.CountOf(SerialOp::Close), 2);
}

} // namespace
} // namespace pixlor

namespace pixlor {
namespace {

// A call that fails with an error of a device that is gone marks the port so;
// a time-out or another error does not, and opening again clears the mark.
struct GoneCase {
    const char* name;
    fakes::SerialOp op;
    uint32_t error;
    bool gone;
};

class DeviceGoneTest : public ComPortTest, public testing::WithParamInterface<GoneCase> {};

TEST_P(DeviceGoneTest, MarksThePortByTheSystemsError) {
    const GoneCase& c = GetParam();
    ComPort port(1);
    ASSERT_TRUE(port.Open(19200, 8, 0, 0));
    uint8_t byte = 0;
    EXPECT_FALSE(port.ReadByte(&byte)); // an empty line: a time-out
    EXPECT_FALSE(port.deviceGone) << "a time-out says nothing of the device";
    device.FailOn(c.op, 1, false, c.error);
    port.ReadByte(&byte);
    port.WriteByte(0x00);
    port.Purge(kPurgeRxClear);
    port.SetLine(115200, 8, 0, 0);
    EXPECT_EQ(port.deviceGone, c.gone);
    ASSERT_TRUE(port.Open(19200, 8, 0, 0));
    EXPECT_FALSE(port.deviceGone);
}

INSTANTIATE_TEST_SUITE_P(
    Errors, DeviceGoneTest,
    testing::Values(
        GoneCase{"ReadNotReady", fakes::SerialOp::Read, syserr::kNotReady, true},
        GoneCase{"WriteBadCommand", fakes::SerialOp::Write, syserr::kBadCommand, true},
        GoneCase{"PurgeRemoved", fakes::SerialOp::Purge, syserr::kDeviceRemoved, true},
        GoneCase{"SetLineNotConnected", fakes::SerialOp::SetLine, syserr::kDeviceNotConnected,
                 true},
        GoneCase{"ReadAccessDenied", fakes::SerialOp::Read, syserr::kAccessDenied, true},
        GoneCase{"ReadGeneralFailure", fakes::SerialOp::Read, syserr::kGenFailure, true},
        GoneCase{"WriteInvalidParameter", fakes::SerialOp::Write, syserr::kInvalidParameter, false},
        GoneCase{"PurgeInvalidFunction", fakes::SerialOp::Purge, syserr::kInvalidFunction, false}),
    [](const auto& param) { return std::string(param.param.name); });

} // namespace
} // namespace pixlor
