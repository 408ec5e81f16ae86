#include <gtest/gtest.h>

#include "PartsSupport.h"
#include "tools/host/PanelModel.h"
#include "tools/host/Render.h"

namespace pixlor::host {
namespace {

// A plugin panel the tests set up: what GetOpenPluginInfo and GetFindData say.
struct FakePlugin {
    OpenPluginInfo info{};
    KeyBarTitles keyBar{};
    std::vector<PluginPanelItem> items;
    bool listFails = false;
    int freed = 0;
    int closed = 0;
};
FakePlugin* plugin = nullptr;

void PIXLOR_WINAPI GetOpenPluginInfo(HANDLE, OpenPluginInfo* info) {
    *info = plugin->info;
}
int PIXLOR_WINAPI GetFindData(HANDLE, PluginPanelItem** items, int* count, int) {
    if (plugin->listFails) {
        return 0;
    }
    *items = plugin->items.data();
    *count = static_cast<int>(plugin->items.size());
    return 1;
}
void PIXLOR_WINAPI FreeFindData(HANDLE, PluginPanelItem*, int) {
    ++plugin->freed;
}
void PIXLOR_WINAPI ClosePlugin(HANDLE) {
    ++plugin->closed;
}

struct Fixture {
    FakePlugin fake;
    Exports exports;
    hostkit::HostKit kit;
    testing::CapturedTranscript out;
    PanelModel panels{exports, kit, out.transcript};
    HANDLE handle = reinterpret_cast<HANDLE>(std::uintptr_t{0x1234});

    Fixture() {
        plugin = &fake;
        exports.GetOpenPluginInfo = GetOpenPluginInfo;
        exports.GetFindData = GetFindData;
        exports.FreeFindData = FreeFindData;
        exports.ClosePlugin = ClosePlugin;
        fake.info.StructSize = kOpenPluginInfoSize;
        fake.info.Flags = OPIF_ADDDOTS;
        fake.info.CurDir = "02-05-17";
        fake.items = {hostkit::MakePanelItem("a.jpg", 10), hostkit::MakePanelItem("b.jpg", 20)};
        panels.Adopt(handle);
    }
    ~Fixture() { plugin = nullptr; }

    std::vector<std::string> Names(bool selectedOnly = false) const {
        std::vector<std::string> names;
        for (const PluginPanelItem& item : panels.Items()) {
            if (!selectedOnly || (item.Flags & PPIF_SELECTED)) {
                names.push_back(ItemName(item));
            }
        }
        return names;
    }
};

TEST(PanelModel, AddsTheHostsDotsOnceAndKeepsTheSelectionByNameWhenAsked) {
    Fixture f;
    ASSERT_TRUE(f.panels.Read(false));
    EXPECT_EQ(f.Names(), (std::vector<std::string>{"..", "a.jpg", "b.jpg"}));
    EXPECT_EQ(f.panels.PluginItems(), 2);
    EXPECT_EQ(f.panels.CurDir(), "02-05-17");

    Command select;
    select.op = Op::Select;
    select.names = {"b.jpg"};
    ASSERT_TRUE(f.panels.Select(select));
    f.fake.items.insert(f.fake.items.begin(), hostkit::MakePanelItem(".."));
    ASSERT_TRUE(f.panels.Read(true));
    EXPECT_EQ(f.Names(), (std::vector<std::string>{"..", "a.jpg", "b.jpg"})) << "no second ..";
    EXPECT_EQ(f.Names(true), std::vector<std::string>{"b.jpg"});
    ASSERT_TRUE(f.panels.Read(false));
    EXPECT_TRUE(f.Names(true).empty());
    EXPECT_EQ(f.fake.freed, 3);
    EXPECT_TRUE(f.panels.FindDataBalanced());
}

TEST(PanelModel, ShowsTheKeyBarRowsTheRecordHoldsWithLabelsCutToNineCharacters) {
    for (const bool older : {false, true}) {
        Fixture f;
        f.fake.keyBar.Titles[4] = "CopyPictures";
        f.fake.keyBar.ShiftTitles[4] = "";
        f.fake.keyBar.CtrlAltTitles[4] = "Both";
        f.fake.info.KeyBar = &f.fake.keyBar;
        f.fake.info.StructSize = older ? kOpenPluginInfoSize - 8 : kOpenPluginInfoSize;
        ASSERT_TRUE(f.panels.Read(false));
        f.panels.Print(true, false);
        const std::string text = f.out.Text();
        EXPECT_NE(text.find("  keys plain: F5=CopyPictu\n"), std::string::npos) << text;
        EXPECT_NE(text.find("  keys Shift+: Shift+F5=\"\"\n"), std::string::npos) << text;
        EXPECT_EQ(text.find("Ctrl+Alt+F5=Both") != std::string::npos, !older) << text;
    }
}

TEST(PanelModel, AFailedListingClosesThePanel) {
    Fixture f;
    f.fake.listFails = true;
    EXPECT_FALSE(f.panels.Read(false));
    EXPECT_FALSE(f.panels.IsOpen());
    EXPECT_EQ(f.fake.closed, 1);
    EXPECT_EQ(f.fake.freed, 0) << "nothing was handed out";
    EXPECT_TRUE(f.panels.FindDataBalanced());
    EXPECT_EQ(f.out.Text(), "ClosePlugin (GetFindData failed)\n");
}

TEST(PanelModel, CopiesTheNamedTheSelectedOrTheCursorItem) {
    const struct {
        std::vector<std::string> selected;
        std::vector<std::string> names;
        bool ok;
        std::vector<std::string> chosen;
    } cases[] = {
        {{}, {}, true, {"a.jpg"}},               // the cursor item, never ".."
        {{"b.jpg"}, {}, true, {"b.jpg"}},        // the selection
        {{"b.jpg"}, {"a.jpg"}, true, {"a.jpg"}}, // the names, whatever is selected
        {{}, {".."}, false, {}},
        {{}, {"c.jpg"}, false, {}},
    };
    for (const auto& c : cases) {
        Fixture f;
        ASSERT_TRUE(f.panels.Read(false));
        if (!c.selected.empty()) {
            Command select;
            select.names = c.selected;
            ASSERT_TRUE(f.panels.Select(select));
        }
        std::vector<PluginPanelItem> chosen;
        EXPECT_EQ(f.panels.ItemsFor(c.names, chosen), c.ok);
        EXPECT_EQ(f.out.transcript.Failed(), !c.ok);
        std::vector<std::string> names;
        for (const PluginPanelItem& item : chosen) {
            names.push_back(ItemName(item));
            EXPECT_TRUE(c.names.empty() || (item.Flags & PPIF_SELECTED)) << "passed as selected";
        }
        EXPECT_EQ(names, c.chosen);
    }
}

TEST(PanelModel, PutsTheCursorOnANamedItemOnly) {
    Fixture f;
    ASSERT_TRUE(f.panels.Read(false));
    EXPECT_TRUE(f.panels.PutCursor("b.jpg"));
    EXPECT_EQ(f.kit.activePanel.currentItem, 2) << "behind the host's ..";
    EXPECT_TRUE(f.panels.PutCursor(".."));
    EXPECT_EQ(f.kit.activePanel.currentItem, 0);
    EXPECT_FALSE(f.panels.PutCursor("c.jpg"));
    EXPECT_EQ(f.kit.activePanel.currentItem, 0);
    EXPECT_TRUE(f.out.transcript.Failed());
}

TEST(PanelModel, ACopyClearsTheSelectionOfWhatThePluginCopied) {
    for (const int result : {1, 0}) {
        Fixture f;
        ASSERT_TRUE(f.panels.Read(false));
        Command all;
        all.select = SelectHow::All;
        ASSERT_TRUE(f.panels.Select(all));
        std::vector<PluginPanelItem> passed;
        ASSERT_TRUE(f.panels.ItemsFor({}, passed));
        passed[0].Flags &= ~PPIF_SELECTED; // the plugin deselects what it copied
        f.panels.DeselectCopied({"a.jpg", "b.jpg"}, passed, result);
        EXPECT_EQ(f.Names(true),
                  result == 1 ? std::vector<std::string>{} : std::vector<std::string>{"b.jpg"});
    }
}

TEST(PanelModel, ClosesWhenThePluginAsksOnceItsCallHasReturned) {
    Fixture f;
    ASSERT_TRUE(f.panels.Read(false));
    f.panels.Control(f.handle, FCTL_CLOSEPLUGIN, nullptr);
    EXPECT_TRUE(f.panels.IsOpen()) << "not while the plugin's call runs";
    EXPECT_TRUE(f.panels.CloseRequested());
    f.panels.CloseIfRequested();
    EXPECT_FALSE(f.panels.IsOpen());
    EXPECT_TRUE(f.panels.Items().empty());
    EXPECT_NE(f.out.Text().find("ClosePlugin (FCTL_CLOSEPLUGIN)"), std::string::npos);
}

} // namespace
} // namespace pixlor::host
