#include <gtest/gtest.h>

#include <cstring>

#include "tools/host/Render.h"

namespace pixlor::host {
namespace {

TEST(Render, BoxSplitsTitleLinesAndButtons) {
    struct Case {
        FarDword flags;
        std::vector<const char*> items;
        int buttons;
        std::vector<std::string> lines, wantButtons;
    } cases[] = {
        {FMSG_WARNING | FMSG_MB_OK, {"Pixlor", "No port"}, 1, {"No port"}, {"OK"}},
        {FMSG_MB_OKCANCEL, {"T", "a", "b"}, 0, {"a", "b"}, {"OK", "Cancel"}},
        {0, {"T", "a", "Yes", "No"}, 2, {"a"}, {"Yes", "No"}},
        {0, {"T", "a", "b"}, 0, {"a", "b"}, {}},
        {0, {"T"}, 5, {}, {}},
    };
    for (const Case& c : cases) {
        const Box box =
            MakeBox(c.flags, "Topic", c.items.data(), static_cast<int>(c.items.size()), c.buttons);
        EXPECT_EQ(box.title, c.items[0]);
        EXPECT_EQ(box.lines, c.lines);
        EXPECT_EQ(box.buttons, c.wantButtons);
        EXPECT_EQ(box.WaitsForAnswer(), !c.wantButtons.empty());
    }
}

TEST(Render, AllInOneBoxIsSplitAtLineEnds) {
    const char* text = "Title\nline\nOK";
    const Box box =
        MakeBox(FMSG_ALLINONE, nullptr, reinterpret_cast<const char* const*>(text), 0, 1);
    EXPECT_EQ(box.title, "Title");
    EXPECT_EQ(box.lines, std::vector<std::string>{"line"});
    EXPECT_EQ(box.buttons, std::vector<std::string>{"OK"});
}

TEST(Render, BoxIsFramedWithItsHelpTopic) {
    const char* items[] = {"Pixlor", "\x01Sep", "text"};
    const auto lines = RenderBox(MakeBox(FMSG_WARNING | FMSG_MB_OK, "Errors", items, 3, 0));
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[0], "[box, warning, help \"Errors\"]");
    EXPECT_NE(lines[1].find(" Pixlor "), std::string::npos);
    EXPECT_NE(lines[2].find("- Sep -"), std::string::npos);
    EXPECT_NE(lines[5].find("[ OK ]"), std::string::npos);
    for (const std::string& line : lines) {
        if (line[0] == '|' || line[0] == '+') {
            EXPECT_EQ(line.size(), lines[1].size()) << line;
        }
    }
}

TEST(Render, DialogShowsValuesStatesAndRows) {
    FarDialogItem items[5] = {};
    items[0].Type = DI_DOUBLEBOX;
    std::strcpy(items[0].Data, "Copy");
    items[1].Type = DI_EDIT;
    items[1].Y1 = 2;
    items[1].X1 = 5;
    items[1].X2 = 14;
    std::strcpy(items[1].Data, "C:\\Out");
    items[2].Type = DI_RADIOBUTTON;
    items[2].Y1 = 3;
    items[2].Selected = 1;
    std::strcpy(items[2].Data, "&Flat");
    items[3].Type = DI_BUTTON;
    items[3].Y1 = 4;
    items[3].DefaultButton = 1;
    std::strcpy(items[3].Data, "Copy");
    items[4].Type = DI_BUTTON;
    items[4].Y1 = 4;
    std::strcpy(items[4].Data, "Cancel");
    const auto lines = RenderDialog(76, 11, "WhereToCopy", items, 5);
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0], "[dialog 76x11, help \"WhereToCopy\"]");
    EXPECT_NE(lines[1].find(" Copy "), std::string::npos);
    EXPECT_NE(lines[2].find("#1 [C:\\Out    ]"), std::string::npos) << lines[2];
    EXPECT_NE(lines[3].find("#2 (*) Flat"), std::string::npos) << lines[3];
    EXPECT_NE(lines[4].find("#3 { Copy }   #4 [ Cancel ]"), std::string::npos) << lines[4];
}

TEST(Render, FileTimesInUtcAndBlankWithoutHighPart) {
    struct Case {
        std::uint64_t ticks;
        const char* text;
    } cases[] = {{116444736000000000u, "1970-01-01 00:00:00"},
                 {126661053300000000u, "2002-05-17 10:35:30"},
                 {119600064000000000u, "1980-01-01 00:00:00"},
                 {159992064000000000u, "2107-12-31 00:00:00"}};
    for (const Case& c : cases) {
        EXPECT_EQ(FormatTicks(c.ticks), c.text);
    }
    EXPECT_EQ(FormatFileTime(FarFileTime{5, 0}), std::string(19, ' '));
}

TEST(Render, PanelItemLine) {
    PluginPanelItem item{};
    std::strcpy(item.FindData.cFileName, "pic17.05.2002_001.jpg");
    std::strcpy(item.FindData.cAlternateFileName, "001");
    item.FindData.nFileSizeLow = 20480;
    item.FindData.dwFileAttributes = FILE_ATTRIBUTE_ARCHIVE;
    item.FindData.ftLastWriteTime = FarFileTime{static_cast<FarDword>(126661053300000000u),
                                                static_cast<FarDword>(126661053300000000u >> 32)};
    item.Flags = PPIF_SELECTED;
    EXPECT_EQ(FormatItem(item),
              "* pic17.05.2002_001.jpg           20480  2002-05-17 10:35:30  -A---  001");
}

TEST(Render, ProgressBarsAndCyrillicShowInUtf8) {
    // The progress bars' full block and medium shade, the same in both code pages.
    for (const int codePage : {437, 866}) {
        EXPECT_EQ(OemToUtf8("[\xDB\xDB\xB1]", codePage), "[\u2588\u2588\u2592]");
    }
    EXPECT_EQ(OemToUtf8("\x8A\xA0\xAC\xA5\xE0\xA0 Pixlor", 866),
              "\u041A\u0430\u043C\u0435\u0440\u0430 Pixlor");
    EXPECT_EQ(OemToUtf8("\x8A\xA0", 437), "\u00E8\u00E1");
    EXPECT_EQ(OemToUtf8("\xF0\xFC\xFF", 866), "\u0401\u2116\u00A0");
    // ASCII and the separator marks pass unchanged.
    const std::string ascii("plain \x01 text\x7F", 13);
    EXPECT_EQ(OemToUtf8(ascii, 437), ascii);
    EXPECT_EQ(OemToUtf8("", 866), "");
}

TEST(Render, CodePageFollowsTheLanguage) {
    EXPECT_EQ(OemCodePageFor("Russian"), 866);
    EXPECT_EQ(OemCodePageFor("russian"), 866);
    EXPECT_EQ(OemCodePageFor("English"), 437);
    EXPECT_EQ(OemCodePageFor(""), 437);
}

TEST(Render, ReplaceAllNormalisesEveryOccurrence) {
    EXPECT_EQ(ReplaceAll("/t/out\\a /t/out", "/t/out", "<passive>"), "<passive>\\a <passive>");
    EXPECT_EQ(ReplaceAll("abc", "", "x"), "abc");
}

} // namespace
} // namespace pixlor::host
