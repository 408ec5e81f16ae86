#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "camera/LinkStatus.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeFileSystem.h"
#include "fakes/FoldingNameRules.h"
#include "platform/BoundedText.h"
#include "platform/Platform.h"
#include "platform/SystemError.h"
#include "transfer/NameTemplate.h"
#include "transfer/PanelItems.h"
#include "transfer/PictureTime.h"
#include "transfer/TransferList.h"

namespace pixlor {
namespace {

const char* const kPrefix = "pic17.05.2002_";

PictureRecord Taken(uint8_t day, uint8_t hour, uint32_t photoSize, uint32_t thumbSize) {
    return PictureRecord{true, photoSize, thumbSize, day, 5, 2002, hour, 0, 0};
}

PanelItem Folder(const char* name) {
    return PanelItem{name, 0, {}, true};
}

// The naming settings with these folder templates.
NamingSettings Templates(const char* photoPath, const char* thumbPath) {
    NamingSettings naming;
    CopyBounded(naming.photoPath, photoPath);
    CopyBounded(naming.thumbPath, thumbPath);
    return naming;
}

std::vector<uint32_t> Positions(const TransferList& list) {
    std::vector<uint32_t> positions;
    for (const TransferItem& item : list) {
        positions.push_back(item.position);
    }
    return positions;
}

class TransferListTest : public ::testing::Test {
protected:
    TransferListTest() {
        // 17 May, 18 May, 17 May again.
        table.Build(3);
        *table.RecordAt(0) = Taken(17, 9, 1000, 10);
        *table.RecordAt(1) = Taken(18, 10, 2000, 20);
        *table.RecordAt(2) = Taken(17, 11, 4000, 40);
    }

    fakes::FoldingNameRules names;
    FakeClock clock;
    FakeFileSystem files;
    ScopedPlatform scope{Platform{.clock = &clock, .files = &files}};
    PictureTable table;
};

TEST_F(TransferListTest, FoldersComeInTheOrderOfTheirFirstPicture) {
    const FolderList folders = BuildFolderList(names, "%2Y-%2M-%2D", PictureKind::Photo, table);
    ASSERT_EQ(folders.size(), 2u);
    EXPECT_EQ(folders[0].name, "02-05-17");
    EXPECT_EQ(folders[0].firstTime, PictureFileTime(*table.RecordAt(0)));
    EXPECT_EQ(folders[0].lastTime, PictureFileTime(*table.RecordAt(2)));
    EXPECT_EQ(folders[0].totalSize, 5000u);
    EXPECT_EQ(folders[1].name, "02-05-18");
    EXPECT_EQ(folders[1].firstTime, folders[1].lastTime);
    EXPECT_EQ(BuildFolderList(names, "%2Y-%2M-%2D", PictureKind::Thumbnail, table)[0].totalSize,
              50u);
    EXPECT_EQ(BuildFolderList(names, "%4Y", PictureKind::Photo, table).size(), 1u);
}

// The grouping as a walk over every folder per picture, to hold the indexed
// one against: same folders, same order, same times and sizes.
FolderList FoldersByWalking(const NameRules& names, const char* folderTemplate, PictureKind kind,
                            const PictureTable& table) {
    FolderList folders;
    char name[kNameBufferSize];
    for (uint32_t position = 0; position < table.Size(); ++position) {
        const PictureRecord& record = *table.RecordAt(position);
        const FileTime time = PictureFileTime(record);
        ExpandNameOrEmpty(position, folderTemplate, name, &table);
        auto folder = std::find_if(folders.begin(), folders.end(), [&](const PictureFolder& f) {
            return names.Same(f.name.c_str(), name);
        });
        if (folder == folders.end()) {
            folders.push_back(PictureFolder{name, time, time, 0});
            folder = folders.end() - 1;
        } else {
            folder->lastTime = time;
        }
        folder->totalSize +=
            kind == PictureKind::Thumbnail ? record.thumbnailSize : record.photoSize;
    }
    return folders;
}

TEST_F(TransferListTest, ManyFoldersGroupAsAWalkOverThemWould) {
    // 500 pictures whose days, hours and months come back out of order.
    PictureTable many;
    many.Build(500);
    for (uint32_t i = 0; i < many.Size(); ++i) {
        *many.RecordAt(i) = PictureRecord{true,
                                          1000 + i,
                                          10 + i,
                                          static_cast<uint8_t>(1 + (i * 7) % 28),
                                          static_cast<uint8_t>(1 + (i * 5) % 12),
                                          2000 + (i * 3) % 4,
                                          static_cast<uint8_t>((i * 11) % 24),
                                          0,
                                          0};
    }
    for (const char* folderTemplate :
         {"%2Y-%2M-%2D", "Day%D", "%4Y", "%H", "%#", "x%3#", "", "%", "Mo%M.%2Y_%D"}) {
        for (PictureKind kind : {PictureKind::Photo, PictureKind::Thumbnail}) {
            const FolderList got = BuildFolderList(names, folderTemplate, kind, many);
            const FolderList want = FoldersByWalking(names, folderTemplate, kind, many);
            ASSERT_EQ(got.size(), want.size()) << folderTemplate;
            for (size_t f = 0; f < want.size(); ++f) {
                EXPECT_EQ(got[f].name, want[f].name) << folderTemplate << " " << f;
                EXPECT_EQ(got[f].firstTime, want[f].firstTime) << folderTemplate << " " << f;
                EXPECT_EQ(got[f].lastTime, want[f].lastTime) << folderTemplate << " " << f;
                EXPECT_EQ(got[f].totalSize, want[f].totalSize) << folderTemplate << " " << f;
            }
        }
    }
}

TEST_F(TransferListTest, AFolderNameMatchesWhateverItsCase) {
    TransferList list;
    EXPECT_EQ(CollectFolderPictures(names, "DAY17", "day%D", table, list), 2u);
    EXPECT_EQ(Positions(list), (std::vector<uint32_t>{0, 2}));
    EXPECT_EQ(list[1].timeStamp, PictureFileTime(*table.RecordAt(2)));
    EXPECT_EQ(CollectFolderPictures(names, "", "day%D", table, list), 5u); // appends every picture
    EXPECT_EQ(Positions(list), (std::vector<uint32_t>{0, 2, 0, 1, 2}));
}

TEST_F(TransferListTest, AnEmptyCameraGivesEmptyLists) {
    PictureTable empty;
    TransferList list;
    EXPECT_EQ(CollectFolderPictures(names, nullptr, "%D", empty, list), 0u);
    EXPECT_TRUE(list.empty());
    EXPECT_TRUE(BuildFolderList(names, "%D", PictureKind::Photo, empty).empty());
}

TEST_F(TransferListTest, SelectedFoldersGiveTheirPicturesFolderAfterFolder) {
    const std::vector<PanelItem> selected{Folder("02-05-18"), Folder("02-05-17")};
    TransferList list;
    EXPECT_EQ(CollectSelection(names, selected, true, PictureKind::Photo,
                               Templates("%2Y-%2M-%2D", ""), table, list),
              3u);
    EXPECT_EQ(Positions(list), (std::vector<uint32_t>{1, 0, 2}));

    // Thumbnails are grouped by their own template.
    TransferList thumbs;
    CollectSelection(names, {Folder("18")}, true, PictureKind::Thumbnail,
                     Templates("%2Y-%2M-%2D", "%D"), table, thumbs);
    EXPECT_EQ(Positions(thumbs), (std::vector<uint32_t>{1}));
}

// A host comparison that folds the Latin-1 letters too, as a code page does.
class Latin1NameRules final : public NameRules {
public:
    bool Same(const char* a, const char* b) const override {
        auto fold = [](unsigned char c) {
            if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) {
                return c + 0x20;
            }
            return static_cast<int>(c);
        };
        for (;; ++a, ++b) {
            const int d =
                fold(static_cast<unsigned char>(*a)) - fold(static_cast<unsigned char>(*b));
            if (d != 0 || *a == '\0') {
                return d == 0;
            }
        }
    }
    bool StartsWith(const char*, const char*) const override { return false; } // not asked
};

struct SelectionCase {
    const char* folderTemplate;
    std::vector<const char*> folders; // as the host hands them back
};

TEST_F(TransferListTest, SelectedFoldersTakeWhatEachFolderAloneWould) {
    const Latin1NameRules latin1;
    const SelectionCase cases[] = {
        {"%2Y-%2M-%2D", {"02-05-18", "02-05-17", "02-05-18", "02-05-19"}},
        {"Day%D", {"DAY17", "day18", "Day17"}},
        {"\304%D", {"\34417", "\30418", "A17"}}, // octal: the host folds the Latin-1 letter
        {"%D", {"", "17"}},                      // an empty name takes every picture
        {"%", {"", "x"}},                        // a failing template names every picture ""
    };
    for (const SelectionCase& c : cases) {
        std::vector<PanelItem> selected;
        for (const char* name : c.folders) {
            selected.push_back(Folder(name));
        }
        TransferList got;
        CollectSelection(latin1, selected, true, PictureKind::Photo,
                         Templates(c.folderTemplate, ""), table, got);
        TransferList want;
        for (const char* name : c.folders) {
            CollectFolderPictures(latin1, name, c.folderTemplate, table, want);
        }
        EXPECT_EQ(Positions(got), Positions(want)) << c.folderTemplate;
        ASSERT_EQ(got.size(), want.size());
        for (size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].timeStamp, want[i].timeStamp);
        }
    }
    // The folded letter is really found, not just missed by both.
    TransferList list;
    EXPECT_EQ(CollectSelection(latin1, {Folder("\34417")}, true, PictureKind::Photo,
                               Templates("\304%D", ""), table, list),
              2u);
}

TEST_F(TransferListTest, SelectedPicturesKeepTheirPositionAndTime) {
    const FileTime a{11, 1}, b{22, 2};
    const std::vector<PanelItem> selected{PanelItem{"x.jpg", 2, a, false},
                                          PanelItem{"y.jpg", 0, b, false}};
    TransferList list;
    EXPECT_EQ(CollectSelection(names, selected, false, PictureKind::Photo, Templates("%D", ""),
                               table, list),
              2u);
    EXPECT_EQ(Positions(list), (std::vector<uint32_t>{2, 0}));
    EXPECT_EQ(list[0].timeStamp, a);
    EXPECT_EQ(list[1].timeStamp, b);
}

struct NameCase {
    const char* name;
    uint32_t width;
    bool matches;
    uint32_t number;
};

class NumberOfNameTest : public TransferListTest, public ::testing::WithParamInterface<NameCase> {};

TEST_P(NumberOfNameTest, FollowsTheNumberingRules) {
    const NameCase& c = GetParam();
    uint32_t number = 12345;
    EXPECT_EQ(NumberOfName(names, c.name, kPrefix, c.width, number), c.matches) << c.name;
    if (c.matches) {
        EXPECT_EQ(number, c.number) << c.name;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Names, NumberOfNameTest,
    ::testing::Values(
        NameCase{"pic17.05.2002_001.jpg", 3, true, 1},
        NameCase{"PIC17.05.2002_005.JPG", 3, true, 5},
        NameCase{"pic17.05.2002_01.jpg", 3, false, 0}, NameCase{"pic17.05.2002_01.jpg", 2, true, 1},
        NameCase{"pic17.05.2002_005.jpeg", 3, false, 0}, NameCase{"pic17.05.2002_005", 3, false, 0},
        NameCase{"pic17.05.2002_005.jpg.bak", 3, false, 0},
        NameCase{"pic18.05.2002_005.jpg", 3, false, 0}, NameCase{"pic17.jpg", 3, false, 0},
        NameCase{"pic17.05.2002_abc.jpg", 3, false, 0},
        NameCase{"pic17.05.2002_12a.jpg", 3, true, 12}, // the scan stops at 'a'
        // Wider numbers, as the numbering prints them past 999.
        NameCase{"pic17.05.2002_1000.jpg", 3, true, 1000},
        NameCase{"pic17.05.2002_123456789.jpg", 3, true, 123456789},
        NameCase{"pic17.05.2002_01000.jpg", 3, false, 0},
        NameCase{"pic17.05.2002_1234567890.jpg", 3, false, 0},
        NameCase{"pic17.05.2002_10a0.jpg", 3, false, 0},
        NameCase{"pic17.05.2002_-01.jpg", 3, false, 0},
        // The field as "%d" read it: blanks before the number, a plus sign,
        // digits up to the first other character.
        NameCase{"pic17.05.2002_ 12.jpg", 3, true, 12},
        NameCase{"pic17.05.2002_\t 7.jpg", 3, true, 7},
        NameCase{"pic17.05.2002_+12.jpg", 3, true, 12},
        NameCase{"pic17.05.2002_1 2.jpg", 3, true, 1},
        NameCase{"pic17.05.2002_   .jpg", 3, false, 0},
        NameCase{"pic17.05.2002_+ 1.jpg", 3, false, 0},
        NameCase{"pic17.05.2002_+++.jpg", 3, false, 0},
        // A minus sign never: "-00" read as 0 proposed no other next number.
        NameCase{"pic17.05.2002_-00.jpg", 3, false, 0},
        NameCase{"pic17.05.2002_999999999.jpg", 9, true, 999999999},
        NameCase{"pic17.05.2002_+99999999.jpg", 12, true, 99999999}));

// Every field of up to four characters made of blanks, signs, digits and a
// letter reads as the C library's "%<width>ld" read it, the minus sign aside.
TEST_F(TransferListTest, TheNumberFieldReadsAsScanfReadIt) {
    const std::string alphabet = " \t+-019a";
    const char* const formats[] = {"%1ld", "%2ld", "%3ld", "%4ld"};
    for (size_t width = 1; width <= 4; ++width) {
        std::vector<size_t> digit(width, 0);
        for (bool more = true; more;) {
            std::string field;
            for (size_t d : digit) {
                field += alphabet[d];
            }
            long value = -1;
            const bool scanned = std::sscanf(field.c_str(), formats[width - 1], &value) == 1;
            const size_t first = field.find_first_not_of(" \t");
            const bool minus = first != std::string::npos && field[first] == '-';
            const bool wanted = scanned && value >= 0 && !minus;
            const std::string name = "p_" + field + ".jpg";
            uint32_t number = 0;
            ASSERT_EQ(NumberOfName(names, name.c_str(), "p_", static_cast<uint32_t>(width), number),
                      wanted)
                << "'" << field << "'";
            if (wanted) {
                EXPECT_EQ(number, static_cast<uint32_t>(value)) << "'" << field << "'";
            }
            more = false;
            for (size_t i = 0; i < width && !more; ++i) {
                digit[i] = (digit[i] + 1) % alphabet.size();
                more = digit[i] != 0;
            }
        }
    }
}

TEST_F(TransferListTest, TheFolderNumberGoesOnPastTheWidth) {
    const std::string folder = "D:\\Photos\\02-05-17\\";
    files.AddFolder(folder);
    uint32_t next = 0;
    ASSERT_EQ(NextNumberInFolder(names, 3, kPrefix, folder, next), 0);
    EXPECT_EQ(next, 1u);
    files.AddFile(folder + "pic17.05.2002_001.jpg");
    files.AddFile(folder + "pic17.05.2002_007.jpg");
    ASSERT_EQ(NextNumberInFolder(names, 3, kPrefix, folder, next), 0);
    EXPECT_EQ(next, 8u);
    files.AddFile(folder + "pic17.05.2002_999.jpg");
    ASSERT_EQ(NextNumberInFolder(names, 3, kPrefix, folder, next), 0);
    EXPECT_EQ(NumberedFileName(kPrefix, next, 3), "pic17.05.2002_1000.jpg");
    files.AddFile(folder + NumberedFileName(kPrefix, next, 3));
    ASSERT_EQ(NextNumberInFolder(names, 3, kPrefix, folder, next), 0);
    EXPECT_EQ(next, 1001u);
    files.AddFile(folder + "pic17.05.2002_01002.jpg"); // not how 1002 prints
    ASSERT_EQ(NextNumberInFolder(names, 3, kPrefix, folder, next), 0);
    EXPECT_EQ(next, 1001u);
}

TEST_F(TransferListTest, TheFirstListedEntryCountsToo) {
    files.AddFile("D:\\pic17.05.2002_003.jpg"); // a drive lists no "." first
    uint32_t next = 0;
    ASSERT_EQ(NextNumberInFolder(names, 3, kPrefix, "D:\\", next), 0);
    EXPECT_EQ(next, 4u);
}

TEST_F(TransferListTest, AFolderThatCannotBeListedFails) {
    uint32_t next = 77;
    EXPECT_EQ(NextNumberInFolder(names, 3, kPrefix, "D:\\Missing\\", next),
              linkstatus::kFolderMissing);
    EXPECT_EQ(next, 77u);

    files.AddFile("D:\\P\\pic17.05.2002_001.jpg");
    files.FailCall(FileOp::FindNext, 2, syserr::kNotReady);
    EXPECT_EQ(NextNumberInFolder(names, 3, kPrefix, "D:\\P\\", next), linkstatus::kFolderListing);
    EXPECT_EQ(next, 77u);
}

TEST(NumberedFileName, PadsToTheWidthAndNeverCuts) {
    EXPECT_EQ(NumberedFileName("p_", 8, 3), "p_008.jpg");
    EXPECT_EQ(NumberedFileName("p_", 8, 2), "p_08.jpg");
    EXPECT_EQ(NumberedFileName("p_", 12345, 3), "p_12345.jpg");
    EXPECT_EQ(NumberedFileName("", 1, 9), "000000001.jpg");
}

} // namespace
} // namespace pixlor
