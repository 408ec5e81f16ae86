#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "fakes/FoldingNameRules.h"
#include "host/MessageIds.h"
#include "plugin/PanelListing.h"
#include "tests/plugin/PanelFixture.h"
#include "transfer/PictureTime.h"

namespace pixlor {
namespace {

using Names = std::vector<std::string>;

PictureRecord Taken(uint8_t day, uint8_t hour, uint8_t minute, uint8_t second) {
    return PictureRecord{true, 0, 0, day, 5, 2002, hour, minute, second};
}

FileTime TimeOf(const FarFileTime& time) {
    return FileTime{time.dwLowDateTime, time.dwHighDateTime};
}

class PanelListingTest : public PanelFixture {
protected:
    void OpenThree() {
        ThreePictures();
        ASSERT_TRUE(Open());
    }
    const FileTime first17 = PictureFileTime(Taken(17, 9, 5, 30));
    const FileTime second17 = PictureFileTime(Taken(17, 10, 0, 0));
    const FileTime first18 = PictureFileTime(Taken(18, 8, 0, 0));
};

TEST_F(PanelListingTest, TheDefaultTemplatesGroupThePicturesByDay) {
    OpenThree();
    const size_t traffic = device.calls.size();
    const Listing top = List();
    EXPECT_EQ(top.result, 1);
    ASSERT_EQ(top.Names(), (Names{"02-05-17", "02-05-18"}));
    EXPECT_EQ(panel->listingFlags, kListingFolders);
    const struct {
        uint32_t size;
        FileTime firstTime, lastTime;
    } expected[] = {{11000, first17, second17}, {7000, first18, first18}};
    for (size_t i = 0; i < 2; ++i) {
        const PluginPanelItem& item = top.items[i];
        EXPECT_EQ(+item.FindData.dwFileAttributes, 0x30u);
        EXPECT_EQ(+item.FindData.nFileSizeLow, expected[i].size);
        EXPECT_EQ(+item.PackSize, expected[i].size);
        EXPECT_EQ(+item.FindData.nFileSizeHigh | item.PackSizeHigh, 0u);
        EXPECT_EQ(TimeOf(item.FindData.ftCreationTime), expected[i].firstTime);
        EXPECT_EQ(TimeOf(item.FindData.ftLastAccessTime), expected[i].lastTime);
        EXPECT_EQ(TimeOf(item.FindData.ftLastWriteTime), expected[i].lastTime);
        EXPECT_STREQ(item.FindData.cAlternateFileName, item.FindData.cFileName);
        EXPECT_EQ(+item.UserData, 0u);
    }

    ASSERT_EQ(panel->SetDirectory("02-05-17"), 1);
    EXPECT_EQ(panel->listingFlags, kListingInsideFolder);
    const Listing inside = List();
    ASSERT_EQ(inside.Names(), (Names{"pic17.05.2002_001.jpg", "pic17.05.2002_002.jpg"}));
    EXPECT_EQ(panel->listingFlags, kListingInsideFolder);
    const FileTime times[] = {first17, second17};
    for (uint32_t i = 0; i < 2; ++i) {
        const PluginPanelItem& item = inside.items[i];
        EXPECT_EQ(+item.FindData.dwFileAttributes, 0x20u);
        EXPECT_EQ(+item.FindData.nFileSizeLow, 5000u + 1000u * i);
        EXPECT_EQ(+item.PackSize, 5000u + 1000u * i);
        EXPECT_EQ(TimeOf(item.FindData.ftCreationTime), times[i]);
        EXPECT_EQ(TimeOf(item.FindData.ftLastAccessTime), times[i]);
        EXPECT_EQ(TimeOf(item.FindData.ftLastWriteTime), times[i]);
        EXPECT_EQ(std::string(item.FindData.cAlternateFileName), i == 0 ? "001" : "002");
        EXPECT_EQ(+item.UserData, i);
        EXPECT_EQ(+item.Flags, 0u);
    }
    EXPECT_EQ(host.Kit().CountControls(FCTL_GETANOTHERPANELINFO), 1);

    // A sibling is found from inside a folder too.
    ASSERT_EQ(panel->SetDirectory("02-05-18"), 1);
    const Listing sibling = List();
    ASSERT_EQ(sibling.Names(), (Names{"pic18.05.2002_001.jpg"}));
    EXPECT_EQ(+sibling.items[0].UserData, 2u);
    EXPECT_STREQ(sibling.items[0].FindData.cAlternateFileName, "003");
    EXPECT_EQ(device.calls.size(), traffic) << "a listing talked to the camera";
}

struct NumberingCase {
    const char* name;
    NumberingMode numberingMode;
    Names expected;
};

class PanelNumbering : public PanelListingTest,
                       public testing::WithParamInterface<NumberingCase> {};

TEST_P(PanelNumbering, TheRunningNumberGoesOnAcrossPrefixes) {
    const NumberingCase& c = GetParam();
    SetText("PhotoPath", "");
    host.PassivePanel().items = {hostkit::MakePanelItem("pic17.05.2002_007.jpg"),
                                 hostkit::MakePanelItem("pic17.05.2002_3.jpg")};
    OpenThree();
    panel->numberingMode = c.numberingMode;
    const Listing listing = List();
    EXPECT_EQ(listing.Names(), c.expected);
    EXPECT_EQ(panel->listingFlags, kListingPictures);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, PanelNumbering,
    testing::Values(
        NumberingCase{"AfterTheOtherPanel",
                      NumberingMode::AfterOtherPanel,
                      {"pic17.05.2002_008.jpg", "pic17.05.2002_009.jpg", "pic18.05.2002_010.jpg"}},
        NumberingCase{"FromOne",
                      NumberingMode::FromOne,
                      {"pic17.05.2002_001.jpg", "pic17.05.2002_002.jpg", "pic18.05.2002_003.jpg"}}),
    [](const auto& param) { return std::string(param.param.name); });

TEST_F(PanelListingTest, WithoutAFolderTemplateEveryPictureIsAFile) {
    SetText("PhotoPath", "");
    OpenThree();
    EXPECT_EQ(List().Names(),
              (Names{"pic17.05.2002_001.jpg", "pic17.05.2002_002.jpg", "pic18.05.2002_003.jpg"}));
    EXPECT_EQ(panel->listingFlags, kListingPictures);
}

class PanelShortNames : public PanelListingTest, public testing::WithParamInterface<uint32_t> {};

TEST_P(PanelShortNames, TheShortNameIsThePictureNumberInThreeDigits) {
    SetText("PhotoPath", "");
    SetNumber("PhotoSuffix", GetParam());
    for (uint32_t i = 0; i < 12; ++i) {
        AddPicture(k17May0905 + i, 100, 10);
    }
    ASSERT_TRUE(Open());
    const Listing listing = List();
    ASSERT_EQ(listing.items.size(), 12u);
    EXPECT_STREQ(listing.items[11].FindData.cAlternateFileName, "012");
    const std::string digits = GetParam() == 5 ? "00012" : "012";
    EXPECT_EQ(listing.Names()[11], "pic17.05.2002_" + digits + ".jpg");
}

INSTANTIATE_TEST_SUITE_P(DigitCounts, PanelShortNames, testing::Values(3u, 5u));

TEST_F(PanelListingTest, ALongFolderNameHasAThirteenCharacterShortName) {
    SetText("PhotoPath", "abcdefghijklmnop%4Y");
    OpenThree();
    const Listing listing = List();
    ASSERT_EQ(listing.Names(), (Names{"abcdefghijklmnop2002"}));
    EXPECT_STREQ(listing.items[0].FindData.cAlternateFileName, "abcdefghijklm");
    EXPECT_EQ(+listing.items[0].FindData.nFileSizeLow, 18000u);
}

TEST_F(PanelListingTest, AnUnknownFolderIsRefusedAndTheRootAlwaysFound) {
    OpenThree();
    List();
    EXPECT_EQ(panel->SetDirectory("02-05-19"), 0);
    EXPECT_EQ(panel->listingFlags, 0);
    EXPECT_FALSE(panel->currentFolder);

    ASSERT_EQ(panel->SetDirectory("02-05-18"), 1);
    EXPECT_EQ(panel->SetDirectory("elsewhere"), 0);
    EXPECT_EQ(panel->listingFlags, 0);
    EXPECT_EQ(panel->currentFolder, std::optional<size_t>(1)) << "the folder is kept";
    EXPECT_EQ(List().Names(), (Names{"pic18.05.2002_001.jpg"}));

    for (const char* root : {"..", "\\"}) {
        ASSERT_EQ(panel->SetDirectory("02-05-17"), 1);
        EXPECT_EQ(panel->SetDirectory(root), 1) << root;
        EXPECT_EQ(panel->listingFlags, 0);
        EXPECT_FALSE(panel->currentFolder);
        EXPECT_EQ(List().Names(), (Names{"02-05-17", "02-05-18"}));
    }
}

TEST_F(PanelListingTest, AFolderWithNoMatchingPictureListsNothing) {
    OpenThree();
    List();
    ASSERT_EQ(panel->SetDirectory("02-05-17"), 1);
    SetText("PhotoPath", "%4Y"); // read afresh: no picture's folder is 02-05-17 now
    const Listing listing = List();
    EXPECT_EQ(listing.result, 1);
    EXPECT_TRUE(listing.nullArray);
    EXPECT_TRUE(listing.items.empty());
}

TEST_F(PanelListingTest, ThumbnailsInsideAPhotoFolderListNothingUntilTheTopLevel) {
    OpenThree();
    List();
    ASSERT_EQ(panel->SetDirectory("02-05-17"), 1);
    panel->viewKind = PictureKind::Thumbnail;
    const Listing inside = List();
    EXPECT_EQ(inside.result, 1);
    EXPECT_TRUE(inside.nullArray);

    ASSERT_EQ(panel->SetDirectory(".."), 1);
    const Listing top = List();
    ASSERT_EQ(top.Names(), (Names{"thumb17.05.2002_001.jpg", "thumb17.05.2002_002.jpg",
                                  "thumb18.05.2002_003.jpg"}));
    EXPECT_EQ(+top.items[2].FindData.nFileSizeLow, 500u);
    EXPECT_EQ(+top.items[2].PackSize, 500u);
    EXPECT_EQ(panel->listingFlags, kListingPictures);
}

TEST_F(PanelListingTest, ANameTooLongForTheHostIsCutToFit) {
    SetText("PhotoPath", "");
    SetText("PhotoPrefix", std::string(256, 'a'));
    AddPicture(k17May0905, 100, 10);
    ASSERT_TRUE(Open());
    const Listing listing = List();
    ASSERT_EQ(listing.items.size(), 1u);
    const FAR_FIND_DATA& data = listing.items[0].FindData;
    ASSERT_NE(std::memchr(data.cFileName, '\0', sizeof data.cFileName), nullptr);
    EXPECT_EQ(std::string(data.cFileName), std::string(256, 'a') + "001");
    EXPECT_STREQ(data.cAlternateFileName, "001") << "the short name was overwritten";
}

TEST_F(PanelListingTest, AStoredTemplateThatFailsGivesAnEmptyPrefix) {
    SetText("PhotoPath", "");
    SetText("PhotoPrefix", "bad%q");
    AddPicture(k17May0905, 100, 10);
    ASSERT_TRUE(Open());
    EXPECT_EQ(List().Names(), (Names{"001.jpg"}));
}

struct KeyBarCase {
    const char* name;
    PictureKind viewKind;
    NumberingMode numberingMode;
    int copyBase, moveBase, f7, ctrlF7;
};

constexpr PictureKind kPhoto = PictureKind::Photo, kThumb = PictureKind::Thumbnail;
constexpr NumberingMode kAfter = NumberingMode::AfterOtherPanel, kFromOne = NumberingMode::FromOne;

class PanelKeyBar : public PanelListingTest, public testing::WithParamInterface<KeyBarCase> {};

TEST_P(PanelKeyBar, LabelsFollowTheViewAndTheNumbering) {
    const KeyBarCase& c = GetParam();
    OpenThree();
    panel->viewKind = c.viewKind;
    panel->numberingMode = c.numberingMode;
    OpenPluginInfo info{};
    panel->GetOpenPluginInfo(info);
    ASSERT_EQ(info.KeyBar, &panelKeyBar);
    // Rows as the labels are numbered: plain, Shift, Ctrl, Ctrl+Shift, Alt, Alt+Shift, Ctrl+Alt.
    const char* const* rows[] = {panelKeyBar.Titles,       panelKeyBar.ShiftTitles,
                                 panelKeyBar.CtrlTitles,   panelKeyBar.CtrlShiftTitles,
                                 panelKeyBar.AltTitles,    panelKeyBar.AltShiftTitles,
                                 panelKeyBar.CtrlAltTitles};
    for (int r = 0; r < 7; ++r) {
        for (int key = 0; key < 12; ++key) {
            const char* label = rows[r][key];
            const bool own = key >= 2 && key <= 7; // F3 to F8
            ASSERT_EQ(label != nullptr, own) << "row " << r << " F" << key + 1;
            if (!own) {
                continue;
            }
            std::string expected;
            if (key == 2 && r == 0) {
                expected = host.Text(MKeyView);
            } else if (key == 4) {
                expected = host.Text(c.copyBase + r);
            } else if (key == 5) {
                expected = host.Text(c.moveBase + r);
            } else if (key == 6 && r == 0) {
                expected = host.Text(c.f7);
            } else if (key == 6 && r == 2) {
                expected = host.Text(c.ctrlF7);
            }
            EXPECT_EQ(label, expected) << "row " << r << " F" << key + 1;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Views, PanelKeyBar,
    testing::Values(KeyBarCase{"Photos", kPhoto, kAfter, 3, 17, 31, 33},
                    KeyBarCase{"PhotosFromOne", kPhoto, kFromOne, 3, 17, 31, 34},
                    KeyBarCase{"Thumbnails", kThumb, kAfter, 10, 24, 32, 33},
                    KeyBarCase{"ThumbnailsFromOne", kThumb, kFromOne, 10, 24, 32, 34}),
    [](const auto& param) { return std::string(param.param.name); });

TEST_F(PanelListingTest, ThePropertiesAddDotsAndTheFolderOnlyInsideAFolder) {
    OpenThree();
    OpenPluginInfo top{};
    panel->GetOpenPluginInfo(top);
    EXPECT_EQ(top.StructSize, kOpenPluginInfoSize); // 72 on 32-bit Windows
    EXPECT_EQ(top.Flags, 0x5B7u);
    EXPECT_STREQ(top.CurDir, "");
    EXPECT_EQ(top.HostFile, nullptr);
    EXPECT_EQ(top.Format, host.Text(MPluginName));
    EXPECT_EQ(top.PanelTitle, host.Text(MPluginName));
    EXPECT_EQ(top.StartSortMode, SM_NAME);
    EXPECT_EQ(top.StartSortOrder, 0);
    EXPECT_EQ(top.InfoLinesNumber | top.DescrFilesNumber | top.PanelModesNumber, 0);
    EXPECT_EQ(top.StartPanelMode, 0);

    List();
    ASSERT_EQ(panel->SetDirectory("02-05-18"), 1);
    OpenPluginInfo inside{};
    panel->GetOpenPluginInfo(inside);
    EXPECT_EQ(inside.Flags, 0x5BFu);
    EXPECT_STREQ(inside.CurDir, "02-05-18");
}

TEST_F(PanelListingTest, ThePanelNumberFollowsTheLargestMatch) {
    std::vector<PluginPanelItem> items;
    for (const char* name :
         {"..", "pic17.05.2002_001.jpg", "pic17.05.2002_007.jpg", "PIC17.05.2002_005.JPG",
          "pic17.05.2002_01.jpg", "pic17.05.2002_050.jpeg"}) {
        items.push_back(hostkit::MakePanelItem(name));
    }
    PanelInfo other{};
    other.PanelItems = items.data();
    other.ItemsNumber = static_cast<int>(items.size());
    const fakes::FoldingNameRules names;
    EXPECT_EQ(NextNumberInPanel(names, 3, "pic17.05.2002_", other), 8u);
    other.ItemsNumber = 1;
    EXPECT_EQ(NextNumberInPanel(names, 3, "pic17.05.2002_", other), 1u);
}

} // namespace
} // namespace pixlor
