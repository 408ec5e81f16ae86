#include <string>
#include <vector>

#include "camera/LinkStatus.h"
#include "commands/KeyCommands.h"
#include "platform/SystemError.h"
#include "transfer/TransferFixture.h"

namespace pixlor::transfertest {
namespace {

const std::string kTempFolder = "C:\\Temp\\PXV000001";

// What the viewer found when it opened the file, as the host's viewer reads it.
struct Viewed {
    hostkit::ViewerCall call;
    Bytes bytes;
};

class ViewPictureTest : public TransferFixture {
protected:
    void SetUp() override {
        files.AddFolder("C:\\Temp");
        Open({Picture(k17May2002, 1), Picture(k17May2002 + 60, 2), Picture(k17May2002 + 120, 3)});
        ListPictures();
        host.Kit().onViewer = [this](hostkit::ViewerCall& call) {
            viewed.push_back(Viewed{call, FileBytes(call.fileName)});
            return viewerAnswer;
        };
    }
    int PressF3(unsigned controlState = 0) { return ProcessPanelKey(*panel, VK_F3, controlState); }
    bool CameraUntouched() const { return fake.commands.empty() && !panel->camera->Connected(); }

    std::vector<Viewed> viewed;
    int viewerAnswer = 1;
};

struct KindCase {
    const char* name;
    PictureKind viewKind;
    bool photo; // the bytes the viewer gets
};

class ViewPictureKindTest : public ViewPictureTest, public testing::WithParamInterface<KindCase> {};

TEST_P(ViewPictureKindTest, CopiesTheShownKindAndOpensTheViewerOnIt) {
    panel->viewKind = GetParam().viewKind;
    host.ActivePanel().currentItem = 1;

    EXPECT_EQ(PressF3(), 1);

    ASSERT_EQ(viewed.size(), 1u);
    const hostkit::ViewerCall& call = viewed[0].call;
    EXPECT_EQ(call.fileName, kTempFolder + "\\pic17.05.2002_002.jpg");
    EXPECT_EQ(call.title, "pic17.05.2002_002.jpg");
    EXPECT_EQ(call.flags, VF_DELETEONCLOSE | VF_DISABLEHISTORY) << "modal, the copy removed";
    EXPECT_EQ((std::vector<int>{call.x1, call.y1, call.x2, call.y2}),
              (std::vector<int>{0, 0, -1, -1}));
    EXPECT_EQ(viewed[0].bytes, GetParam().photo ? originals[1].photo : originals[1].thumbnail);
    EXPECT_TRUE(files.HasFolder(kTempFolder)) << "the viewer's closing removes it";
    EXPECT_EQ(host.Messages().front().lines[0], host.Text(MHostCopyTitle)) << "the copy's box";
    EXPECT_TRUE(Questions().empty());
    EXPECT_TRUE(HandedBack());
}

INSTANTIATE_TEST_SUITE_P(Kinds, ViewPictureKindTest,
                         testing::Values(KindCase{"Photos", PictureKind::Photo, true},
                                         KindCase{"Thumbnails", PictureKind::Thumbnail, false}),
                         [](const auto& param) { return std::string(param.param.name); });

struct HostKeyCase {
    const char* name;
    const char* item; // the item under the cursor, a folder; null: a picture
    unsigned controlState;
};

class ViewPictureHostKeyTest : public ViewPictureTest,
                               public testing::WithParamInterface<HostKeyCase> {};

TEST_P(ViewPictureHostKeyTest, LeavesTheKeyToTheHost) {
    if (GetParam().item != nullptr) {
        PluginPanelItem folder = hostkit::MakePanelItem(GetParam().item);
        folder.FindData.dwFileAttributes = FILE_ATTRIBUTE_DIRECTORY;
        host.ActivePanel().items.insert(host.ActivePanel().items.begin(), folder);
        host.ActivePanel().currentItem = 0;
    }

    EXPECT_EQ(PressF3(GetParam().controlState), 0);

    EXPECT_TRUE(CameraUntouched());
    EXPECT_TRUE(viewed.empty());
    EXPECT_TRUE(host.Messages().empty());
    EXPECT_EQ(host.Kit().tempNames, 0);
    EXPECT_EQ(files.Calls(FileOp::MakeDirectory), 0u);
}

INSTANTIATE_TEST_SUITE_P(Keys, ViewPictureHostKeyTest,
                         testing::Values(HostKeyCase{"Dots", "..", 0},
                                         HostKeyCase{"DatedFolder", "02-05-17", 0},
                                         HostKeyCase{"ShiftF3", nullptr, PKF_SHIFT},
                                         HostKeyCase{"CtrlF3", nullptr, PKF_CONTROL},
                                         HostKeyCase{"AltF3", nullptr, PKF_ALT}),
                         [](const auto& param) { return std::string(param.param.name); });

TEST_F(ViewPictureTest, EscDuringTheCopyOpensNothingAndLeavesNothing) {
    console.EscAt({2});

    EXPECT_EQ(PressF3(), 1);

    EXPECT_TRUE(viewed.empty());
    EXPECT_TRUE(Questions().empty()) << "no report after Esc";
    EXPECT_FALSE(files.HasFolder(kTempFolder));
    EXPECT_EQ(files.RemovedPaths(),
              (std::vector<std::string>{kTempFolder + "\\pic17.05.2002_001.jpg"}))
        << "made, then removed";
    EXPECT_FALSE(files.HasFile(kTempFolder + "\\pic17.05.2002_001.jpg"));
    EXPECT_TRUE(HandedBack());
}

TEST_F(ViewPictureTest, AViewerThatDidNotOpenLeavesNoCopyBehind) {
    viewerAnswer = 0;

    EXPECT_EQ(PressF3(), 1);

    ASSERT_EQ(viewed.size(), 1u);
    EXPECT_FALSE(files.HasFile(viewed[0].call.fileName));
    EXPECT_FALSE(files.HasFolder(kTempFolder));
}

TEST_F(ViewPictureTest, AFileThatCannotBeCreatedIsReportedAndNothingIsLeft) {
    files.FailCall(FileOp::CreateNew, 1, syserr::kAccessDenied);

    EXPECT_EQ(PressF3(), 1);

    EXPECT_TRUE(viewed.empty());
    EXPECT_EQ(host.LastMessage().helpTopic, "Errors");
    EXPECT_EQ(host.LastMessage().lines[2], "Link status 9, system error 5");
    EXPECT_FALSE(files.HasFolder(kTempFolder)) << "the empty temporary folder is removed";
    EXPECT_TRUE(HandedBack());
    EXPECT_EQ(host.Kit().OpenScreens(), 0);
}

TEST_F(ViewPictureTest, ACameraThatStopsAnsweringIsReportedAndNoViewerOpens) {
    device.onWrite = [](fakes::FakeSerialDevice&, std::span<const uint8_t>) {};

    EXPECT_EQ(PressF3(), 1);

    EXPECT_TRUE(viewed.empty());
    EXPECT_EQ(host.LastMessage().helpTopic, "Errors");
    EXPECT_FALSE(files.HasFolder(kTempFolder));
    EXPECT_TRUE(files.FilePaths().empty());
}

TEST_F(ViewPictureTest, ATemporaryFolderThatCannotBeMadeIsReportedWithoutTraffic) {
    files.FailCall(FileOp::MakeDirectory, 1, syserr::kAccessDenied);

    EXPECT_EQ(PressF3(), 1);

    EXPECT_TRUE(viewed.empty());
    EXPECT_EQ(host.LastMessage().helpTopic, "Errors");
    EXPECT_EQ(host.LastMessage().lines[2], "Link status 9, system error 5");
    EXPECT_TRUE(CameraUntouched());
}

} // namespace
} // namespace pixlor::transfertest
