#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/hostkit/HostKit.h"

namespace pixlor::hostkit {
namespace {

// The panel update of the unit tests' host: it re-reads and, as the host
// does, clears the selection on a null parameter and keeps it by name on any
// other. The plugin's mends of lost selections rest on this.
struct UpdateCase {
    const char* name;
    int command;
    bool keep;                       // a non-null parameter
    bool reread;                     // the plugin lists other items now
    std::vector<std::string> active; // selected names afterwards
    std::vector<std::string> passive;
};

class HostKitUpdateTest : public testing::TestWithParam<UpdateCase> {};

std::vector<std::string> SelectedNames(const Panel& panel) {
    std::vector<std::string> names;
    for (const PluginPanelItem& item : panel.items) {
        if ((item.Flags & PPIF_SELECTED) != 0) {
            names.emplace_back(item.FindData.cFileName);
        }
    }
    return names;
}

TEST_P(HostKitUpdateTest, ClearsOrKeepsTheSelectionAsTheParameterSays) {
    const UpdateCase& c = GetParam();
    HostKit kit;
    kit.activePanel.items = {MakePanelItem("a.jpg", 1, 0, PPIF_SELECTED), MakePanelItem("b.jpg"),
                             MakePanelItem("c.jpg", 1, 2, PPIF_SELECTED)};
    kit.passivePanel.items = {MakePanelItem("x.jpg", 1, 0, PPIF_SELECTED)};
    if (c.reread) {
        // "a.jpg" is gone, the others are listed again under the same names.
        kit.rereadItems = [] {
            return std::vector<PluginPanelItem>{MakePanelItem("b.jpg", 1, 0),
                                                MakePanelItem("c.jpg", 1, 1)};
        };
    }
    int keep = 1;

    EXPECT_EQ(kit.Control(nullptr, c.command, c.keep ? &keep : nullptr), 1);

    EXPECT_EQ(SelectedNames(kit.activePanel), c.active);
    EXPECT_EQ(SelectedNames(kit.passivePanel), c.passive);
    const bool ownPanelReread = c.reread && c.command == FCTL_UPDATEPANEL;
    EXPECT_EQ(kit.activePanel.items.size(), ownPanelReread ? 2u : 3u);
}

INSTANTIATE_TEST_SUITE_P(
    Update, HostKitUpdateTest,
    testing::Values(
        UpdateCase{"NullClears", FCTL_UPDATEPANEL, false, false, {}, {"x.jpg"}},
        UpdateCase{"OtherKeeps", FCTL_UPDATEPANEL, true, false, {"a.jpg", "c.jpg"}, {"x.jpg"}},
        UpdateCase{"NullClearsAfterRereading", FCTL_UPDATEPANEL, false, true, {}, {"x.jpg"}},
        UpdateCase{"OtherKeepsByName", FCTL_UPDATEPANEL, true, true, {"c.jpg"}, {"x.jpg"}},
        UpdateCase{"AnotherPanel", FCTL_UPDATEANOTHERPANEL, false, true, {"a.jpg", "c.jpg"}, {}}),
    [](const testing::TestParamInfo<UpdateCase>& param) { return param.param.name; });

// MkTemp as the plugin reaches it, through the record's FSF: a fresh name a
// call in the kit's folder, nothing past the host's NM characters.
TEST(HostKitMkTempTest, NamesEachCallAfreshAndRefusesWhatWouldNotFit) {
    HostKit kit;
    kit.tempFolder = "C:\\Tmp";
    const PluginStartupInfo info = kit.MakeStartupInfo();
    char name[NM] = {};
    EXPECT_EQ(info.FSF->MkTemp(name, "PXV"), name);
    EXPECT_STREQ(name, "C:\\Tmp\\PXV000001");
    info.FSF->MkTemp(name, "PXV");
    EXPECT_STREQ(name, "C:\\Tmp\\PXV000002");
    EXPECT_EQ(info.FSF->MkTemp(name, ""), nullptr);
    kit.tempFolder = std::string(NM, 'x');
    EXPECT_EQ(info.FSF->MkTemp(name, "PXV"), nullptr);
    EXPECT_STREQ(name, "");
}

TEST(HostKitViewerTest, RecordsTheCallAndAnswersAsTheTestSays) {
    HostKit kit;
    const PluginStartupInfo info = kit.MakeStartupInfo();
    EXPECT_EQ(info.Viewer("C:\\a.jpg", nullptr, 0, 0, -1, -1, VF_DELETEONCLOSE), 1);
    kit.onViewer = [](ViewerCall& call) {
        call.fileFound = true;
        call.fileSize = 12;
        return 0;
    };
    EXPECT_EQ(info.Viewer("C:\\b.jpg", "b", 1, 2, 3, 4, 0), 0);
    ASSERT_EQ(kit.viewers.size(), 2u);
    EXPECT_EQ(kit.viewers[0].fileName, "C:\\a.jpg");
    EXPECT_FALSE(kit.viewers[0].hadTitle);
    EXPECT_EQ(kit.viewers[0].flags, VF_DELETEONCLOSE);
    EXPECT_EQ(kit.viewers[1].title, "b");
    EXPECT_EQ(kit.viewers[1].y2, 4);
    EXPECT_EQ(kit.viewers[1].fileSize, 12u);
    EXPECT_EQ(kit.viewers[1].answer, 0);
}

} // namespace
} // namespace pixlor::hostkit
