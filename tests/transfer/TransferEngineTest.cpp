// The rules of a copy and a deletion as the engines play them, with a
// recording view in place of the host: passes, numbering, the questions after
// an abort, a move that deletes only what was copied whole, and a deletion
// that fails. The host sees nothing of it.
#include <ostream>
#include <string>
#include <vector>

#include "camera/LinkStatus.h"
#include "fakes/RecordingTransferView.h"
#include "transfer/DeletePictures.h"
#include "transfer/DownloadPictures.h"
#include "transfer/TransferFixture.h"

namespace pixlor::transfertest {
namespace {

const std::string kPhotos = "D:\\Photos\\";
const std::string kFolder = kPhotos + "02-05-17\\";
const PanelView kPicturesPanel{.listsPictures = true};

std::string Photo(int n) {
    char name[32];
    std::snprintf(name, sizeof name, "pic17.05.2002_%03d.jpg", n);
    return "File " + kFolder + name;
}

struct EngineCase {
    const char* name;
    int pictures;
    DownloadRequest request;
    std::vector<std::string> existing; // files already in the target folder
    std::vector<int> escAt;            // FileProgress calls answered with Esc
    std::vector<int> refuseAfter;      // ... after which the next selection is refused
    std::deque<bool> answers;          // to the questions, in order
    std::vector<uint32_t> marked;      // what the panel still marks at the end
    std::vector<std::string> events;
    std::vector<uint32_t> deleted; // camera numbers
};

void PrintTo(const EngineCase& c, std::ostream* os) {
    *os << c.name;
}

DownloadRequest Request(KindsMode kinds, PictureKind kind, bool move) {
    return DownloadRequest{kPhotos, kinds, kind, PictureKind::Photo, SubfolderMode::Always, move};
}

class DownloadEngineTest : public TransferFixture,
                           public testing::WithParamInterface<EngineCase> {};

TEST_P(DownloadEngineTest, PlaysTheRulesOfTheCopy) {
    const EngineCase& c = GetParam();
    files.AddFolder("D:\\Photos");
    files.AddFolder("D:\\Photos\\02-05-17");
    for (const std::string& name : c.existing) {
        files.AddFile(kFolder + name);
    }
    std::vector<FakePicture> pictures;
    for (int i = 0; i < c.pictures; ++i) {
        pictures.push_back(Picture(k17May2002 + 60 * i, static_cast<uint8_t>(i + 1)));
    }
    Open(std::move(pictures));
    fakes::RecordingTransferView view;
    for (int p = 0; p < c.pictures; ++p) {
        view.selection.push_back(PanelItem{"", static_cast<uint32_t>(p), {}, false});
    }
    view.answers = c.answers;
    view.marked = c.marked;
    view.progress = [this, &c](int call) {
        if (std::find(c.refuseAfter.begin(), c.refuseAfter.end(), call) != c.refuseAfter.end()) {
            fake.faults.push_back(CameraFault::Refuse);
        }
        return std::find(c.escAt.begin(), c.escAt.end(), call) == c.escAt.end();
    };

    EXPECT_TRUE(DownloadPictures(*panel->camera, view, kPicturesPanel, c.request));

    EXPECT_EQ(view.events, c.events);
    EXPECT_EQ(fake.deleted, c.deleted);
    EXPECT_TRUE(HandedBack());
    EXPECT_TRUE(host.Messages().empty()) << "the engine draws no box of its own";
    EXPECT_TRUE(host.Controls().empty()) << "the engine touches no panel of its own";
}

INSTANTIATE_TEST_SUITE_P(
    Rules, DownloadEngineTest,
    testing::Values(
        // Two kinds: the thumbnail's pass, then the photo's, into the photo's folder.
        EngineCase{"TwoKindsInTwoPasses",
                   1,
                   Request(KindsMode::BothKinds, PictureKind::Photo, false),
                   {},
                   {},
                   {},
                   {},
                   {},
                   {"SaveScreen", "Selection", "Copy 2 files 2800 bytes",
                    "File " + kFolder + "thumb17.05.2002_001.jpg", "Done 300", Photo(1),
                    "Done 2500", "Unmark 0", "RestoreScreen", "RefreshKeeping"},
                   {}},
        // Numbers go on after the highest one in the folder, never over a file.
        EngineCase{"NumberingGoesOnAfterTheFolder",
                   2,
                   Request(KindsMode::OneKind, PictureKind::Photo, false),
                   {"pic17.05.2002_007.jpg"},
                   {},
                   {},
                   {},
                   {},
                   {"SaveScreen", "Selection", "Copy 2 files 5000 bytes", Photo(8), "Done 2500",
                    "Unmark 0", Photo(9), "Done 2500", "Unmark 1", "RestoreScreen",
                    "RefreshKeeping"},
                   {}},
        // Esc in the first file, then "go on": the aborted picture stays marked,
        // and its incomplete file is gone, so the next picture takes its number.
        EngineCase{"EscThenGoOn",
                   2,
                   Request(KindsMode::OneKind, PictureKind::Photo, false),
                   {},
                   {2},
                   {},
                   {true},
                   {0},
                   {"SaveScreen", "Selection", "Copy 2 files 5000 bytes", Photo(1), "AskGoOn yes",
                    Photo(1), "Done 2500", "Unmark 1", "RestoreScreen", "Marked",
                    "RefreshKeeping 0"},
                   {}},
        // A move stopped by Esc in its second picture, the copied one deleted.
        EngineCase{"EscStopsAMoveThatDeletesTheCopied",
                   3,
                   Request(KindsMode::OneKind, PictureKind::Photo, true),
                   {},
                   {6},
                   {},
                   {false, true},
                   {1, 2},
                   {"SaveScreen", "Selection", "Copy 3 files 7500 bytes", Photo(1), "Done 2500",
                    "Unmark 0", Photo(2), "AskGoOn no", "AskDelete yes", "RestoreScreen", "Marked",
                    "SaveScreen", "Deleting 1/1", "Refresh", "RestoreScreen", "RefreshFromTop",
                    "RefreshKeeping 0 1"},
                   {1}},
        // The camera refuses the second picture: passed over, kept, still marked.
        EngineCase{"ARefusedPictureIsKeptByAMove",
                   3,
                   Request(KindsMode::OneKind, PictureKind::Photo, true),
                   {},
                   {},
                   {4},
                   {},
                   {1},
                   {"SaveScreen",    "Selection",      "Copy 3 files 7500 bytes",
                    Photo(1),        "Done 2500",      "Unmark 0",
                    Photo(2),        "Done 2500",      Photo(2),
                    "Done 2500",     "Unmark 2",       "RestoreScreen",
                    "Marked",        "SaveScreen",     "Deleting 1/2",
                    "Refresh",       "Deleting 2/2",   "Refresh",
                    "RestoreScreen", "RefreshFromTop", "RefreshKeeping 0",
                    "NotCopied 1"},
                   {1, 2}},
        // Thumbnails alone: a move would delete photos never copied, so it keeps them.
        EngineCase{"AThumbnailMoveKeepsThePictures",
                   1,
                   Request(KindsMode::OneKind, PictureKind::Thumbnail, true),
                   {},
                   {},
                   {},
                   {},
                   {},
                   {"SaveScreen", "Selection", "Copy 1 files 300 bytes",
                    "File " + kFolder + "thumb17.05.2002_001.jpg", "Done 300", "Unmark 0",
                    "RestoreScreen", "RefreshKeeping", "ThumbnailMoveKept"},
                   {}}),
    [](const testing::TestParamInfo<EngineCase>& param) { return param.param.name; });

struct DeleteCase {
    const char* name;
    std::vector<uint32_t> positions;
    std::deque<CameraFault> faults; // for the camera's answers once the deletion starts
    bool deletes;
    std::vector<std::string> events;
    std::vector<uint32_t> deleted; // camera numbers
    bool answerLost = false;       // nothing more is sent after the time-out
};

void PrintTo(const DeleteCase& c, std::ostream* os) {
    *os << c.name;
}

class DeleteEngineTest : public TransferFixture, public testing::WithParamInterface<DeleteCase> {};

TEST_P(DeleteEngineTest, FollowsEachDeletionAndReportsAFailure) {
    const DeleteCase& c = GetParam();
    Open({Picture(k17May2002, 1), Picture(k17May2002 + 60, 2), Picture(k17May2002 + 120, 3)});
    fakes::RecordingTransferView view;
    TransferList list;
    for (const uint32_t p : c.positions) {
        list.push_back(TransferItem{{}, p});
    }
    fake.faults = c.faults;

    EXPECT_EQ(DeletePictures(*panel->camera, view, kPicturesPanel, list), c.deletes);

    EXPECT_EQ(view.events, c.events);
    EXPECT_EQ(fake.deleted, c.deleted);
    // After a time-out nothing more is sent: the next opening finds the camera
    // at the high speed.
    EXPECT_EQ(HandedBack(), !c.answerLost);
    EXPECT_TRUE(host.Messages().empty());
    EXPECT_TRUE(host.Controls().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Rules, DeleteEngineTest,
    testing::Values(
        // Later positions follow each deletion down: 0 then 2 deletes camera
        // numbers 1 and 2.
        DeleteCase{"LaterPicturesMoveDown",
                   {0, 2},
                   {},
                   true,
                   {"SaveScreen", "Deleting 1/2", "Refresh", "Deleting 2/2", "Refresh",
                    "RestoreScreen", "RefreshFromTop"},
                   {1, 2}},
        // A picture the camera does not have: the report, the earlier deletion stands.
        DeleteCase{"ANumberTheCameraLacks",
                   {0, 7},
                   {},
                   false,
                   {"SaveScreen", "Deleting 1/2", "Refresh", "Deleting 2/2",
                    "Error " + std::to_string(linkstatus::kSelectRange)},
                   {1}},
        // The deletion's answer is lost (the four answers before it arrive): the
        // camera deleted the picture unseen, so the listed numbers may be stale.
        DeleteCase{
            "ALostAnswerMakesTheListStale",
            {1},
            {CameraFault::None, CameraFault::None, CameraFault::None, CameraFault::None,
             CameraFault::Silent},
            false,
            {"SaveScreen", "Deleting 1/1", "Error " + std::to_string(linkstatus::kDelete), "Stale"},
            {2},
            true},
        // Both deletion sub-codes refused (0x11): the picture is known to be
        // still there, so the list holds; for a middle and for the last picture.
        DeleteCase{"ARefusedDeletionKeepsTheList",
                   {1},
                   {CameraFault::None, CameraFault::None, CameraFault::None, CameraFault::None,
                    CameraFault::Refuse, CameraFault::Refuse},
                   false,
                   {"SaveScreen", "Deleting 1/1", "Error " + std::to_string(linkstatus::kDelete)},
                   {}},
        DeleteCase{"ARefusedDeletionOfTheLastKeepsTheList",
                   {2},
                   {CameraFault::None, CameraFault::None, CameraFault::None, CameraFault::Refuse,
                    CameraFault::Refuse},
                   false,
                   {"SaveScreen", "Deleting 1/1", "Error " + std::to_string(linkstatus::kDelete)},
                   {}},
        // Deleted, then the speed's reset refused: the refusal is not the
        // deletion's, and the listing lacks the deletion.
        DeleteCase{
            "ADeletionFollowedByARefusalMakesTheListStale",
            {1},
            {CameraFault::None, CameraFault::None, CameraFault::None, CameraFault::None,
             CameraFault::None, CameraFault::Refuse},
            false,
            {"SaveScreen", "Deleting 1/1", "Error " + std::to_string(linkstatus::kDelete), "Stale"},
            {2}}),
    [](const testing::TestParamInfo<DeleteCase>& param) { return param.param.name; });

} // namespace
} // namespace pixlor::transfertest
