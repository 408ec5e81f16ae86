#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <ostream>
#include <string>
#include <vector>

#include "platform/posix/TerminalInput.h"

namespace pixlor::system {
namespace {

// One character per record; '~' stands for a record of character 0.
std::string Characters(const std::vector<ConsoleEvent>& events) {
    std::string out;
    for (const ConsoleEvent& event : events) {
        EXPECT_TRUE(event.isKey);
        EXPECT_TRUE(event.keyDown);
        out += event.character == 0 ? '~' : event.character == 27 ? 'E' : event.character;
    }
    return out;
}

struct DecodeCase {
    const char* bytes;
    const char* characters;
};

void PrintTo(const DecodeCase& c, std::ostream* out) {
    for (const char* b = c.bytes; *b != '\0'; ++b) {
        *out << (*b == 27 ? std::string("ESC") : std::string(1, *b));
    }
}

class Decode : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(Decode, BytesBecomeKeyRecords) {
    EXPECT_EQ(Characters(DecodeTerminalBytes(GetParam().bytes)), GetParam().characters)
        << "bytes: " << GetParam().bytes;
}

INSTANTIATE_TEST_SUITE_P(Sequences, Decode,
                         ::testing::Values(DecodeCase{"", ""}, DecodeCase{"ab", "ab"},
                                           DecodeCase{"\x1b", "E"}, DecodeCase{"a\x1b", "aE"},
                                           DecodeCase{"\x1b\x1b", "EE"},
                                           DecodeCase{"\x1b[A", "~"},       // cursor up
                                           DecodeCase{"\x1b[15;2~x", "~x"}, // Shift-F5, then x
                                           DecodeCase{"\x1b[1;2", "~"}, // cut short: consumed whole
                                           DecodeCase{"\x1bOP\x1b", "~E"}, // F1, then Esc
                                           DecodeCase{"\x1bx", "x"},       // Alt-x is not Esc
                                           DecodeCase{"\x1b[A\x1b", "~E"}));

TEST(DecodeTerminalBytes, RecordsCarryTheVirtualKeys) {
    const auto events = DecodeTerminalBytes("q\r\x7f\x1b");
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events[0].virtualKey, 'Q');
    EXPECT_EQ(events[1].virtualKey, 0x0D);
    EXPECT_EQ(events[2].virtualKey, 0x08);
    EXPECT_EQ(events[3].virtualKey, 0x1B);
    EXPECT_EQ(events[3].character, 27);
}

TEST(TerminalConsole, AnInputThatIsNotATerminalHasNothingPendingAndIsNotRead) {
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    ASSERT_EQ(write(pipeEnds[1], "\x1b", 1), 1);
    {
        TerminalConsole console(pipeEnds[0]);
        uint32_t count = 99;
        EXPECT_TRUE(console.PendingEvents(count));
        EXPECT_EQ(count, 0u);
    }
    char byte = 0;
    EXPECT_EQ(read(pipeEnds[0], &byte, 1), 1) << "the byte stays for its owner";
    close(pipeEnds[0]);
    close(pipeEnds[1]);
}

TEST(TerminalConsole, ReadsQueuedKeysFromATerminalAndRestoresItsMode) {
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(grantpt(master), 0);
    ASSERT_EQ(unlockpt(master), 0);
    const int terminal = open(ptsname(master), O_RDWR | O_NOCTTY);
    ASSERT_GE(terminal, 0);
    termios before{};
    ASSERT_EQ(tcgetattr(terminal, &before), 0);
    ASSERT_NE(before.c_lflag & ICANON, 0u);
    {
        TerminalConsole console(terminal);
        uint32_t count = 99;
        EXPECT_TRUE(console.PendingEvents(count)) << "first use sets the mode";
        EXPECT_EQ(count, 0u);
        ASSERT_EQ(write(master, "q\x1b", 2), 2);
        // The pty hands the bytes over asynchronously: wait for them, not for a time.
        std::vector<ConsoleEvent> events;
        for (int tries = 0; tries < 50 && events.size() < 2; ++tries) {
            pollfd ready{terminal, POLLIN, 0};
            poll(&ready, 1, 100);
            ASSERT_TRUE(console.PendingEvents(count));
            for (; count > 0; --count) {
                ConsoleEvent event;
                uint32_t read = 0;
                ASSERT_TRUE(console.ReadEvent(event, read));
                ASSERT_EQ(read, 1u);
                events.push_back(event);
            }
        }
        EXPECT_EQ(Characters(events), "qE");
        ConsoleEvent event;
        uint32_t read = 7;
        EXPECT_TRUE(console.ReadEvent(event, read));
        EXPECT_EQ(read, 0u) << "an empty queue delivers nothing and does not wait";
    }
    termios after{};
    ASSERT_EQ(tcgetattr(terminal, &after), 0);
    EXPECT_EQ(after.c_lflag, before.c_lflag);
    close(terminal);
    close(master);
}

} // namespace
} // namespace pixlor::system
