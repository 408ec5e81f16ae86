// The POSIX file backend on a scratch folder under the system's temp folder.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "platform/SystemError.h"

namespace pixlor {
namespace {

namespace fs = std::filesystem;

constexpr uint64_t kTicksPerSecond = 10000000;
constexpr uint64_t kEpochSeconds = 11644473600; // 1601 to 1970

FileTime FromUnix(uint64_t seconds) {
    return FileTime::FromTicks((seconds + kEpochSeconds) * kTicksPerSecond);
}

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class PosixFileSystem : public ::testing::Test {
protected:
    void SetUp() override {
        std::string templ = (fs::temp_directory_path() / "pixlor-fs-XXXXXX").string();
        ASSERT_NE(::mkdtemp(templ.data()), nullptr);
        root_ = templ;
    }
    void TearDown() override {
        std::error_code ignored;
        fs::permissions(root_ / "locked", fs::perms::owner_all, ignored);
        fs::remove_all(root_, ignored);
    }
    // A path under the scratch folder in the core's form, with '\' separators.
    std::string Win(const std::string& relative) const { return root_.string() + "\\" + relative; }

    FileSystem& files = *SystemPlatform().files;
    fs::path root_;
};

TEST_F(PosixFileSystem, CreateNewWritesAndNeverOpensAnExistingFile) {
    auto file = files.CreateNew(Win("a.jpg").c_str());
    ASSERT_NE(file, nullptr);
    const std::string big(3 << 20, 'x'); // several kernel writes
    uint32_t written = 0;
    ASSERT_TRUE(file->Write(big.data(), static_cast<uint32_t>(big.size()), written));
    EXPECT_EQ(written, big.size());
    ASSERT_TRUE(file->Close());
    EXPECT_FALSE(file->Write("y", 1, written));
    EXPECT_EQ(files.LastError(), syserr::kInvalidHandle);

    EXPECT_EQ(files.CreateNew(Win("a.jpg").c_str()), nullptr);
    EXPECT_EQ(files.LastError(), syserr::kFileExists);
    EXPECT_EQ(ReadAll(root_ / "a.jpg"), big);

    EXPECT_EQ(files.CreateNew(Win("missing\\a.jpg").c_str()), nullptr);
    EXPECT_EQ(files.LastError(), syserr::kPathNotFound);
    EXPECT_EQ(files.CreateNew(Win(std::string(300, 'n')).c_str()), nullptr);
    EXPECT_EQ(files.LastError(), syserr::kFilenameTooLong);
}

TEST_F(PosixFileSystem, RemoveFileTakesAFileAwayWithWindowsCodes) {
    auto file = files.CreateNew(Win("r.jpg").c_str());
    ASSERT_NE(file, nullptr);
    ASSERT_TRUE(file->Close());
    EXPECT_TRUE(files.RemoveFile(Win("r.jpg").c_str()));
    EXPECT_FALSE(fs::exists(root_ / "r.jpg"));
    EXPECT_FALSE(files.RemoveFile(Win("r.jpg").c_str()));
    EXPECT_EQ(files.LastError(), syserr::kFileNotFound);
    EXPECT_FALSE(files.RemoveFile(Win("missing\\r.jpg").c_str()));
    EXPECT_EQ(files.LastError(), syserr::kPathNotFound);
}

TEST_F(PosixFileSystem, SetTimesSetsAccessAndModificationExactly) {
    auto file = files.CreateNew(Win("t.jpg").c_str());
    ASSERT_NE(file, nullptr);
    const uint64_t taken = 1058276730; // 2003-07-15 13:45:30 UTC
    FileTime when = FromUnix(taken);
    ASSERT_TRUE(file->SetTimes(when, when, when));
    ASSERT_TRUE(file->Close());
    struct stat info {};
    ASSERT_EQ(::stat((root_ / "t.jpg").c_str(), &info), 0);
    EXPECT_EQ(info.st_mtim.tv_sec, static_cast<time_t>(taken));
    EXPECT_EQ(info.st_mtim.tv_nsec, 0);
    EXPECT_EQ(info.st_atim.tv_sec, static_cast<time_t>(taken));

    // Before 1970 the split into seconds and nanoseconds rounds down.
    auto old = files.CreateNew(Win("old.jpg").c_str());
    ASSERT_NE(old, nullptr);
    const FileTime before1970 = FileTime::FromTicks(kEpochSeconds * kTicksPerSecond - 5);
    ASSERT_TRUE(old->SetTimes(before1970, before1970, before1970));
    ASSERT_TRUE(old->Close());
    ASSERT_EQ(::stat((root_ / "old.jpg").c_str(), &info), 0);
    EXPECT_EQ(info.st_mtim.tv_sec, -1);
    EXPECT_EQ(info.st_mtim.tv_nsec, 999999500);
}

TEST_F(PosixFileSystem, MakeDirectoryIsOneLevelWithWindowsCodes) {
    EXPECT_TRUE(files.MakeDirectory(Win("02-05-17\\").c_str())); // trailing separator
    EXPECT_TRUE(fs::is_directory(root_ / "02-05-17"));
    EXPECT_FALSE(files.MakeDirectory(Win("02-05-17").c_str()));
    EXPECT_EQ(files.LastError(), syserr::kAlreadyExists);
    EXPECT_FALSE(files.MakeDirectory(Win("a\\b").c_str()));
    EXPECT_EQ(files.LastError(), syserr::kPathNotFound);

    fs::create_directory(root_ / "locked");
    fs::permissions(root_ / "locked", fs::perms::owner_read | fs::perms::owner_exec);
    if (::geteuid() != 0) {
        EXPECT_FALSE(files.MakeDirectory(Win("locked\\x").c_str()));
        EXPECT_EQ(files.LastError(), syserr::kAccessDenied);
        EXPECT_EQ(files.CreateNew(Win("locked\\x.jpg").c_str()), nullptr);
        EXPECT_EQ(files.LastError(), syserr::kAccessDenied);
    }
}

TEST_F(PosixFileSystem, ListsDotsFirstThenEntriesInCaseInsensitiveOrder) {
    for (const char* name : {"b.jpg", "A.JPG", "c", "_x.jpg"}) {
        std::ofstream(root_ / name) << "12345";
    }
    fs::create_directory(root_ / "Sub");
    FindEntry entry;
    auto search = files.FindFirst(Win("*.*").c_str(), entry);
    ASSERT_NE(search, nullptr);
    std::vector<std::string> names{entry.name};
    std::vector<uint32_t> attributes{entry.attributes};
    while (search->Next(entry)) {
        names.push_back(entry.name);
        attributes.push_back(entry.attributes);
        if (entry.name == "b.jpg") {
            EXPECT_EQ(entry.size, 5u);
        }
    }
    EXPECT_EQ(files.LastError(), syserr::kNoMoreFiles);
    EXPECT_EQ(names, (std::vector<std::string>{".", "..", "_x.jpg", "A.JPG", "b.jpg", "c", "Sub"}));
    EXPECT_EQ(attributes, (std::vector<uint32_t>{0x10, 0x10, 0x20, 0x20, 0x20, 0x20, 0x10}));
}

TEST_F(PosixFileSystem, ListingFailuresCarryWindowsCodes) {
    FindEntry entry;
    fs::create_directory(root_ / "empty");
    auto search = files.FindFirst(Win("empty\\*.*").c_str(), entry);
    ASSERT_NE(search, nullptr);
    EXPECT_EQ(entry.name, ".");
    EXPECT_TRUE(search->Next(entry));
    EXPECT_EQ(entry.name, "..");
    EXPECT_FALSE(search->Next(entry));
    EXPECT_EQ(files.LastError(), syserr::kNoMoreFiles);

    EXPECT_EQ(files.FindFirst(Win("missing\\*.*").c_str(), entry), nullptr);
    EXPECT_EQ(files.LastError(), syserr::kPathNotFound);
    EXPECT_EQ(files.FindFirst(Win("empty\\*.gif").c_str(), entry), nullptr);
    EXPECT_EQ(files.LastError(), syserr::kFileNotFound);
}

TEST_F(PosixFileSystem, ADriveIsARelativeFolder) {
    const fs::path before = fs::current_path();
    fs::current_path(root_);
    EXPECT_TRUE(files.MakeDirectory("D:"));
    EXPECT_TRUE(files.MakeDirectory("D:\\Photos\\"));
    auto file = files.CreateNew("D:\\Photos\\p.jpg");
    fs::current_path(before);
    ASSERT_NE(file, nullptr);
    EXPECT_TRUE(fs::exists(root_ / "D:" / "Photos" / "p.jpg"));
}

} // namespace
} // namespace pixlor
