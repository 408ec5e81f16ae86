// A download that ends before the whole picture leaves no file under the
// picture's name: the copy removes the file it created, in the panel's copy,
// its move and the host's copy alike, after Esc, a cut line and a full disk.
// A file that existed before is never touched, a move deletes in the camera
// only what was copied whole, and a removal that fails is reported by name.
#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "fakes/RecordingTransferView.h"
#include "platform/SystemError.h"
#include "transfer/CopyAsNamed.h"
#include "transfer/DownloadPictures.h"
#include "transfer/TransferFixture.h"

namespace pixlor::transfertest {
namespace {

const std::string kFolder = "D:\\Photos\\";

enum class Operation : uint8_t { Copy, Move, HostCopy };
enum class Cut : uint8_t { Esc, Line, Disk };

struct IncompleteCase {
    const char* name;
    Operation operation;
    Cut cut;
    bool removalFails = false;
};

void PrintTo(const IncompleteCase& c, std::ostream* os) {
    *os << c.name;
}

class IncompleteFileTest : public TransferFixture,
                           public testing::WithParamInterface<IncompleteCase> {};

// Two pictures; the second file ends after its first packet (progress call 6,
// write 5: three packets a file).
TEST_P(IncompleteFileTest, TheFileCreatedIsRemoved) {
    const IncompleteCase& c = GetParam();
    files.AddFolder("D:\\Photos");
    // The user's own file under the number before: never opened, never removed.
    const std::string mine = kFolder + "pic17.05.2002_004.jpg";
    files.AddFile(mine, "mine");
    Open({Picture(k17May2002, 1), Picture(k17May2002 + 60, 2)});
    fakes::RecordingTransferView view;
    view.selection = {PanelItem{"", 0, {}, false}, PanelItem{"", 1, {}, false}};
    view.answers = {true}; // a move stopped by Esc deletes what was copied
    view.progress = [this, &c](int call) {
        if (c.cut == Cut::Line && call == 6) {
            device.onWrite = [](fakes::FakeSerialDevice&, std::span<const uint8_t>) {};
        }
        return !(c.cut == Cut::Esc && call == 6);
    };
    if (c.cut == Cut::Disk) {
        files.FailWrite(5);
    }
    if (c.removalFails) {
        files.FailCall(FileOp::RemoveFile, 1, syserr::kAccessDenied);
    }

    std::string first = kFolder + "pic17.05.2002_005.jpg";
    std::string second = kFolder + "pic17.05.2002_006.jpg";
    if (c.operation == Operation::HostCopy) {
        first = kFolder + "a.jpg";
        second = kFolder + "b.jpg";
        CopyAsNamed(*panel->camera, view, kFolder, PictureKind::Photo,
                    {PanelItem{"a.jpg", 0, {}, false}, PanelItem{"b.jpg", 1, {}, false}});
    } else {
        const DownloadRequest request{kFolder,
                                      KindsMode::OneKind,
                                      PictureKind::Photo,
                                      PictureKind::Photo,
                                      SubfolderMode::None,
                                      c.operation == Operation::Move};
        DownloadPictures(*panel->camera, view, PanelView{.listsPictures = true}, request);
    }

    EXPECT_EQ(FileBytes(first), originals[0].photo);
    EXPECT_EQ(files.Text(mine), "mine");
    EXPECT_EQ(files.HasFile(second), c.removalFails);
    EXPECT_EQ(files.RemovedPaths(),
              c.removalFails ? std::vector<std::string>{} : std::vector<std::string>{second});
    const auto named = std::find(view.events.begin(), view.events.end(), "Incomplete " + second);
    EXPECT_EQ(named != view.events.end(), c.removalFails);
    if (c.removalFails && c.cut != Cut::Esc) {
        // The cause's report first, with the cause's system error.
        const auto cause =
            std::find_if(view.events.begin(), view.events.end(),
                         [](const std::string& e) { return e.starts_with("Error"); });
        EXPECT_LT(cause, named);
        EXPECT_EQ(files.LastError(), c.cut == Cut::Disk ? syserr::kDiskFull : 0u);
    }
    const bool deletesTheFirst = c.operation == Operation::Move && c.cut == Cut::Esc;
    EXPECT_EQ(fake.deleted, deletesTheFirst ? std::vector<uint32_t>{1} : std::vector<uint32_t>{})
        << "a move deletes nothing it did not copy whole";
    EXPECT_EQ(files.OpenFiles(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Cuts, IncompleteFileTest,
    testing::Values(IncompleteCase{"CopyEsc", Operation::Copy, Cut::Esc},
                    IncompleteCase{"CopyCutLine", Operation::Copy, Cut::Line},
                    IncompleteCase{"CopyFullDisk", Operation::Copy, Cut::Disk},
                    IncompleteCase{"MoveEsc", Operation::Move, Cut::Esc},
                    IncompleteCase{"MoveCutLine", Operation::Move, Cut::Line},
                    IncompleteCase{"MoveFullDisk", Operation::Move, Cut::Disk},
                    IncompleteCase{"HostCopyEsc", Operation::HostCopy, Cut::Esc},
                    IncompleteCase{"HostCopyCutLine", Operation::HostCopy, Cut::Line},
                    IncompleteCase{"HostCopyFullDisk", Operation::HostCopy, Cut::Disk},
                    IncompleteCase{"CopyEscRemovalFails", Operation::Copy, Cut::Esc, true},
                    IncompleteCase{"MoveFullDiskRemovalFails", Operation::Move, Cut::Disk, true},
                    IncompleteCase{"HostCopyCutLineRemovalFails", Operation::HostCopy, Cut::Line,
                                   true}),
    [](const testing::TestParamInfo<IncompleteCase>& param) { return param.param.name; });

} // namespace
} // namespace pixlor::transfertest
