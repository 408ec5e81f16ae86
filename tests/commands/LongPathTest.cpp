#include "commands/FarTransferView.h"
#include "commands/HostCopy.h"
#include "transfer/DownloadPictures.h"
#include "transfer/NamingSettings.h"
#include "transfer/TransferFixture.h"

namespace pixlor::transfertest {
namespace {

// A path of MAX_PATH characters or more is refused before any system call;
// the report's system error then names that cause (206), not a code left
// over from an earlier call.
struct LongPathCase {
    const char* name;
    size_t folderLength;  // the destination, its trailing backslash included
    bool numberPast999;   // the folder holds number 999: the next name is one longer
    bool hostCopy;        // GetFiles instead of the panel's copy
    uint32_t folderScans; // FindFirst calls before the refusal
};

class LongPathTest : public TransferFixture, public testing::WithParamInterface<LongPathCase> {};

TEST_P(LongPathTest, IsRefusedWithTheCodeThatNamesTheCause) {
    const LongPathCase& c = GetParam();
    const std::string folder = "D:\\" + std::string(c.folderLength - 4, 'f') + "\\";
    files.AddFolder(folder.substr(0, folder.size() - 1));
    if (c.numberPast999) {
        files.AddFile(folder + "pic17.05.2002_999.jpg");
    }
    Open({Picture(k17May2002, 1)});
    ListPictures();
    Select({0});

    if (c.hostCopy) {
        std::vector<PluginPanelItem> items = host.ActivePanel().items;
        std::string destination = folder.substr(0, folder.size() - 1);
        EXPECT_EQ(CopyRequestedFiles(*panel, items.data(), 1, destination.data()), 0);
    } else {
        FarTransferView view(*panel);
        const DownloadRequest request{
            folder, KindsMode::OneKind, PictureKind::Photo, PictureKind::Photo, SubfolderMode::None,
            false};
        EXPECT_FALSE(DownloadPictures(*panel->camera, view, ViewOf(*panel), request));
    }

    EXPECT_EQ(files.Calls(FileOp::FindFirst), c.folderScans);
    EXPECT_EQ(files.Calls(FileOp::CreateNew), 0u);
    const MessageCall& report = host.LastMessage();
    EXPECT_EQ(report.helpTopic, "Errors");
    ASSERT_EQ(report.lines.size(), 3u);
    EXPECT_EQ(report.lines[2], "Link status 9, system error 206");
    EXPECT_EQ(SelectedPositions(), (std::vector<uint32_t>{0}));
    EXPECT_TRUE(HandedBack());
}

// The panel's copy: prefix "pic17.05.2002_" (14), three digits and ".jpg".
INSTANTIATE_TEST_SUITE_P(
    Refused, LongPathTest,
    testing::Values(LongPathCase{"CopyBeforeTheFolderScan", 239, false, false, 0},
                    LongPathCase{"CopyAfterTheFolderScan", 238, true, false, 1},
                    LongPathCase{"HostCopy", 239, false, true, 0}),
    [](const testing::TestParamInfo<LongPathCase>& param) { return param.param.name; });

} // namespace
} // namespace pixlor::transfertest
