
#include "camera/LinkStatus.h"
#include "commands/KeyCommands.h"
#include "host/PanelCalls.h"
#include "transfer/DownloadPictures.h"
#include "transfer/TransferFixture.h"

namespace pixlor::transfertest {
namespace {

constexpr int kOkButton = 7;
constexpr int kCancelButton = 8;
const char* const kFolder17 = "D:\\Photos\\02-05-17\\";

class CopyKeysTest : public TransferFixture {
protected:
    void SetUp() override {
        files.AddFolder("D:\\Photos");
        host.PassivePanel().curDir = "D:\\Photos";
    }
    // Two pictures of 17 May and one of 18 May, listed as files.
    void OpenThree() {
        Open({Picture(k17May2002, 1), Picture(k17May2002 + 60, 2), Picture(k17May2002 + kDay, 3)});
        ListPictures();
    }
    int Press(int key, unsigned modifiers = 0) { return ProcessPanelKey(*panel, key, modifiers); }
    std::vector<int> ControlCommands() const {
        std::vector<int> commands;
        for (const ControlCall& c : host.Controls()) {
            commands.push_back(c.command);
        }
        return commands;
    }
};

TEST_F(CopyKeysTest, F5CopiesTheSelectedPhotosIntoANewDatedFolder) {
    OpenThree();
    Select({0, 1});
    host.AnswerDialogs({kOkButton});

    EXPECT_EQ(Press(VK_F5), 1);

    ASSERT_EQ(host.Dialogs().size(), 1u);
    const DialogCall& dialog = host.Dialogs()[0];
    EXPECT_EQ((std::vector<int>{dialog.x1, dialog.y1, dialog.x2, dialog.y2}),
              (std::vector<int>{-1, -1, 76, 11}));
    EXPECT_EQ(dialog.helpTopic, "WhereToCopy");
    ASSERT_EQ(dialog.items.size(), 9u);
    EXPECT_STREQ(dialog.items[0].Data, host.Text(MCopyTitle).c_str());
    EXPECT_STREQ(dialog.items[1].Data, "Copy photos in photo folders to:");
    EXPECT_EQ(dialog.items[2].Type, DI_EDIT);
    EXPECT_STREQ(dialog.items[2].Data, "D:\\Photos") << "the other panel's folder";
    EXPECT_STREQ(dialog.items[2].History, "PXCopyDir");
    EXPECT_EQ(dialog.items[2].Flags, DIF_HISTORY);
    EXPECT_EQ(dialog.items[2].Focus, 1);
    EXPECT_EQ(dialog.items[3].Selected, 1);
    EXPECT_EQ(dialog.items[3].Flags, DIF_GROUP);
    EXPECT_EQ(dialog.items[6].X1, 255);
    EXPECT_EQ(dialog.items[6].Flags, DIF_SEPARATOR);
    EXPECT_EQ(dialog.items[7].DefaultButton, 1);
    EXPECT_STREQ(dialog.items[8].Data, host.Text(MCancel).c_str());

    EXPECT_TRUE(files.HasFolder(kFolder17));
    const std::string first = std::string(kFolder17) + "pic17.05.2002_001.jpg";
    const std::string second = std::string(kFolder17) + "pic17.05.2002_002.jpg";
    EXPECT_EQ(files.FilePaths(), (std::vector<std::string>{first, second}));
    EXPECT_EQ(FileBytes(first), originals[0].photo);
    EXPECT_EQ(FileBytes(second), originals[1].photo);
    const FakeFile* file = files.File(second);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->lastWrite, PictureFileTime(RecordOf(1)));
    EXPECT_EQ(file->creation, PictureFileTime(RecordOf(1)));

    EXPECT_TRUE(SelectedPositions().empty());
    EXPECT_EQ(fake.speedIndexes, (std::vector<uint32_t>{5, 0})) << "one connection, handed back";
    EXPECT_TRUE(HandedBack());
    EXPECT_EQ(host.Kit().OpenScreens(), 0);
    const std::vector<int> commands = ControlCommands();
    ASSERT_GE(commands.size(), 2u);
    EXPECT_EQ(std::vector<int>(commands.end() - 2, commands.end()),
              (std::vector<int>{FCTL_UPDATEPANEL, FCTL_REDRAWPANEL}));
    EXPECT_EQ(host.Kit().CountControls(FCTL_SETSELECTION), 2);
    EXPECT_TRUE(Questions().empty());
    // The last progress box shows the whole batch done.
    const MessageCall& last = host.LastMessage();
    ASSERT_EQ(last.lines.size(), 7u);
    EXPECT_EQ(last.lines[2], "File 2: 2500 of 2500 bytes (100%)");
    EXPECT_EQ(last.lines[4], "2 files: 5000 of 5000 bytes (100%)");
}

TEST_F(CopyKeysTest, ASecondCopyContinuesTheNumberingAndOverwritesNothing) {
    OpenThree();
    files.AddFile(std::string(kFolder17) + "pic17.05.2002_001.jpg", "keep me");
    files.AddFile(std::string(kFolder17) + "PIC17.05.2002_004.JPG", "and me");
    Select({0, 1});
    host.AnswerDialogs({kOkButton});

    Press(VK_F5);

    EXPECT_EQ(files.Text(std::string(kFolder17) + "pic17.05.2002_001.jpg"), "keep me");
    EXPECT_EQ(files.Text(std::string(kFolder17) + "PIC17.05.2002_004.JPG"), "and me");
    EXPECT_EQ(FileBytes(std::string(kFolder17) + "pic17.05.2002_005.jpg"), originals[0].photo);
    EXPECT_EQ(FileBytes(std::string(kFolder17) + "pic17.05.2002_006.jpg"), originals[1].photo);
}

TEST_F(CopyKeysTest, AltF5WritesEachThumbnailThenItsPhotoIntoTheirOwnFolders) {
    OpenThree();
    Select({0, 1, 2});
    host.AnswerDialogs({kOkButton});

    Press(VK_F5, PKF_ALT);

    EXPECT_STREQ(host.Dialogs()[0].items[1].Data, "Copy photos and thumbnails to:");
    EXPECT_EQ(files.FilePaths(), (std::vector<std::string>{
                                     "D:\\Photos\\thumb17.05.2002_001.jpg",
                                     "D:\\Photos\\02-05-17\\pic17.05.2002_001.jpg",
                                     "D:\\Photos\\thumb17.05.2002_002.jpg",
                                     "D:\\Photos\\02-05-17\\pic17.05.2002_002.jpg",
                                     "D:\\Photos\\thumb18.05.2002_001.jpg",
                                     "D:\\Photos\\02-05-18\\pic18.05.2002_001.jpg",
                                 }));
    EXPECT_EQ(FileBytes("D:\\Photos\\thumb17.05.2002_002.jpg"), originals[1].thumbnail);
    EXPECT_EQ(host.LastMessage().lines[4], "6 files: 8400 of 8400 bytes (100%)");
    EXPECT_TRUE(SelectedPositions().empty());
    EXPECT_TRUE(HandedBack());
}

TEST_F(CopyKeysTest, ShiftF5InThePhotoViewCopiesThumbnailsStraightIntoTheDestination) {
    OpenThree();
    Select({2});
    host.AnswerDialogs({kOkButton});

    Press(VK_F5, PKF_SHIFT);

    EXPECT_EQ(files.FilePaths(), (std::vector<std::string>{"D:\\Photos\\thumb18.05.2002_001.jpg"}));
    EXPECT_EQ(FileBytes("D:\\Photos\\thumb18.05.2002_001.jpg"), originals[2].thumbnail);
}

struct DestinationCase {
    const char* typed;
    int radio; // the subfolder choice
    const char* expectedFile;
};

class DestinationTest : public CopyKeysTest, public testing::WithParamInterface<DestinationCase> {};

TEST_P(DestinationTest, TypedFolderAndSubfolderChoice) {
    const DestinationCase c = GetParam();
    files.AddFolder("E:\\Pictures");
    OpenThree();
    Select({0});
    host.OnDialog([&c](DialogCall&, FarDialogItem* items, int) {
        std::snprintf(items[2].Data, sizeof items[2].Data, "%s", c.typed);
        for (int i = 3; i <= 5; ++i) {
            items[i].Selected = i - 3 == c.radio ? 1 : 0;
        }
        return kOkButton;
    });

    Press(VK_F5);

    EXPECT_EQ(files.FilePaths(), (std::vector<std::string>{c.expectedFile}));
}

INSTANTIATE_TEST_SUITE_P(
    Keys, DestinationTest,
    testing::Values(
        DestinationCase{"E:/Pictures", 0, "E:\\Pictures\\02-05-17\\pic17.05.2002_001.jpg"},
        DestinationCase{"E:\\Pictures\\", 1, "E:\\Pictures\\02-05-17\\pic17.05.2002_001.jpg"},
        DestinationCase{"E:/Pictures/", 2, "E:\\Pictures\\pic17.05.2002_001.jpg"},
        DestinationCase{"", 0, "D:\\Photos\\02-05-17\\pic17.05.2002_001.jpg"},
        DestinationCase{"", 2, "D:\\Photos\\pic17.05.2002_001.jpg"}));

TEST_F(CopyKeysTest, InsideAFolderTheFirstChoiceUsesNoSubfolder) {
    OpenThree();
    panel->listingFlags = kListingInsideFolder;
    Select({1});
    host.AnswerDialogs({kOkButton});

    Press(VK_F5);

    EXPECT_EQ(files.FilePaths(), (std::vector<std::string>{"D:\\Photos\\pic17.05.2002_001.jpg"}));
    EXPECT_TRUE(SelectedPositions().empty());
}

TEST_F(CopyKeysTest, ASelectedFolderCopiesEveryPictureOfIt) {
    OpenThree();
    panel->listingFlags = kListingFolders;
    host.ActivePanel().items = {hostkit::MakePanelItem("02-05-17", 5000, 0, PPIF_SELECTED),
                                hostkit::MakePanelItem("02-05-18", 2500, 0)};
    host.AnswerDialogs({kOkButton});

    Press(VK_F5);

    EXPECT_EQ(files.FilePaths(),
              (std::vector<std::string>{std::string(kFolder17) + "pic17.05.2002_001.jpg",
                                        std::string(kFolder17) + "pic17.05.2002_002.jpg"}));
    EXPECT_EQ(host.Kit().CountControls(FCTL_SETSELECTION), 0) << "folders are not deselected here";
}

TEST_F(CopyKeysTest, CancelAndEscCopyNothing) {
    OpenThree();
    Select({0});
    host.AnswerDialogs({kCancelButton, -1});
    EXPECT_EQ(Press(VK_F5), 1);
    EXPECT_EQ(Press(VK_F6), 1);
    EXPECT_TRUE(files.FilePaths().empty());
    EXPECT_TRUE(fake.commands.empty());
    EXPECT_STREQ(host.Dialogs()[1].items[0].Data, host.Text(MMoveTitle).c_str());
    EXPECT_STREQ(host.Dialogs()[1].items[1].Data, "Move photos in photo folders to:");
}

TEST_F(CopyKeysTest, OtherKeysAreLeftToTheHost) {
    OpenThree();
    for (int key : {VK_F4, VK_F1, VK_RETURN, int(VK_F5 | PKF_PREPROCESS), 0x78}) {
        EXPECT_EQ(Press(key), 0) << key;
    }
    EXPECT_TRUE(host.Dialogs().empty());
    EXPECT_TRUE(host.Messages().empty());
}

TEST_F(CopyKeysTest, F7SwitchesTheViewAndCtrlF7TheNumbering) {
    OpenThree();
    EXPECT_EQ(Press(VK_F7), 1);
    EXPECT_EQ(panel->viewKind, PictureKind::Thumbnail);
    EXPECT_EQ(Press(VK_F7, PKF_SHIFT), 1);
    EXPECT_EQ(panel->viewKind, PictureKind::Photo);
    EXPECT_EQ(Press(VK_F7, PKF_CONTROL), 1);
    EXPECT_EQ(panel->numberingMode, NumberingMode::FromOne);
    EXPECT_EQ(Press(VK_F7, PKF_CONTROL | PKF_ALT), 1);
    EXPECT_EQ(panel->numberingMode, NumberingMode::AfterOtherPanel);

    const auto& calls = host.Controls();
    ASSERT_EQ(calls.size(), 8u);
    const std::vector<intptr_t> updateParams{1, 1, 0, 0};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(calls[2 * i].command, FCTL_UPDATEPANEL);
        EXPECT_EQ(reinterpret_cast<intptr_t>(calls[2 * i].param), updateParams[i]);
        EXPECT_EQ(calls[2 * i + 1].command, FCTL_REDRAWPANEL);
    }
    EXPECT_TRUE(fake.commands.empty());
}

TEST_F(CopyKeysTest, F5OnAnEmptyCameraAsksThenClosesThePanel) {
    Open({});
    host.ActivePanel().items.clear();
    host.AnswerDialogs({kOkButton});

    EXPECT_EQ(Press(VK_F5), 1);

    EXPECT_EQ(host.Dialogs().size(), 1u);
    const MessageCall& notice = host.LastMessage();
    EXPECT_EQ(notice.lines, host.Texts({MDeleteTitle, MCameraNowEmpty}));
    EXPECT_EQ(notice.flags, FMSG_MB_OK);
    EXPECT_EQ(notice.helpTopic, "DeleteClosePlugin");
    const ControlCall& close = host.Controls().back();
    EXPECT_EQ(close.command, FCTL_CLOSEPLUGIN);
    EXPECT_EQ(close.text, ".");
    EXPECT_TRUE(files.FilePaths().empty());
}

TEST_F(CopyKeysTest, APathTooLongForTheSystemIsReportedAndNothingIsWritten) {
    const std::string deep = "D:\\" + std::string(240, 'x');
    files.AddFolder(deep);
    host.PassivePanel().curDir = deep;
    OpenThree();
    Select({0});
    host.AnswerDialogs({kOkButton});

    Press(VK_F5);

    EXPECT_TRUE(files.FilePaths().empty());
    EXPECT_EQ(files.Calls(FileOp::MakeDirectory), 0u);
    const MessageCall& report = host.LastMessage();
    EXPECT_EQ(report.helpTopic, "Errors");
    ASSERT_EQ(report.lines.size(), 3u);
    EXPECT_EQ(report.lines[1], host.Text(MSystemCallFailed));
    EXPECT_EQ(report.lines[2].rfind("Link status 9,", 0), 0u) << report.lines[2];
    EXPECT_EQ(SelectedPositions(), (std::vector<uint32_t>{0}));
    EXPECT_TRUE(fake.commands.empty());
}

} // namespace
} // namespace pixlor::transfertest
