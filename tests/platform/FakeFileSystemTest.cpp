// The in-memory file system: Windows rules and its fault injection.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/FakeClock.h"
#include "fakes/FakeFileSystem.h"
#include "platform/SystemError.h"

namespace pixlor {
namespace {

std::vector<std::string> List(FakeFileSystem& fs, const char* pattern, uint32_t* endCode) {
    std::vector<std::string> names;
    FindEntry entry;
    auto search = fs.FindFirst(pattern, entry);
    if (search == nullptr) {
        *endCode = fs.LastError();
        return names;
    }
    names.push_back(entry.name);
    while (search->Next(entry)) {
        names.push_back(entry.name);
    }
    *endCode = fs.LastError();
    return names;
}

TEST(FakeFileSystem, NamesIgnoreCaseAndNothingIsOverwritten) {
    FakeFileSystem fs;
    fs.AddFile("D:\\Photos\\pic_001.jpg", std::string_view("old"));
    EXPECT_EQ(fs.CreateNew("d:\\PHOTOS\\PIC_001.JPG"), nullptr);
    EXPECT_EQ(fs.LastError(), syserr::kFileExists);
    EXPECT_EQ(fs.CreateNew("D:\\Photos"), nullptr); // a folder of that name
    EXPECT_EQ(fs.LastError(), syserr::kFileExists);
    EXPECT_EQ(fs.Text("D:\\Photos\\pic_001.jpg"), "old");
    EXPECT_EQ(fs.CreateNew("D:\\Other\\a.jpg"), nullptr);
    EXPECT_EQ(fs.LastError(), syserr::kPathNotFound);

    EXPECT_FALSE(fs.MakeDirectory("D:\\photos\\"));
    EXPECT_EQ(fs.LastError(), syserr::kAlreadyExists);
    EXPECT_FALSE(fs.MakeDirectory("D:\\a\\b"));
    EXPECT_EQ(fs.LastError(), syserr::kPathNotFound);
    EXPECT_TRUE(fs.MakeDirectory("D:\\Photos\\02-05-17\\"));
    EXPECT_TRUE(fs.HasFolder("d:\\photos\\02-05-17"));
}

TEST(FakeFileSystem, ListsDotsFirstThenCaseInsensitiveOrder) {
    FakeFileSystem fs;
    fs.AddFile("D:\\P\\b.jpg");
    fs.AddFile("D:\\P\\A.JPG");
    fs.AddFolder("D:\\P\\Sub");
    fs.AddFile("D:\\P\\Sub\\deep.jpg");
    fs.AddFolder("D:\\P\\empty");
    uint32_t end = 0;
    EXPECT_EQ(List(fs, "D:\\P\\*.*", &end),
              (std::vector<std::string>{".", "..", "A.JPG", "b.jpg", "empty", "Sub"}));
    EXPECT_EQ(end, syserr::kNoMoreFiles);
    EXPECT_EQ(List(fs, "D:\\P\\empty\\*.*", &end), (std::vector<std::string>{".", ".."}));
    EXPECT_EQ(List(fs, "D:\\*.*", &end), (std::vector<std::string>{"P"})); // a drive: no dots
    EXPECT_TRUE(List(fs, "D:\\Q\\*.*", &end).empty());
    EXPECT_EQ(end, syserr::kPathNotFound);
    EXPECT_TRUE(List(fs, "D:\\P\\*.gif", &end).empty());
    EXPECT_EQ(end, syserr::kFileNotFound);
}

TEST(FakeFileSystem, AFullDiskAfterAPartialWrite) {
    FakeFileSystem fs;
    fs.FailWrite(2, syserr::kDiskFull, /*persistent=*/true, /*partialBytes=*/2);
    auto file = fs.CreateNew("f.jpg");
    ASSERT_NE(file, nullptr);
    uint32_t written = 99;
    EXPECT_TRUE(file->Write("abc", 3, written));
    EXPECT_EQ(written, 3u);
    EXPECT_FALSE(file->Write("defg", 4, written));
    EXPECT_EQ(written, 2u);
    EXPECT_EQ(fs.LastError(), syserr::kDiskFull);
    EXPECT_FALSE(file->Write("hij", 3, written)); // still full, nothing more stored
    EXPECT_EQ(written, 0u);
    EXPECT_EQ(fs.Text("f.jpg"), "abcde");
    EXPECT_EQ(fs.OpenFiles(), 1u);
    file.reset();
    EXPECT_EQ(fs.OpenFiles(), 0u);
}

TEST(FakeFileSystem, AOnceOnlyFaultFiresOnItsCallAlone) {
    FakeFileSystem fs;
    fs.FailCall(FileOp::CreateNew, 2, syserr::kAccessDenied);
    EXPECT_NE(fs.CreateNew("a.jpg"), nullptr);
    EXPECT_EQ(fs.CreateNew("b.jpg"), nullptr);
    EXPECT_EQ(fs.LastError(), syserr::kAccessDenied);
    EXPECT_NE(fs.CreateNew("c.jpg"), nullptr);
    EXPECT_EQ(fs.FilePaths(), (std::vector<std::string>{"a.jpg", "c.jpg"}));
    EXPECT_EQ(fs.Calls(FileOp::CreateNew), 3u);
}

TEST(FakeFileSystem, AFailingFindNextEndsTheSearchWithItsCode) {
    FakeFileSystem fs;
    fs.AddFile("D:\\P\\a.jpg");
    fs.AddFile("D:\\P\\b.jpg");
    fs.FailCall(FileOp::FindNext, 2, syserr::kNotReady);
    uint32_t end = 0;
    EXPECT_EQ(List(fs, "D:\\P\\*.*", &end), (std::vector<std::string>{".", ".."}));
    EXPECT_EQ(end, syserr::kNotReady);
}

TEST(FakeFileSystem, RemovesAClosedFileAndRecordsIt) {
    FakeFileSystem fs;
    fs.AddFolder("D:\\P");
    fs.AddFile("D:\\P\\old.jpg", "old");
    auto open = fs.CreateNew("D:\\P\\new.jpg");
    ASSERT_NE(open, nullptr);
    EXPECT_FALSE(fs.RemoveFile("D:\\P\\NEW.jpg")) << "not while a handle holds it";
    EXPECT_EQ(fs.LastError(), syserr::kSharingViolation);
    open.reset();
    EXPECT_TRUE(fs.RemoveFile("D:\\P\\NEW.jpg"));
    EXPECT_FALSE(fs.HasFile("D:\\P\\new.jpg"));
    EXPECT_EQ(fs.RemovedPaths(), (std::vector<std::string>{"D:\\P\\new.jpg"}));
    EXPECT_EQ(fs.FilePaths(), (std::vector<std::string>{"D:\\P\\old.jpg"}));
    EXPECT_FALSE(fs.RemoveFile("D:\\P\\new.jpg"));
    EXPECT_EQ(fs.LastError(), syserr::kFileNotFound);
    EXPECT_FALSE(fs.RemoveFile("D:\\P"));
    EXPECT_EQ(fs.LastError(), syserr::kAccessDenied);
    fs.FailCall(FileOp::RemoveFile, 5, syserr::kWriteFault);
    EXPECT_FALSE(fs.RemoveFile("D:\\P\\old.jpg"));
    EXPECT_EQ(fs.LastError(), syserr::kWriteFault);
    EXPECT_EQ(fs.Text("D:\\P\\old.jpg"), "old");
    EXPECT_EQ(fs.Calls(FileOp::RemoveFile), 5u);
    EXPECT_EQ(fs.CreateNew("D:\\P\\new.jpg") != nullptr, true) << "the name is free again";
}

TEST(FakeFileSystem, KeepsTimesAndClosedState) {
    FakeFileSystem fs;
    auto file = fs.CreateNew("t.jpg");
    ASSERT_NE(file, nullptr);
    const FileTime a{1, 2}, b{3, 4}, c{5, 6};
    EXPECT_TRUE(file->SetTimes(a, b, c));
    EXPECT_TRUE(file->Close());
    EXPECT_FALSE(file->Close());
    EXPECT_EQ(fs.LastError(), syserr::kInvalidHandle);
    const FakeFile* stored = fs.File("T.JPG");
    ASSERT_NE(stored, nullptr);
    EXPECT_TRUE(stored->timesSet);
    EXPECT_FALSE(stored->open);
    EXPECT_EQ(stored->creation, a);
    EXPECT_EQ(stored->lastAccess, b);
    EXPECT_EQ(stored->lastWrite, c);
}

TEST(FakeClock, ShowsTheSetTimeAndCountsReads) {
    FakeClock clock;
    clock.Set(UtcDate{2024, 2, 29, 23, 59, 59});
    clock.Advance(1);
    EXPECT_EQ(BreakDownUtc(clock.NowUnixSeconds()), (UtcDate{2024, 3, 1, 0, 0, 0}));
    EXPECT_EQ(clock.reads(), 1u);
}

} // namespace
} // namespace pixlor
