#include <algorithm>

#include "camera/LinkStatus.h"
#include "commands/FarTransferView.h"
#include "commands/KeyCommands.h"
#include "host/PanelCalls.h"
#include "platform/SystemError.h"
#include "transfer/DeletePictures.h"
#include "transfer/DownloadPictures.h"
#include "transfer/TransferFixture.h"

namespace pixlor::transfertest {
namespace {

constexpr int kOkButton = 7;
const std::string kFolder17 = "D:\\Photos\\02-05-17\\";

std::string Numbered(int n) {
    char name[64];
    std::snprintf(name, sizeof name, "pic17.05.2002_%03d.jpg", n);
    return kFolder17 + name;
}

// Every picture of 17 May: 2500 photo bytes, so four progress polls a file
// (before the first packet and after each of three).
class MoveTest : public TransferFixture {
protected:
    void SetUp() override {
        files.AddFolder("D:\\Photos");
        host.PassivePanel().curDir = "D:\\Photos";
    }
    void OpenSame(int count) {
        std::vector<FakePicture> pictures;
        for (int i = 0; i < count; ++i) {
            pictures.push_back(Picture(k17May2002 + 60 * i, static_cast<uint8_t>(i + 1)));
        }
        Open(std::move(pictures));
        ListPictures();
    }
    void Press(int key) {
        host.AnswerDialogs({kOkButton});
        EXPECT_EQ(ProcessPanelKey(*panel, key, 0), 1);
    }
    // The originals still in the camera, by their seeds.
    std::vector<Bytes> InCamera() const {
        std::vector<Bytes> photos;
        for (const FakePicture& p : fake.pictures) {
            photos.push_back(p.photo);
        }
        return photos;
    }
    std::vector<Bytes> Originals(std::initializer_list<int> indexes) const {
        std::vector<Bytes> photos;
        for (int i : indexes) {
            photos.push_back(originals[static_cast<size_t>(i)].photo);
        }
        return photos;
    }
};

struct AbortCase {
    const char* name;
    std::vector<int> answers;
    std::vector<std::string> questions;
    std::vector<uint32_t> deleted;  // camera numbers, in order
    std::vector<int> left;          // originals still in the camera
    std::vector<uint32_t> selected; // positions once the panel lists the camera again
    bool released = false;          // the Esc's release follows its press
};

class AbortedMoveTest : public MoveTest, public testing::WithParamInterface<AbortCase> {};

TEST_P(AbortedMoveTest, OnlyPicturesCopiedCompletelyAreDeleted) {
    const AbortCase& c = GetParam();
    OpenSame(3);
    Select({0, 1, 2});
    console.EscAt({6}); // the second file, after its first packet
    console.releases = c.released;
    for (int answer : c.answers) {
        host.Kit().messageAnswers.push_back(answer);
    }

    Press(VK_F6);

    EXPECT_EQ(Questions(), c.questions);
    EXPECT_EQ(fake.deleted, c.deleted);
    std::vector<Bytes> left;
    for (int i : c.left) {
        left.push_back(originals[static_cast<size_t>(i)].photo);
    }
    EXPECT_EQ(InCamera(), left);
    EXPECT_EQ(SelectedPositions(), c.selected);
    EXPECT_EQ(FileBytes(Numbered(1)), originals[0].photo);
    EXPECT_EQ(files.RemovedPaths(), (std::vector<std::string>{Numbered(2)}))
        << "the aborted file does not stay under the picture's name";
    EXPECT_EQ(fake.cancels, 1);
    EXPECT_TRUE(HandedBack());
    EXPECT_EQ(host.Kit().OpenScreens(), 0);
}

const std::string kGoOn = "DownloadRemaining?";
const std::string kDelete = "DeleteRemaining?";

INSTANTIATE_TEST_SUITE_P(
    Move, AbortedMoveTest,
    testing::Values(AbortCase{"GoOn", {0}, {kGoOn}, {1, 2}, {1}, {0}},
                    AbortCase{"GoOnAfterAPressAndItsRelease", {0}, {kGoOn}, {1, 2}, {1}, {0}, true},
                    AbortCase{"StopAndDelete", {1, 0}, {kGoOn, kDelete}, {1}, {1, 2}, {0, 1}},
                    AbortCase{"StopAndKeep", {1, 1}, {kGoOn, kDelete}, {}, {0, 1, 2}, {1, 2}},
                    AbortCase{"EscBoth", {-1, -1}, {kGoOn, kDelete}, {}, {0, 1, 2}, {1, 2}}),
    [](const testing::TestParamInfo<AbortCase>& param) { return param.param.name; });

TEST_F(MoveTest, EscBeforeAFileIsCreatedSkipsItAndItsNumberIsUsedAgain) {
    OpenSame(3);
    Select({0, 1, 2});
    console.EscAt({5}); // the second file's first poll
    host.AnswerMessages({0});

    Press(VK_F5);

    EXPECT_EQ(Questions(), (std::vector<std::string>{kGoOn}));
    EXPECT_EQ(files.FilePaths(), (std::vector<std::string>{Numbered(1), Numbered(2)}));
    EXPECT_EQ(FileBytes(Numbered(2)), originals[2].photo);
    EXPECT_EQ(SelectedPositions(), (std::vector<uint32_t>{1}));
    EXPECT_EQ(fake.cancels, 0) << "nothing was asked for";
    EXPECT_TRUE(HandedBack());
}

struct LastEscCase {
    int poll;
    bool created; // the file was created before the Esc (and is removed)
};

class EscOnTheLastTest : public MoveTest, public testing::WithParamInterface<LastEscCase> {};

TEST_P(EscOnTheLastTest, EndsWithoutAskingAboutTheRest) {
    OpenSame(2);
    Select({0, 1});
    console.EscAt({GetParam().poll});

    Press(VK_F5);

    EXPECT_TRUE(Questions().empty());
    EXPECT_EQ(FileBytes(Numbered(1)), originals[0].photo);
    EXPECT_FALSE(files.HasFile(Numbered(2)));
    EXPECT_EQ(files.RemovedPaths().size(), GetParam().created ? 1u : 0u);
    EXPECT_EQ(SelectedPositions(), (std::vector<uint32_t>{1}));
    EXPECT_TRUE(HandedBack()) << "also when the camera was left at the high speed";
    EXPECT_EQ(host.Kit().OpenScreens(), 0);
}

INSTANTIATE_TEST_SUITE_P(Copy, EscOnTheLastTest,
                         testing::Values(LastEscCase{5, false}, LastEscCase{6, true}));

// The camera refuses the selection of some pictures: they are passed over,
// stay in the camera, stay selected after the panel's update (which forgets
// the selection, and after a move lists the pictures left under new
// positions), and the warning counts them.
struct PassedOverCase {
    const char* name;
    int key;
    int pictures;
    std::vector<int> refusedAtPoll; // the next selection is refused (four polls a file)
    std::vector<int> left;          // originals still in the camera
    std::vector<uint32_t> selected; // positions once the panel lists the camera again
    const char* warning;
};

class PassedOverTest : public MoveTest, public testing::WithParamInterface<PassedOverCase> {};

TEST_P(PassedOverTest, StaysSelectedAfterTheUpdateAndIsCounted) {
    const PassedOverCase& c = GetParam();
    OpenSame(c.pictures);
    for (int p = 0; p < c.pictures; ++p) {
        Select({static_cast<uint32_t>(p)});
    }
    console.script = [this, &c](int poll) {
        if (std::find(c.refusedAtPoll.begin(), c.refusedAtPoll.end(), poll) !=
            c.refusedAtPoll.end()) {
            fake.faults.push_back(CameraFault::Refuse);
        }
        return false;
    };

    Press(c.key);

    std::vector<Bytes> left;
    for (int i : c.left) {
        left.push_back(originals[static_cast<size_t>(i)].photo);
    }
    EXPECT_EQ(InCamera(), left);
    EXPECT_EQ(SelectedPositions(), c.selected);
    ASSERT_EQ(host.ActivePanel().items.size(), left.size()) << "the panel lists the camera again";
    // The selection is set after the last update and before the last redraw.
    const std::vector<ControlCall>& calls = host.Controls();
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(calls[calls.size() - 2].command, FCTL_SETSELECTION);
    EXPECT_EQ(calls.back().command, FCTL_REDRAWPANEL);
    const MessageCall& warning = host.LastMessage();
    EXPECT_EQ(warning.lines, (std::vector<std::string>{host.Text(MTitle), c.warning}));
    EXPECT_EQ(warning.flags, FMSG_WARNING | FMSG_MB_OK);
    EXPECT_EQ(warning.helpTopic, "Errors");
    EXPECT_TRUE(HandedBack());
}

INSTANTIATE_TEST_SUITE_P(
    Refused, PassedOverTest,
    testing::Values(
        PassedOverCase{"CopyOne", VK_F5, 3, {4}, {0, 1, 2}, {1}, "1 pictures were not copied."},
        PassedOverCase{
            "CopyTwo", VK_F5, 4, {4, 8}, {0, 1, 2, 3}, {1, 3}, "2 pictures were not copied."},
        PassedOverCase{"MoveOne", VK_F6, 3, {4}, {1}, {0}, "1 pictures were not copied."},
        PassedOverCase{"MoveTwo", VK_F6, 4, {4, 8}, {1, 3}, {0, 1}, "2 pictures were not copied."}),
    [](const testing::TestParamInfo<PassedOverCase>& param) { return param.param.name; });

TEST_F(MoveTest, AMoveOfPicturesAllCopiedLeavesNothingSelected) {
    OpenSame(3);
    Select({0, 2});

    Press(VK_F6);

    EXPECT_EQ(InCamera(), Originals({1}));
    EXPECT_TRUE(SelectedPositions().empty()) << "the picture left was never selected";
    const std::vector<ControlCall>& calls = host.Controls();
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls[calls.size() - 2].command, FCTL_UPDATEPANEL) << "no selection to carry over";
    EXPECT_EQ(calls.back().command, FCTL_REDRAWPANEL);
}

TEST_F(MoveTest, AFileThatCannotBeCreatedStopsTheCopyWithTheReport) {
    OpenSame(2);
    Select({0, 1});
    files.AddFolder(kFolder17);
    files.FailCall(FileOp::CreateNew, 1, 5); // access denied

    Press(VK_F6);

    EXPECT_TRUE(files.FilePaths().empty());
    EXPECT_TRUE(fake.deleted.empty());
    EXPECT_EQ(host.LastMessage().helpTopic, "Errors");
    EXPECT_EQ(host.LastMessage().lines[2], "Link status 9, system error 5");
    EXPECT_EQ(SelectedPositions(), (std::vector<uint32_t>{0, 1}));
    EXPECT_TRUE(HandedBack());
}

TEST_F(MoveTest, AFolderThatCannotBeCreatedStopsTheCopyWithTheCameraHandedBack) {
    files.AddFolder("D:\\Photos\\02-05-18");
    Open({Picture(k17May2002 + kDay, 1), Picture(k17May2002, 2)});
    ListPictures();
    Select({0, 1});
    files.FailCall(FileOp::MakeDirectory, 1, 5);

    Press(VK_F5);

    EXPECT_EQ(files.FilePaths(),
              (std::vector<std::string>{"D:\\Photos\\02-05-18\\pic18.05.2002_001.jpg"}));
    EXPECT_EQ(host.LastMessage().lines[2], "Link status 17, system error 5");
    EXPECT_TRUE(HandedBack()) << "the first file left it at the high speed";
}

TEST_F(MoveTest, F8DeletesTheSelectionAndClosesTheEmptyPanel) {
    OpenSame(2);
    Select({0, 1});
    host.AnswerMessages({0, 0});

    EXPECT_EQ(ProcessPanelKey(*panel, VK_F8, 0), 1);

    EXPECT_EQ(Questions(), (std::vector<std::string>{"Delete?", "DeleteClosePlugin"}));
    const MessageCall& ask = host.Messages().front();
    EXPECT_EQ(ask.lines, host.Texts({MDeleteTitle, MDeleteQuestion}));
    EXPECT_EQ(ask.flags, FMSG_MB_OKCANCEL);
    EXPECT_EQ(host.LastMessage().lines, host.Texts({MDeleteTitle, MCameraNowEmpty}));
    EXPECT_EQ(fake.deleted, (std::vector<uint32_t>{1, 1}));
    EXPECT_EQ(panel->camera->PictureCount(), 0u);
    EXPECT_EQ(host.Controls().back().command, FCTL_CLOSEPLUGIN);
    EXPECT_EQ(host.Controls().back().text, ".");
    EXPECT_TRUE(HandedBack());
}

// A deletion the camera refused leaves the picture there: one report, and the
// panel stays with its listing. One whose answer was lost may have happened:
// the notice, and the panel closes.
struct FailedDeletionCase {
    const char* name;
    std::deque<CameraFault> faults; // the camera's answers once the deletion starts
    bool closes;
    std::vector<uint32_t> deleted;
};

void PrintTo(const FailedDeletionCase& c, std::ostream* os) {
    *os << c.name;
}

class FailedDeletionTest : public MoveTest,
                           public testing::WithParamInterface<FailedDeletionCase> {};

TEST_P(FailedDeletionTest, OnlyALostAnswerClosesThePanel) {
    const FailedDeletionCase& c = GetParam();
    OpenSame(3);
    Select({1});
    const std::vector<PluginPanelItem> listed = host.ActivePanel().items;
    host.AnswerMessages({0, 0, 0});
    fake.faults = c.faults;

    EXPECT_EQ(ProcessPanelKey(*panel, VK_F8, 0), 1);

    EXPECT_EQ(fake.deleted, c.deleted);
    const std::vector<std::string> questions = Questions();
    EXPECT_EQ(std::count(questions.begin(), questions.end(), "Errors"), c.closes ? 2 : 1);
    const auto report = std::find_if(host.Messages().begin(), host.Messages().end(),
                                     [](const MessageCall& m) { return m.helpTopic == "Errors"; });
    ASSERT_NE(report, host.Messages().end());
    EXPECT_EQ(report->lines[0], host.Text(MTitle)) << "the camera's report";
    EXPECT_EQ(host.LastMessage().lines,
              c.closes ? host.Texts({MDeleteTitle, MListUncertain}) : report->lines);
    EXPECT_EQ(host.Kit().CountControls(FCTL_CLOSEPLUGIN), c.closes ? 1 : 0);
    EXPECT_EQ(panel->listUncertain, c.closes);
    if (!c.closes) {
        EXPECT_EQ(host.Kit().CountControls(FCTL_UPDATEPANEL), 0) << "the listing as it is";
        ASSERT_EQ(host.ActivePanel().items.size(), listed.size());
        for (std::size_t i = 0; i < listed.size(); ++i) {
            EXPECT_STREQ(host.ActivePanel().items[i].FindData.cFileName,
                         listed[i].FindData.cFileName);
        }
        EXPECT_EQ(panel->camera->PictureCount(), 3u);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Delete, FailedDeletionTest,
    testing::Values(FailedDeletionCase{"Refused",
                                       {CameraFault::None, CameraFault::None, CameraFault::None,
                                        CameraFault::None, CameraFault::Refuse,
                                        CameraFault::Refuse},
                                       false,
                                       {}},
                    FailedDeletionCase{"AnswerLost",
                                       {CameraFault::None, CameraFault::None, CameraFault::None,
                                        CameraFault::None, CameraFault::Silent},
                                       true,
                                       {2}}),
    [](const auto& param) { return std::string(param.param.name); });

TEST_F(MoveTest, F8AnsweredOtherwiseDeletesNothing) {
    OpenSame(2);
    Select({0});
    host.AnswerMessages({1});
    EXPECT_EQ(ProcessPanelKey(*panel, VK_F8, PKF_SHIFT), 1);
    host.AnswerMessages({-1});
    EXPECT_EQ(ProcessPanelKey(*panel, VK_F8, 0), 1);
    EXPECT_TRUE(fake.commands.empty());
    EXPECT_EQ(host.Messages().size(), 2u);
}

struct DeleteCase {
    std::vector<uint32_t> positions;
    std::vector<uint32_t> numbers; // asked of the camera
    std::vector<int> left;
};

class DeleteTest : public MoveTest, public testing::WithParamInterface<DeleteCase> {};

TEST_P(DeleteTest, LaterPositionsFollowEachDeletion) {
    const DeleteCase& c = GetParam();
    OpenSame(5);
    host.ActivePanel().currentItem = 3;
    TransferList list;
    for (uint32_t p : c.positions) {
        list.push_back(TransferItem{{}, p});
    }

    FarTransferView view(*panel);
    EXPECT_TRUE(DeletePictures(*panel->camera, view, ViewOf(*panel), std::move(list)));

    EXPECT_EQ(fake.deleted, c.numbers);
    std::vector<Bytes> left;
    for (int i : c.left) {
        left.push_back(originals[static_cast<size_t>(i)].photo);
    }
    EXPECT_EQ(InCamera(), left);
    std::vector<std::string> progress;
    for (const MessageCall& m : host.Messages()) {
        ASSERT_EQ(m.lines.size(), 2u);
        EXPECT_EQ(m.lines[0], host.Text(MDeleteTitle));
        EXPECT_EQ(m.flags, 0u);
        progress.push_back(m.lines[1]);
    }
    ASSERT_EQ(progress.size(), c.positions.size());
    if (!progress.empty()) {
        EXPECT_EQ(progress.back(), "Deleting picture " + std::to_string(progress.size()) + " of " +
                                       std::to_string(progress.size()));
    }
    const auto& calls = host.Controls();
    ASSERT_EQ(calls.size(), 2 * c.positions.size() + 2);
    for (size_t i = 0; i < calls.size(); i += 2) {
        EXPECT_EQ(calls[i].command, FCTL_UPDATEPANEL);
        EXPECT_EQ(calls[i + 1].command, FCTL_REDRAWPANEL);
    }
    EXPECT_EQ(host.ActivePanel().currentItem, 0) << "the cursor goes back to the top";
    EXPECT_TRUE(HandedBack());
    EXPECT_EQ(host.Kit().OpenScreens(), 0);
}

INSTANTIATE_TEST_SUITE_P(Delete, DeleteTest,
                         testing::Values(DeleteCase{{1, 4}, {2, 4}, {0, 2, 3}},
                                         DeleteCase{{4, 1}, {5, 2}, {0, 2, 3}},
                                         DeleteCase{{0, 1, 2}, {1, 1, 1}, {3, 4}},
                                         DeleteCase{{}, {}, {0, 1, 2, 3, 4}}));

TEST_F(MoveTest, AFailedDeletionIsReportedAndTheEarlierOneStands) {
    OpenSame(2);
    TransferList list{{{}, 0}, {{}, 7}};

    FarTransferView view(*panel);
    EXPECT_FALSE(DeletePictures(*panel->camera, view, ViewOf(*panel), std::move(list)));

    EXPECT_EQ(fake.deleted, (std::vector<uint32_t>{1}));
    EXPECT_EQ(host.LastMessage().helpTopic, "Errors");
    EXPECT_TRUE(HandedBack());
    EXPECT_EQ(host.Kit().OpenScreens(), 0);
}

// A picture in the camera is its full picture and its thumbnail: a move deletes
// it only when its full picture was copied.
struct MoveKindCase {
    const char* name;
    PictureKind view;
    int modifiers;
    bool photos;     // full pictures among the files written
    bool thumbnails; // thumbnails among them
    bool deletes;
};

class MoveKindTest : public MoveTest, public testing::WithParamInterface<MoveKindCase> {};

TEST_P(MoveKindTest, OnlyAMoveOfTheFullPicturesDeletesThem) {
    const MoveKindCase& c = GetParam();
    OpenSame(2);
    panel->viewKind = c.view;
    Select({0, 1});

    host.AnswerDialogs({kOkButton});
    EXPECT_EQ(ProcessPanelKey(*panel, VK_F6, c.modifiers), 1);

    std::vector<Bytes> written;
    for (const std::string& path : files.FilePaths()) {
        written.push_back(FileBytes(path));
    }
    auto holds = [&](const Bytes& bytes) {
        return std::find(written.begin(), written.end(), bytes) != written.end();
    };
    for (const FakePicture& original : originals) {
        EXPECT_EQ(holds(original.photo), c.photos);
        EXPECT_EQ(holds(original.thumbnail), c.thumbnails);
    }
    const std::vector<uint32_t> deleted =
        c.deletes ? std::vector<uint32_t>{1, 1} : std::vector<uint32_t>{};
    EXPECT_EQ(fake.deleted, deleted);
    const bool kept = !c.deletes;
    EXPECT_EQ(host.LastMessage().lines, kept ? host.Texts({MTitle, MThumbnailsOnlyKept})
                                             : host.Texts({MDeleteTitle, MCameraNowEmpty}));
    if (kept) {
        EXPECT_EQ(host.LastMessage().flags, FMSG_WARNING | FMSG_MB_OK);
        EXPECT_EQ(InCamera(), Originals({0, 1}));
    }
    EXPECT_TRUE(HandedBack());
}

INSTANTIATE_TEST_SUITE_P(
    Move, MoveKindTest,
    testing::Values(MoveKindCase{"Photos", PictureKind::Photo, 0, true, false, true},
                    MoveKindCase{"ShiftInThePhotoView", PictureKind::Photo, PKF_SHIFT, false, true,
                                 false},
                    MoveKindCase{"Thumbnails", PictureKind::Thumbnail, 0, false, true, false},
                    MoveKindCase{"ShiftInTheThumbnailView", PictureKind::Thumbnail, PKF_SHIFT, true,
                                 false, true},
                    MoveKindCase{"CtrlInTheThumbnailView", PictureKind::Thumbnail, PKF_CONTROL,
                                 false, true, false},
                    MoveKindCase{"BothKinds", PictureKind::Photo, PKF_ALT, true, true, true},
                    MoveKindCase{"BothKindsFromTheThumbnailView", PictureKind::Thumbnail,
                                 PKF_ALT | PKF_SHIFT, true, true, true}),
    [](const testing::TestParamInfo<MoveKindCase>& param) { return param.param.name; });

// A camera that stops answering in the middle of a batch ends it at the next
// picture, with one report: each further picture would wait for the same
// silence (three sends of its selection, each with its time-out), and a device
// that is gone would add four tries to discard its queue, a second apart.
enum class Silence { Mute, Gone };

struct StopCase {
    const char* name;
    int key;
    Silence silence;
    const char* codes; // the report's line
};

class SilentCameraTest : public MoveTest, public testing::WithParamInterface<StopCase> {};

TEST_P(SilentCameraTest, EndsTheBatchAtTheNextPicture) {
    const StopCase& c = GetParam();
    OpenSame(5);
    Select({0, 1, 2, 3, 4});
    size_t pausesBefore = 0;
    // After the second picture's last packet.
    auto silence = [this, &c, &pausesBefore] {
        pausesBefore = sleeper.pauses.size();
        if (c.silence == Silence::Mute) {
            device.onWrite = [](fakes::FakeSerialDevice&, std::span<const uint8_t>) {};
        } else {
            // From the next call on, but for the ACK of the last packet.
            device.FailOn(fakes::SerialOp::Read, 1, true, syserr::kNotReady);
            device.FailOn(fakes::SerialOp::Purge, 1, true, syserr::kNotReady);
            device.FailOn(fakes::SerialOp::Write, 2, true, syserr::kNotReady);
        }
    };
    console.script = [&](int poll) {
        if (poll == 8) {
            silence();
        }
        return false;
    };
    Press(c.key);

    std::vector<std::string> reports;
    for (const MessageCall& m : host.Messages()) {
        if (m.helpTopic == "Errors") {
            reports.push_back(m.lines.back());
        }
    }
    EXPECT_EQ(reports, std::vector<std::string>{c.codes});
    const std::vector<uint32_t> after(sleeper.pauses.begin() + static_cast<long>(pausesBefore),
                                      sleeper.pauses.end());
    EXPECT_EQ(std::count(after.begin(), after.end(), 1000u), 0)
        << "no second-long tries to discard the queue of a device that is gone";
    EXPECT_EQ(FileBytes(Numbered(1)), originals[0].photo);
    EXPECT_EQ(FileBytes(Numbered(2)), originals[1].photo);
    EXPECT_FALSE(files.HasFile(Numbered(4))) << "the batch ended at the third picture";
    EXPECT_TRUE(fake.deleted.empty()) << "a move that stops deletes nothing";
    EXPECT_EQ(SelectedPositions(), (std::vector<uint32_t>{2, 3, 4}));
}

INSTANTIATE_TEST_SUITE_P(
    Keys, SilentCameraTest,
    testing::Values(
        StopCase{"CopyMute", VK_F5, Silence::Mute, "Port flags 32, packet status 8, link status 2"},
        StopCase{"CopyGone", VK_F5, Silence::Gone,
                 "Port flags 4128, packet status 8, link status 2"},
        StopCase{"MoveMute", VK_F6, Silence::Mute, "Port flags 32, packet status 8, link status 2"},
        StopCase{"MoveGone", VK_F6, Silence::Gone,
                 "Port flags 4128, packet status 8, link status 2"}),
    [](const auto& param) { return std::string(param.param.name); });

} // namespace
} // namespace pixlor::transfertest
