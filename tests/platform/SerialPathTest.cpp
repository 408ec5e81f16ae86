#include <gtest/gtest.h>

#include "platform/posix/SerialPath.h"

namespace pixlor::system {
namespace {

struct PathCase {
    const char* name;
    const char* devicesDir;
    const char* path;
};

TEST(SerialDevicePath, MapsPortNamesToDevices) {
    const PathCase cases[] = {
        {"COM1", nullptr, "/dev/ttyS0"},
        {"COM8", nullptr, "/dev/ttyS7"},
        {"COM12", nullptr, "/dev/ttyS11"},
        {"COM1", "", "/dev/ttyS0"},
        {"COM2", "/tmp/cams", "/tmp/cams/com2"},
        {"COM8", "/tmp/cams", "/tmp/cams/com8"},
        {"COM0", nullptr, ""},
        {"COM", nullptr, ""},
        {"COMx", "/tmp/cams", ""},
        {"com1", nullptr, ""},
        {"LPT1", nullptr, ""},
        {"COM1 ", nullptr, ""},
    };
    for (const PathCase& c : cases) {
        EXPECT_EQ(SerialDevicePath(c.name, c.devicesDir), c.path)
            << c.name << " in " << (c.devicesDir ? c.devicesDir : "(unset)");
    }
}

TEST(ReadTimeoutMs, FollowsTheTotalTimeoutRule) {
    EXPECT_EQ(ReadTimeoutMs({0, 1, 1000, 0, 0}, 1), 1001u);
    EXPECT_EQ(ReadTimeoutMs({0, 1, 1000, 0, 0}, 32767), 33767u);
    EXPECT_EQ(ReadTimeoutMs({0, 0, 2500, 0, 0}, 100), 2500u);
    EXPECT_EQ(ReadTimeoutMs({0, 2, 0, 0, 0}, 3), 6u);
    EXPECT_EQ(ReadTimeoutMs({0, 0xFFFFFFFFu, 0xFFFFFFFFu, 0, 0}, 0xFFFFFFFFu),
              0xFFFFFFFFull * 0xFFFFFFFFull + 0xFFFFFFFFull)
        << "no overflow";
    EXPECT_EQ(ReadTimeoutMs({0, 0, 0, 0, 0}, 5), std::nullopt) << "all zero waits for the count";
}

} // namespace
} // namespace pixlor::system
