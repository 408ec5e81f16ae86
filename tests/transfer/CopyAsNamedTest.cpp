// The host's copy (GetFiles) as the engine plays it, over the recording view:
// each item under its own name, a folder passed by, Esc that skips one file
// with no question, a refusal that passes on, and the failures that stop the
// copy with the report and the hand-back, a failed details read among them.
#include <ostream>
#include <string>
#include <vector>

#include "camera/LinkStatus.h"
#include "fakes/RecordingTransferView.h"
#include "transfer/CopyAsNamed.h"
#include "transfer/TransferFixture.h"

namespace pixlor::transfertest {
namespace {

const std::string kTemp = "C:\\Temp\\";

enum class Twist : uint8_t {
    None,
    FirstIsAFolder,
    EscInTheSecond,     // after its first packet
    SecondRefused,      // the camera refuses the second picture's selection
    SecondUnknown,      // the second item names no picture of the camera
    SecondDetailsFail,  // its details were never read, and the camera refuses them now
    SecondTargetExists, // a file of the user's under the second name
};

struct NamedCase {
    const char* name;
    Twist twist;
    std::vector<std::string> events;
    std::vector<bool> copied;
    std::vector<std::string> removed;
};

void PrintTo(const NamedCase& c, std::ostream* os) {
    *os << c.name;
}

std::string File(const char* name) {
    return "File " + kTemp + name;
}

class CopyAsNamedTest : public TransferFixture, public testing::WithParamInterface<NamedCase> {};

TEST_P(CopyAsNamedTest, CopiesEachItemUnderItsName) {
    const NamedCase& c = GetParam();
    files.AddFolder("C:\\Temp");
    if (c.twist == Twist::SecondTargetExists) {
        files.AddFile(kTemp + "b.jpg", "mine");
    }
    Open({Picture(k17May2002, 1), Picture(k17May2002 + 60, 2), Picture(k17May2002 + 120, 3)},
         c.twist == Twist::SecondDetailsFail ? 1 : 3);
    std::vector<PanelItem> items{
        {"a.jpg", 0, {}, false}, {"b.jpg", 1, {}, false}, {"c.jpg", 2, {}, false}};
    if (c.twist == Twist::FirstIsAFolder) {
        items[0] = PanelItem{"02-05-17", 0, {}, true};
    }
    if (c.twist == Twist::SecondUnknown) {
        items[1].position = 9;
    }
    fakes::RecordingTransferView view;
    view.progress = [this, &c](int call) {
        const bool refuse = c.twist == Twist::SecondRefused || c.twist == Twist::SecondDetailsFail;
        if (refuse && call == 4) { // the first file's last packet is in
            fake.faults.push_back(CameraFault::Refuse);
        }
        return !(c.twist == Twist::EscInTheSecond && call == 6);
    };

    EXPECT_EQ(CopyAsNamed(*panel->camera, view, kTemp, PictureKind::Photo, items), c.copied);

    EXPECT_EQ(view.events, c.events);
    EXPECT_EQ(files.RemovedPaths(), c.removed);
    if (c.twist == Twist::SecondTargetExists) {
        EXPECT_EQ(files.Text(kTemp + "b.jpg"), "mine");
    }
    EXPECT_TRUE(fake.deleted.empty());
    EXPECT_TRUE(HandedBack());
    EXPECT_TRUE(host.Messages().empty()) << "the engine draws no box of its own";
}

const std::string kRefused = "Error " + std::to_string(linkstatus::kSelect);

INSTANTIATE_TEST_SUITE_P(
    Rules, CopyAsNamedTest,
    testing::Values(
        NamedCase{"EachUnderItsName",
                  Twist::None,
                  {"SaveScreen", "Copy 3 files 7500 bytes", File("a.jpg"), "Done 2500",
                   File("b.jpg"), "Done 2500", File("c.jpg"), "Done 2500", "RestoreScreen"},
                  {true, true, true},
                  {}},
        NamedCase{"AFolderHasNoPictureOfItsOwn",
                  Twist::FirstIsAFolder,
                  {"SaveScreen", "Copy 2 files 5000 bytes", File("b.jpg"), "Done 2500",
                   File("c.jpg"), "Done 2500", "RestoreScreen"},
                  {false, true, true},
                  {}},
        // No question: the next file follows, and the abandoned one is removed.
        NamedCase{"EscSkipsOneFile",
                  Twist::EscInTheSecond,
                  {"SaveScreen", "Copy 3 files 7500 bytes", File("a.jpg"), "Done 2500",
                   File("b.jpg"), File("c.jpg"), "Done 2500", "RestoreScreen"},
                  {true, false, true},
                  {kTemp + "b.jpg"}},
        NamedCase{"ARefusedPicturePassesOn",
                  Twist::SecondRefused,
                  {"SaveScreen", "Copy 3 files 7500 bytes", File("a.jpg"), "Done 2500",
                   File("b.jpg"), "Done 2500", File("c.jpg"), "Done 2500", "RestoreScreen"},
                  {true, false, true},
                  {}},
        NamedCase{"AnUnknownPictureStopsWithTheReport",
                  Twist::SecondUnknown,
                  {"SaveScreen", "Copy 3 files 5000 bytes", File("a.jpg"), "Done 2500",
                   "Error " + std::to_string(linkstatus::kInfoRange)},
                  {true, false, false},
                  {}},
        NamedCase{"AFailedDetailsReadStopsWithTheReport",
                  Twist::SecondDetailsFail,
                  {"SaveScreen", "Copy 3 files 2500 bytes", File("a.jpg"), "Done 2500", kRefused},
                  {true, false, false},
                  {}},
        NamedCase{"AnExistingFileIsNeverOpened",
                  Twist::SecondTargetExists,
                  {"SaveScreen", "Copy 3 files 7500 bytes", File("a.jpg"), "Done 2500",
                   File("b.jpg"), "Error " + std::to_string(linkstatus::kPhotoFile)},
                  {true, false, false},
                  {}}),
    [](const testing::TestParamInfo<NamedCase>& param) { return param.param.name; });

} // namespace
} // namespace pixlor::transfertest
