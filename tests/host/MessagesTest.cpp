#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "fakes/FakeConsole.h"
#include "fakes/FakeHost.h"
#include "host/Host.h"
#include "host/MessageIds.h"
#include "host/Messages.h"
#include "platform/Platform.h"

namespace pixlor {
namespace {

class LastErrorFiles : public FileSystem {
public:
    explicit LastErrorFiles(uint32_t error) : error_(error) {}
    std::unique_ptr<WritableFile> CreateNew(const char*) override { return nullptr; }
    bool MakeDirectory(const char*) override { return false; }
    bool RemoveFile(const char*) override { return false; }
    bool RemoveEmptyDirectory(const char*) override { return false; }
    std::unique_ptr<FindHandle> FindFirst(const char*, FindEntry&) override { return nullptr; }
    uint32_t LastError() const override { return error_; }
    void NoteFailure(uint32_t error) override { error_ = error; }

private:
    uint32_t error_;
};

class QueuedConsole : public Console {
public:
    std::deque<ConsoleEvent> events;
    bool failCount = false;
    void TakeInTyped() override {}
    bool PendingEvents(uint32_t& count) override {
        count = static_cast<uint32_t>(events.size());
        return !failCount;
    }
    bool ReadEvent(ConsoleEvent& event, uint32_t& read) override {
        read = 0;
        if (events.empty()) {
            return false;
        }
        event = events.front();
        events.pop_front();
        read = 1;
        return true;
    }
};

ConsoleEvent Key(char c, bool down = true) {
    return ConsoleEvent{true, down, 0, c};
}

class MessagesTest : public ::testing::Test {
protected:
    void SetUp() override { host.Start(); }
    FakeHost host;
};

struct SettingsCase {
    int32_t kind;
    int32_t detail;
    int32_t code;
    int title;
    int second; // -1: the position line
    int third;  // -1: no third line
};

class SettingsReportTest : public MessagesTest,
                           public ::testing::WithParamInterface<SettingsCase> {};

TEST_P(SettingsReportTest, ShowsTheRefusedSettingAndTheReason) {
    const SettingsCase c = GetParam();
    const ErrorRecord record{c.kind, c.detail};
    ShowErrorReport(c.code, 0, 0, 0, &record);

    const MessageCall& box = host.LastMessage();
    EXPECT_EQ(box.flags, FMSG_WARNING | FMSG_MB_OK);
    EXPECT_EQ(box.helpTopic, "Errors");
    EXPECT_EQ(box.buttons, 0);
    std::vector<std::string> expected{host.Text(c.title)};
    if (c.second < 0) {
        char line[100];
        std::snprintf(line, sizeof line, host.Text(MErrorAtPosition).c_str(), c.detail);
        expected.emplace_back(line);
    } else {
        expected.push_back(host.Text(c.second));
    }
    if (c.third >= 0) {
        expected.push_back(host.Text(c.third));
    }
    EXPECT_EQ(box.lines, expected);
}

INSTANTIATE_TEST_SUITE_P(
    AllKinds, SettingsReportTest,
    ::testing::Values(SettingsCase{1, 5, 2, MBadPhotoPrefix, -1, MBadPlaceholder},
                      SettingsCase{2, 2, 4, MBadThumbPrefix, -1, MForbiddenCharacter},
                      SettingsCase{3, 3, 3, MBadPhotoPath, -1, MSecondWidthDigit},
                      SettingsCase{4, 257, 12, MBadThumbPath, -1, MNameTooLong},
                      SettingsCase{1, 1, 1, MBadPhotoPrefix, -1, -1},
                      SettingsCase{5, MNameAndNumberTooLong, 1, MBadPhotoDigits,
                                   MNameAndNumberTooLong, -1},
                      SettingsCase{6, MDigitsAtLeastTwo, 1, MBadThumbDigits, MDigitsAtLeastTwo, -1},
                      SettingsCase{7, 0, 1, MBadPhotoPath, MPathOnlySpaces, -1},
                      SettingsCase{8, 0, 1, MBadThumbPath, MPathOnlySpaces, -1}));

struct CameraCase {
    CameraCodes codes;
    bool system;
};

class CameraReportTest : public MessagesTest, public ::testing::WithParamInterface<CameraCase> {};

TEST_P(CameraReportTest, ShowsTheThreeCodesOrTheSystemError) {
    const CameraCase c = GetParam();
    LastErrorFiles files(80);
    ScopedPlatform scope(Platform{.files = &files});
    ShowErrorReport(0, c.codes.linkStatus, c.codes.packetStatus, c.codes.portFlags, nullptr);

    const MessageCall& box = host.LastMessage();
    EXPECT_EQ(box.flags, FMSG_WARNING | FMSG_MB_OK);
    EXPECT_EQ(box.helpTopic, "Errors");
    char line[100];
    if (c.system) {
        std::snprintf(line, sizeof line, host.Text(MSystemCodes).c_str(), c.codes.linkStatus, 80u);
        EXPECT_EQ(box.lines, (std::vector<std::string>{host.Text(MTitle),
                                                       host.Text(MSystemCallFailed), line}));
    } else {
        std::snprintf(line, sizeof line, host.Text(MCameraCodes).c_str(), c.codes.portFlags,
                      c.codes.packetStatus, c.codes.linkStatus);
        EXPECT_EQ(box.lines, (std::vector<std::string>{host.Text(MTitle),
                                                       host.Text(MCameraExchangeFailed), line}));
    }
}

INSTANTIATE_TEST_SUITE_P(LinkStatuses, CameraReportTest,
                         ::testing::Values(CameraCase{{3, 10, 0x20}, false},
                                           CameraCase{{18, 0, 0}, true},
                                           CameraCase{{9, 0, 0}, true},
                                           CameraCase{{20, 9, 0x800}, true},
                                           CameraCase{{4, 11, 0xFFFFFFFFu}, false},
                                           // Nothing failed: the camera form with the zero codes.
                                           CameraCase{{0, 0, 0}, false}));

TEST_F(MessagesTest, SettingsCodeWithoutRecordFallsBackToTheCameraForm) {
    ShowErrorReport(2, 3, 0, 0, nullptr);
    EXPECT_EQ(host.LastMessage().lines.at(1), host.Text(MCameraExchangeFailed));
}

TEST_F(MessagesTest, CameraErrorRestoresTheSavedScreenOnce) {
    HANDLE screen = host.Kit().SaveScreen();
    ShowCameraError(CameraCodes{3, 4, 0x10}, screen);
    EXPECT_EQ(screen, nullptr);
    ShowCameraError(CameraCodes{3, 4, 0x10}, screen);
    EXPECT_EQ(host.Kit().screensRestored, 1);
    EXPECT_EQ(host.Kit().badRestores, 0);
    EXPECT_EQ(host.Kit().screenRereads, 0);
    EXPECT_EQ(host.Messages().size(), 2u);
}

TEST_F(MessagesTest, RemainingQuestionsGoOnOnlyForOk) {
    host.AnswerMessages({0, 1, -1, 0, 1, -1});
    EXPECT_TRUE(AskDownloadRemaining());
    EXPECT_FALSE(AskDownloadRemaining());
    EXPECT_FALSE(AskDownloadRemaining());
    EXPECT_TRUE(AskDeleteRemaining());
    EXPECT_FALSE(AskDeleteRemaining());
    EXPECT_FALSE(AskDeleteRemaining());

    const MessageCall& download = host.Messages().at(0);
    EXPECT_EQ(download.flags, FMSG_MB_OKCANCEL);
    EXPECT_EQ(download.helpTopic, "DownloadRemaining?");
    EXPECT_EQ(download.lines, host.Texts({MAbortedTitle, MDownloadRemaining}));
    const MessageCall& remove = host.Messages().at(3);
    EXPECT_EQ(remove.flags, FMSG_WARNING | FMSG_MB_OKCANCEL);
    EXPECT_EQ(remove.helpTopic, "DeleteRemaining?");
    EXPECT_EQ(remove.lines, host.Texts({MAbortedTitle, MDeleteRemaining}));
}

TEST_F(MessagesTest, NoticeShowsTitleAndLineWithOk) {
    host.AnswerMessages({0});
    ShowNotice(MTemplatesValid);
    EXPECT_EQ(host.LastMessage().flags, FMSG_MB_OK);
    EXPECT_TRUE(host.LastMessage().hadHelpTopic);
    EXPECT_EQ(host.LastMessage().helpTopic, "");
    EXPECT_EQ(host.LastMessage().lines, host.Texts({MTitle, MTemplatesValid}));
    EXPECT_EQ(host.Kit().wrongModuleNumbers, 0);
}

TEST(FormatLineTest, KeepsDamagedFormatsInsideTheBuffer) {
    FakeHost host;
    host.Start();
    char line[100];
    const int64_t values[3] = {1, 2, 3};
    FormatLine(line, sizeof line, "%d-%u-%d", values, 3);
    EXPECT_STREQ(line, "1-2-3");
    // A text conversion would read a number as an address: shown unformatted.
    FormatLine(line, sizeof line, "%s here", values, 1);
    EXPECT_STREQ(line, "%s here");
    // Too many conversions for the values given.
    FormatLine(line, sizeof line, "%d %d", values, 1);
    EXPECT_STREQ(line, "%d %d");
    // A format that could overflow the 100 bytes is cut, not expanded.
    const std::string longFormat = std::string(95, 'x') + "%d";
    FormatLine(line, sizeof line, longFormat.c_str(), values, 1);
    EXPECT_EQ(std::string(line), longFormat.substr(0, 99));
}

struct EscCase {
    const char* name;
    std::vector<std::vector<ConsoleEvent>> arrivals; // queued before each poll, in order
    std::vector<bool> pressed;                       // what each poll says
    std::size_t left;                                // records still queued at the end
};

class EscPollTest : public ::testing::TestWithParam<EscCase> {};

TEST_P(EscPollTest, CountsEachPressOnce) {
    QueuedConsole console;
    ScopedPlatform scope(Platform{.console = &console});
    EscPoll poll;
    std::vector<bool> pressed;
    for (const std::vector<ConsoleEvent>& arriving : GetParam().arrivals) {
        console.events.insert(console.events.end(), arriving.begin(), arriving.end());
        pressed.push_back(poll.Pressed());
    }
    EXPECT_EQ(pressed, GetParam().pressed);
    EXPECT_EQ(console.events.size(), GetParam().left);
}

const ConsoleEvent kEscDown = Key(27, true);
const ConsoleEvent kEscUp = Key(27, false);

INSTANTIATE_TEST_SUITE_P(
    Queues, EscPollTest,
    ::testing::Values(
        EscCase{"Empty", {{}}, {false}, 0},
        EscCase{"KeysThenEsc", {{Key('a'), Key('b'), kEscDown, Key('c')}}, {true}, 1},
        EscCase{"LoneRelease", {{kEscUp}}, {true}, 0},
        EscCase{"OtherKeysOnly", {{Key('a'), Key('b', false)}}, {false}, 0},
        EscCase{"MouseEventIsNotAKey", {{ConsoleEvent{false, false, 0, 27}, Key('x')}}, {false}, 0},
        EscCase{"PressAndReleaseQueuedTogether", {{kEscDown, kEscUp}, {}}, {true, false}, 0},
        EscCase{"ReleaseArrivingAtTheNextPoll", {{kEscDown}, {kEscUp}}, {true, false}, 0},
        EscCase{"OtherKeysBeforeTheRelease",
                {{kEscDown, Key('a'), Key('a', false), kEscUp}, {}},
                {true, false},
                0},
        EscCase{
            "TwoPresses", {{kEscDown, kEscUp, kEscDown, kEscUp}, {}, {}}, {true, true, false}, 0},
        EscCase{"ALoneReleaseAfterAPressCounts",
                {{kEscDown}, {kEscUp}, {kEscUp}},
                {true, false, true},
                0},
        EscCase{"KeyRepeatCountsEachPress",
                {{kEscDown, kEscDown, kEscUp}, {}, {}},
                {true, true, false},
                0}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

// Keys typed on a console that takes them in only when a program lets it (Wine's
// on a terminal), which gives Esc as virtual key 0x1B with character 0.
struct TypedCase {
    const char* name;
    std::vector<std::vector<ConsoleEvent>> typed; // typed before each poll, in order
    std::vector<bool> pressed;
    std::size_t left;
};

class TypedEscTest : public ::testing::TestWithParam<TypedCase> {};

TEST_P(TypedEscTest, TakesInWhatWasTypedAndKnowsBothEscs) {
    FakeConsole console;
    ScopedPlatform scope(Platform{.console = &console});
    EscPoll poll;
    std::vector<bool> pressed;
    for (const std::vector<ConsoleEvent>& typed : GetParam().typed) {
        for (const ConsoleEvent& event : typed) {
            console.Type(event);
        }
        pressed.push_back(poll.Pressed());
    }
    EXPECT_EQ(pressed, GetParam().pressed);
    EXPECT_EQ(console.Queued(), GetParam().left);
    EXPECT_EQ(console.TakeInCalls(), GetParam().typed.size()) << "once a poll, before counting";
    EXPECT_EQ(console.ReadsWhileEmpty(), 0u);
}

ConsoleEvent WineEsc(bool down) {
    return ConsoleEvent{true, down, FakeConsole::kVkEscape, 0};
}
ConsoleEvent VirtualKey(uint16_t key, char c) {
    return ConsoleEvent{true, true, key, c};
}

INSTANTIATE_TEST_SUITE_P(
    Typed, TypedEscTest,
    ::testing::Values(
        TypedCase{"WindowsEsc", {{kEscDown, kEscUp}, {}}, {true, false}, 0},
        TypedCase{"WineEsc", {{WineEsc(true), WineEsc(false)}, {}}, {true, false}, 0},
        TypedCase{"WineEscBehindOtherKeys", {{Key('a'), WineEsc(true), Key('b')}}, {true}, 1},
        TypedCase{
            "WineReleaseAtTheNextPoll", {{WineEsc(true)}, {WineEsc(false)}}, {true, false}, 0},
        TypedCase{"LoneWineRelease", {{WineEsc(false)}}, {true}, 0},
        TypedCase{"OtherKeysWithoutCharacter",
                  {{VirtualKey(0x70, 0), VirtualKey(0x26, 0), VirtualKey(0, 0)}},
                  {false},
                  0},
        TypedCase{"VirtualKeyEscWithACharacterIsNotEsc", {{VirtualKey(0x1B, 'x')}}, {false}, 0},
        TypedCase{"TwoWinePresses",
                  {{WineEsc(true), WineEsc(false)}, {WineEsc(true), WineEsc(false)}, {}},
                  {true, true, false},
                  0}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST(EscPollFailureTest, StopsWhenTheCountCannotBeRead) {
    QueuedConsole console;
    console.events = {Key(27)};
    console.failCount = true;
    ScopedPlatform scope(Platform{.console = &console});
    EXPECT_FALSE(EscPoll().Pressed());
    EXPECT_EQ(console.events.size(), 1u);
}

class StuckConsole : public Console {
public:
    int reads = 0;
    void TakeInTyped() override {}
    bool PendingEvents(uint32_t& count) override {
        count = 1;
        return true;
    }
    bool ReadEvent(ConsoleEvent&, uint32_t& read) override {
        ++reads;
        read = 0;
        return false;
    }
};

TEST(EscPollFailureTest, DoesNotSpinOnAFailingRead) {
    StuckConsole console;
    ScopedPlatform scope(Platform{.console = &console});
    EXPECT_FALSE(EscPoll().Pressed());
    EXPECT_EQ(console.reads, 1);
}

} // namespace
} // namespace pixlor
