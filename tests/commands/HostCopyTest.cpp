
#include <map>
#include <vector>

#include "commands/HostCopy.h"
#include "transfer/TransferFixture.h"

namespace pixlor::transfertest {
namespace {

const std::string kTemp = "C:\\Temp\\";

class HostCopyTest : public TransferFixture {
protected:
    void SetUp() override {
        files.AddFolder("C:\\Temp");
        Open({Picture(k17May2002, 1), Picture(k17May2002 + 60, 2), Picture(k17May2002 + 120, 3)});
        ListPictures();
        items = host.ActivePanel().items;
        for (PluginPanelItem& item : items) {
            item.Flags |= PPIF_SELECTED;
        }
    }
    int GetFiles() {
        char destination[NM] = "C:\\Temp";
        return CopyRequestedFiles(*panel, items.data(), static_cast<int>(items.size()),
                                  destination);
    }
    std::string Target(int n) const {
        return kTemp + "pic17.05.2002_00" + std::to_string(n) + ".jpg";
    }
    std::vector<bool> StillSelected() const {
        std::vector<bool> selected;
        for (const PluginPanelItem& item : items) {
            selected.push_back((item.Flags & PPIF_SELECTED) != 0);
        }
        return selected;
    }
    std::vector<PluginPanelItem> items;
};

TEST_F(HostCopyTest, CopiesEachItemUnderItsNameWithAFourLineBox) {
    EXPECT_EQ(GetFiles(), 1);

    for (int n = 1; n <= 3; ++n) {
        EXPECT_EQ(FileBytes(Target(n)), originals[static_cast<size_t>(n - 1)].photo) << n;
    }
    EXPECT_EQ(files.File(Target(3))->lastWrite, PictureFileTime(RecordOf(2)));
    EXPECT_TRUE(fake.deleted.empty()) << "the host's move flag is not used";
    std::vector<std::string> percents;
    for (const MessageCall& m : host.Messages()) {
        ASSERT_EQ(m.lines.size(), 4u);
        EXPECT_EQ(m.flags, 0u);
        EXPECT_FALSE(m.hadHelpTopic);
        if (m.lines[1] == Target(1)) {
            percents.push_back(m.lines[2]);
        }
    }
    EXPECT_EQ(percents, (std::vector<std::string>{"00%", "40%", "80%", "100%"}));
    EXPECT_EQ(host.Messages().front().lines[0], host.Text(MHostCopyTitle));
    EXPECT_EQ(host.Messages().front().lines[3], host.Text(MPressEscToAbort));
    EXPECT_EQ(fake.speedIndexes, (std::vector<uint32_t>{5, 0}));
    EXPECT_TRUE(HandedBack());
}

TEST_F(HostCopyTest, ShiftCopiesTheOtherKindUnderTheSameNames) {
    keyboard.shift = true;
    EXPECT_EQ(GetFiles(), 1);
    EXPECT_EQ(FileBytes(Target(2)), originals[1].thumbnail);
    EXPECT_EQ(keyboard.reads, 1u);
}

struct EscCase {
    int poll;
    bool secondCreated; // before the Esc: the abandoned file is removed
};

class HostCopyEscTest : public HostCopyTest, public testing::WithParamInterface<EscCase> {};

TEST_P(HostCopyEscTest, EscAbandonsOnlyTheCurrentFile) {
    console.EscAt({GetParam().poll});

    EXPECT_EQ(GetFiles(), 0) << "a 1 would make the host clear every selection";

    EXPECT_EQ(FileBytes(Target(1)), originals[0].photo);
    EXPECT_FALSE(files.HasFile(Target(2))) << "no incomplete file under the picture's name";
    EXPECT_EQ(files.RemovedPaths(), GetParam().secondCreated ? std::vector<std::string>{Target(2)}
                                                             : std::vector<std::string>{});
    EXPECT_EQ(FileBytes(Target(3)), originals[2].photo);
    EXPECT_TRUE(Questions().empty());
    EXPECT_EQ(StillSelected(), (std::vector<bool>{false, true, false}));
    EXPECT_TRUE(HandedBack());
}

INSTANTIATE_TEST_SUITE_P(Copy, HostCopyEscTest,
                         testing::Values(EscCase{5, false}, EscCase{6, true}));

// One press of Esc is two records, the press and the release; the host's copy
// polls with one EscPoll for all its files, so the release that follows a
// counted press skips no other file. Poll numbers: four a file (before its
// first packet and after each of three), one more where a release is consumed.
struct PressCase {
    const char* name;
    std::map<int, std::vector<ConsoleEvent>> arrivals;
    std::vector<size_t> sizes; // bytes of the three files (0: none, the skipped ones removed)
};

class HostCopyPressTest : public HostCopyTest, public testing::WithParamInterface<PressCase> {};

TEST_P(HostCopyPressTest, EachPressSkipsOneFile) {
    console.arrivals = GetParam().arrivals;

    EXPECT_EQ(GetFiles(), 0) << "a file skipped with Esc stays marked";

    std::vector<size_t> sizes;
    for (int n = 1; n <= 3; ++n) {
        sizes.push_back(files.HasFile(Target(n)) ? FileBytes(Target(n)).size() : 0);
    }
    EXPECT_EQ(sizes, GetParam().sizes);
    EXPECT_TRUE(HandedBack());
}

const ConsoleEvent kEscDown{true, true, 0x1B, 27};
const ConsoleEvent kEscUp{true, false, 0x1B, 27};

INSTANTIATE_TEST_SUITE_P(
    Copy, HostCopyPressTest,
    testing::Values(
        PressCase{"PressAndReleaseTogether", {{6, {kEscDown, kEscUp}}}, {2500, 0, 2500}},
        PressCase{"ReleaseDuringTheNextFile", {{6, {kEscDown}}, {10, {kEscUp}}}, {2500, 0, 2500}},
        PressCase{"ALoneReleaseStillCounts", {{6, {kEscUp}}}, {2500, 0, 2500}},
        PressCase{"TwoPressesSkipTwoFiles",
                  {{2, {kEscDown, kEscUp}}, {9, {kEscDown, kEscUp}}},
                  {0, 2500, 0}}),
    [](const auto& param) { return std::string(param.param.name); });

TEST_F(HostCopyTest, AnExistingTargetEndsTheCopyWithTheReport) {
    files.AddFile(Target(2), "mine");

    EXPECT_EQ(GetFiles(), 0);

    EXPECT_EQ(files.Text(Target(2)), "mine");
    EXPECT_FALSE(files.HasFile(Target(3)));
    const MessageCall& report = host.LastMessage();
    EXPECT_EQ(report.helpTopic, "Errors");
    EXPECT_EQ(report.flags, FMSG_WARNING | FMSG_MB_OK);
    EXPECT_EQ(report.lines[2], "Link status 9, system error 80");
    EXPECT_TRUE(HandedBack());
    EXPECT_EQ(host.Kit().OpenScreens(), 0);
}

TEST_F(HostCopyTest, AFailurePassedOverIsNotReportedAsSuccess) {
    console.script = [this](int poll) {
        if (poll == 4) {
            fake.faults.push_back(CameraFault::Refuse); // the second picture's selection
        }
        return false;
    };

    EXPECT_EQ(GetFiles(), 0);

    EXPECT_FALSE(files.HasFile(Target(2)));
    EXPECT_EQ(FileBytes(Target(3)), originals[2].photo);
    EXPECT_EQ(StillSelected(), (std::vector<bool>{false, true, false}))
        << "the host deselects only what was copied";
    EXPECT_TRUE(HandedBack());
}

TEST_F(HostCopyTest, ACameraThatStopsAnsweringEndsTheCopy) {
    console.script = [this](int poll) {
        if (poll == 4) { // the first file's last packet is in
            device.onWrite = [](fakes::FakeSerialDevice&, std::span<const uint8_t>) {};
        }
        return false;
    };

    EXPECT_EQ(GetFiles(), 0);

    EXPECT_EQ(FileBytes(Target(1)), originals[0].photo);
    EXPECT_FALSE(files.HasFile(Target(2)));
    EXPECT_FALSE(files.HasFile(Target(3))) << "not tried after the second picture's silence";
    EXPECT_EQ(host.LastMessage().helpTopic, "Errors");
    EXPECT_EQ(host.LastMessage().lines[2], "Port flags 32, packet status 8, link status 2");
    EXPECT_EQ(StillSelected(), (std::vector<bool>{false, true, true}));
}

// The disk fills in the second file and its removal is refused: the report
// of the cause keeps the disk's error, and a second report names the file.
TEST_F(HostCopyTest, AnIncompleteFileThatStaysIsNamed) {
    files.FailWrite(5);
    files.FailCall(FileOp::RemoveFile, 1, 5);

    EXPECT_EQ(GetFiles(), 0);

    EXPECT_EQ(FileBytes(Target(2)).size(), 1000u);
    ASSERT_GE(host.Messages().size(), 2u);
    const MessageCall& cause = host.Messages()[host.Messages().size() - 2];
    EXPECT_EQ(cause.helpTopic, "Errors");
    EXPECT_EQ(cause.lines[2], "Link status 9, system error 112");
    const MessageCall& named = host.LastMessage();
    EXPECT_EQ(named.helpTopic, "Errors");
    EXPECT_EQ(named.flags, FMSG_WARNING | FMSG_MB_OK);
    EXPECT_EQ(named.lines, (std::vector<std::string>{host.Text(MTitle),
                                                     host.Text(MIncompleteFileKept), Target(2)}));
    EXPECT_TRUE(HandedBack());
    EXPECT_EQ(host.Kit().OpenScreens(), 0);
}

TEST_F(HostCopyTest, AnUnknownPictureStopsAtOnceAndAFolderIsNotAPicture) {
    items[0].FindData.dwFileAttributes = FILE_ATTRIBUTE_DIRECTORY;
    items[2].UserData = 9;

    EXPECT_EQ(GetFiles(), 0);

    EXPECT_EQ(files.FilePaths(), (std::vector<std::string>{Target(2)}));
    EXPECT_TRUE(HandedBack());
    EXPECT_EQ(host.Kit().OpenScreens(), 0);
    // The failed details read is reported like every other failure.
    EXPECT_EQ(host.LastMessage().helpTopic, "Errors");
    EXPECT_TRUE(host.LastMessage().lines[2].ends_with("link status 15"))
        << host.LastMessage().lines[2];
}

} // namespace
} // namespace pixlor::transfertest
