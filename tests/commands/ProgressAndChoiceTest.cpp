#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "commands/KeyCommands.h"
#include "commands/ProgressBox.h"
#include "fakes/FakeHost.h"
#include "host/MessageIds.h"
#include "transfer/DeletePictures.h"
#include "transfer/DownloadPictures.h"

namespace pixlor {
namespace {

int FullCells(const std::string& bar) {
    return static_cast<int>(std::count(bar.begin(), bar.end(), kFullCell));
}

struct BarCase {
    uint32_t received;
    uint32_t size;
    uint32_t percent;
    int full;
};

class BarTest : public testing::TestWithParam<BarCase> {};

TEST_P(BarTest, PercentAndCells) {
    const BarCase c = GetParam();
    const uint32_t percent = PercentOf(c.received, c.size);
    EXPECT_EQ(percent, c.percent);
    const std::string bar = ProgressBar(percent);
    ASSERT_EQ(bar.size(), 52u);
    EXPECT_EQ(bar.front(), '[');
    EXPECT_EQ(bar.back(), ']');
    EXPECT_EQ(FullCells(bar), c.full);
    EXPECT_EQ(std::count(bar.begin(), bar.end(), kShadeCell), 50 - c.full);
    // Full cells come first.
    EXPECT_EQ(bar.find(kShadeCell), c.full == 50 ? std::string::npos : size_t(c.full) + 1);
}

INSTANTIATE_TEST_SUITE_P(Progress, BarTest,
                         testing::Values(BarCase{0, 1000, 0, 0}, BarCase{1, 1000, 0, 0},
                                         BarCase{490, 1000, 49, 24}, BarCase{500, 1000, 50, 25},
                                         BarCase{999, 1000, 99, 49}, BarCase{1000, 1000, 100, 50},
                                         BarCase{0, 0, 100, 50}, BarCase{7, 0, 100, 50}));

TEST(PercentTest, LargeBatchesDoNotWrapRound) {
    // 50 pictures of a megabyte: part * 100 passes 32 bits.
    EXPECT_EQ(PercentOf(25'000'000, 50'000'000), 50u);
    EXPECT_EQ(PercentOf(4'000'000'000u, 4'000'000'000u), 100u);
}

TEST(DownloadProgressBoxTest, SevenLeftAlignedLinesWithoutButtons) {
    FakeHost host;
    host.Start();
    DownloadProgressBox box(6, 3000);
    const std::string path = "D:\\Photos\\a very long folder name that goes on\\and on and "
                             "on\\pic17.05.2002_001.jpg";
    box.StartFile(path);
    box.FinishFile(1000);
    EXPECT_TRUE(box.Update(0, 0));
    const MessageCall& m = host.LastMessage();
    EXPECT_EQ(m.flags, FMSG_LEFTALIGN);
    EXPECT_FALSE(m.hadHelpTopic);
    EXPECT_EQ(m.buttons, 0);
    ASSERT_EQ(m.lines.size(), 7u);
    EXPECT_EQ(m.lines[0], host.Text(MCopyTitle));
    EXPECT_EQ(m.lines[1].size(), 52u);
    EXPECT_EQ(m.lines[1].substr(m.lines[1].size() - 21), "pic17.05.2002_001.jpg");
    EXPECT_EQ(m.lines[2], "File 1: 0 of 0 bytes (100%)") << "an empty file is complete";
    EXPECT_EQ(FullCells(m.lines[3]), 50);
    EXPECT_EQ(m.lines[4], "6 files: 1000 of 3000 bytes (33%)");
    EXPECT_EQ(FullCells(m.lines[5]), 16);
    EXPECT_EQ(m.lines[6], host.Text(MPressEscToAbort));
}

struct ChoiceCase {
    PictureKind viewKind;
    unsigned modifiers;
    CopyChoice expected;
    const char* prompt;
};

class ChoiceTest : public testing::TestWithParam<ChoiceCase> {};

constexpr unsigned kShift = PKF_SHIFT, kCtrl = PKF_CONTROL, kAlt = PKF_ALT;

TEST_P(ChoiceTest, ModifiersChooseKindsAndFolders) {
    FakeHost host;
    host.Start();
    const ChoiceCase c = GetParam();
    const CopyChoice choice = ChooseCopy(c.viewKind, c.modifiers);
    EXPECT_EQ(choice.kindsMode, c.expected.kindsMode);
    EXPECT_EQ(choice.kind, c.expected.kind);
    EXPECT_EQ(choice.folderKind, c.expected.folderKind);
    EXPECT_EQ(CopyPrompt("Copy", choice), c.prompt);
}

// {kindsMode, kind, folderKind}.
constexpr KindsMode One = KindsMode::OneKind, Each = KindsMode::EachKindOwnFolder,
                    Both = KindsMode::BothKinds, Other = KindsMode::BothKindsOther;
constexpr PictureKind P = PictureKind::Photo, T = PictureKind::Thumbnail;

INSTANTIATE_TEST_SUITE_P(
    Keys, ChoiceTest,
    testing::Values(
        ChoiceCase{P, 0, {One, P, P}, "Copy photos in photo folders to:"},
        ChoiceCase{P, kShift, {One, T, T}, "Copy thumbnails in thumbnail folders to:"},
        ChoiceCase{P, kCtrl, {One, P, T}, "Copy photos in thumbnail folders to:"},
        ChoiceCase{P, kCtrl | kShift, {One, T, P}, "Copy thumbnails in photo folders to:"},
        ChoiceCase{P, kAlt, {Each, P, P}, "Copy photos and thumbnails to:"},
        ChoiceCase{
            P, kAlt | kShift, {Both, P, P}, "Copy photos and thumbnails in photo folders to:"},
        ChoiceCase{
            P, kAlt | kCtrl, {Other, P, T}, "Copy photos and thumbnails in thumbnail folders to:"},
        ChoiceCase{P,
                   kAlt | kCtrl | kShift,
                   {Other, P, T},
                   "Copy photos and thumbnails in thumbnail folders to:"},
        ChoiceCase{T, 0, {One, T, T}, "Copy thumbnails in thumbnail folders to:"},
        ChoiceCase{T, kShift, {One, P, P}, "Copy photos in photo folders to:"},
        ChoiceCase{T, kCtrl, {One, T, P}, "Copy thumbnails in photo folders to:"},
        ChoiceCase{T, kCtrl | kShift, {One, P, T}, "Copy photos in thumbnail folders to:"},
        ChoiceCase{T, kAlt, {Each, T, T}, "Copy photos and thumbnails to:"},
        ChoiceCase{
            T, kAlt | kShift, {Both, T, T}, "Copy photos and thumbnails in thumbnail folders to:"},
        ChoiceCase{
            T, kAlt | kCtrl, {Other, T, P}, "Copy photos and thumbnails in photo folders to:"}));

TEST(FollowDeletionTest, OnlyLaterPositionsMoveDown) {
    TransferList list{{{}, 1}, {{}, 4}, {{}, 0}, {{}, 2}};
    FollowDeletion(list, 1);
    std::vector<uint32_t> positions;
    for (const TransferItem& item : list) {
        positions.push_back(item.position);
    }
    EXPECT_EQ(positions, (std::vector<uint32_t>{1, 3, 0, 1}));
}

} // namespace
} // namespace pixlor
