// The failing seams: each kind fails at its k-th call with the planned error,
// once or from then on, and every other call reaches the wrapped backend
// unchanged, over the fakes and over the POSIX backend itself.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

#include "fakes/FakeConsole.h"
#include "fakes/FakeFileSystem.h"
#include "fakes/FakeRegistry.h"
#include "fakes/FakeSerialDevice.h"
#include "faults/FailingPlatform.h"

namespace pixlor::faults {
namespace {

// The fakes under the wrappers, and one call of each kind through the seam in force.
struct Fixture {
    Fixture() {
        files.AddFolder("D:\\Photos");
        registry.SetString(kHkeyCurrentUser, "Software\\P", "Name", "x");
        console.QueueKeyPress('a');
        device.Queue({1, 2, 3, 4, 5, 6, 7, 8});
    }

    // Makes one call of `kind` through the platform in force; its success.
    bool Call(FaultKind kind) {
        const Platform& p = CurrentPlatform();
        uint8_t bytes[4] = {};
        uint32_t n = 0;
        RegistryKey key = 0;
        switch (kind) {
        case FaultKind::SerialOpen:
            port = p.serial->NewDevice();
            return port->Open("COM2");
        case FaultKind::SerialGetLine: {
            LineSetting line;
            return port->GetLine(line);
        }
        case FaultKind::SerialSetLine:
            return port->SetLine(LineSetting{19200});
        case FaultKind::SerialTimeouts:
            return port->SetTimeouts({});
        case FaultKind::SerialRead:
            return port->Read(bytes, 1, n) && n == 1;
        case FaultKind::SerialWrite:
            return port->Write(bytes, 1, n) && n == 1;
        case FaultKind::SerialPurge:
            return port->Purge(kPurgeTxClear);
        case FaultKind::SerialClearErrors:
            return port->ClearErrors();
        case FaultKind::SerialClose:
            port->Close();
            return port->LastError() == 0;
        case FaultKind::FileCreate:
            file = p.files->CreateNew(("D:\\Photos\\" + std::to_string(++names)).c_str());
            return file != nullptr;
        case FaultKind::FileWrite:
            return file->Write("ab", 2, n) && n == 2;
        case FaultKind::FileSetTimes:
            return file->SetTimes({}, {}, {});
        case FaultKind::FileClose:
            return file->Close();
        case FaultKind::FileRemove: {
            const std::string path = "D:\\Photos\\r" + std::to_string(++names);
            files.AddFile(path, "x");
            return p.files->RemoveFile(path.c_str()) && !files.HasFile(path);
        }
        case FaultKind::FolderRemove: {
            const std::string path = "D:\\Photos\\e" + std::to_string(++names);
            files.AddFolder(path);
            return p.files->RemoveEmptyDirectory(path.c_str()) && !files.HasFolder(path);
        }
        case FaultKind::ConsoleWait: {
            const uint32_t before = console.TakeInCalls();
            p.console->TakeInTyped();
            return console.TakeInCalls() == before + 1;
        }
        case FaultKind::FolderCreate:
            return p.files->MakeDirectory(("D:\\Photos\\d" + std::to_string(++names)).c_str());
        case FaultKind::FolderList: {
            FindEntry entry;
            search = p.files->FindFirst("D:\\Photos\\*.*", entry);
            return search != nullptr;
        }
        case FaultKind::FolderNext: {
            FindEntry entry;
            return search->Next(entry);
        }
        case FaultKind::RegistryCreate:
            return p.registry->CreateKey(kHkeyCurrentUser, "Software\\P", kKeyWrite, key) == 0 &&
                   p.registry->CloseKey(key) == 0;
        case FaultKind::RegistryOpen:
            return p.registry->OpenKey(kHkeyCurrentUser, "Software\\P", kKeyQueryValue, key) == 0 &&
                   p.registry->CloseKey(key) == 0;
        case FaultKind::RegistryRead:
        case FaultKind::RegistryWrite:
        case FaultKind::RegistryEnumerate:
        case FaultKind::RegistryClose:
            return RegistryCall(kind);
        case FaultKind::ConsolePending:
            return p.console->PendingEvents(n) && n > 0;
        case FaultKind::ConsoleRead: {
            ConsoleEvent event;
            return p.console->ReadEvent(event, n);
        }
        }
        return false;
    }

    bool RegistryCall(FaultKind kind) {
        Registry& r = *CurrentPlatform().registry;
        RegistryKey key = 0;
        if (r.CreateKey(kHkeyCurrentUser, "Software\\P", kKeyWrite | kKeyQueryValue, key) != 0) {
            return false;
        }
        uint8_t data[8] = {};
        uint32_t size = sizeof data;
        uint32_t type = 0;
        char name[16];
        uint32_t nameLength = sizeof name;
        RegistryResult result = 0;
        if (kind == FaultKind::RegistryRead) {
            result = r.QueryValue(key, "Name", &type, data, &size);
        } else if (kind == FaultKind::RegistryWrite) {
            result = r.SetValue(key, "Name", kRegSz, data, 1);
        } else if (kind == FaultKind::RegistryEnumerate) {
            result = r.EnumValue(key, 0, name, &nameLength, &type, data, &size);
        }
        const RegistryResult closed = r.CloseKey(key);
        return result == 0 && closed == 0;
    }

    // Prepares what a call of `kind` needs (an open port, file or search).
    void Prepare(FaultKind kind) {
        const Platform& p = CurrentPlatform();
        const auto info = InfoOf(kind);
        const std::string name = info.name;
        if (name.starts_with("Serial") && kind != FaultKind::SerialOpen) {
            port = p.serial->NewDevice();
            ASSERT_TRUE(port->Open("COM2"));
        }
        if (kind == FaultKind::FileWrite || kind == FaultKind::FileSetTimes ||
            kind == FaultKind::FileClose) {
            file = p.files->CreateNew(("D:\\Photos\\p" + std::to_string(++names)).c_str());
            ASSERT_NE(file, nullptr);
        }
        if (kind == FaultKind::FolderNext) {
            FindEntry entry;
            search = p.files->FindFirst("D:\\Photos\\*.*", entry);
            ASSERT_NE(search, nullptr);
        }
    }

    fakes::FakeSerialDevice device;
    fakes::FakeSerialFactory factory{device};
    FakeFileSystem files;
    FakeRegistry registry;
    FakeConsole console;
    ScopedPlatform scope{
        Platform{.serial = &factory, .files = &files, .registry = &registry, .console = &console}};
    std::unique_ptr<SerialDevice> port;
    std::unique_ptr<WritableFile> file;
    std::unique_ptr<FindHandle> search;
    int names = 0;
};

// The error the seam reports after a failed call of `kind`.
uint32_t ReportedError(Fixture& f, FaultKind kind) {
    const std::string name = InfoOf(kind).name;
    if (name.starts_with("Serial")) {
        return f.port->LastError();
    }
    if (name.starts_with("File") || name.starts_with("Folder")) {
        return CurrentPlatform().files->LastError();
    }
    return 0; // the registry answers the error itself; the console has none
}

class EachKind : public testing::TestWithParam<FaultKindInfo> {};

TEST_P(EachKind, FailsAtTheKthCallOnceOrFromThenOn) {
    const FaultKind kind = GetParam().kind;
    for (const FaultMode mode : {FaultMode::Once, FaultMode::FromK}) {
        SCOPED_TRACE(ModeName(mode));
        Fixture f;
        FaultPlan plan;
        FailingPlatform failing(plan);
        f.Prepare(kind);
        const uint32_t error = ErrorsOf(kind).back();
        plan.Arm(kind, 2, mode, error);
        EXPECT_TRUE(f.Call(kind)) << "the first call passes through";
        EXPECT_FALSE(plan.Reached());
        if (kind == FaultKind::SerialClose || kind == FaultKind::FileClose ||
            kind == FaultKind::FolderNext) {
            f.Prepare(kind); // a closed port or file, or a search at its end, cannot go on
        }
        EXPECT_FALSE(f.Call(kind)) << "the second fails";
        EXPECT_TRUE(plan.Reached());
        const uint32_t reported = ReportedError(f, kind);
        if (reported != 0 || kind == FaultKind::SerialOpen || kind == FaultKind::FileCreate) {
            EXPECT_EQ(reported, error);
        }
        if (kind == FaultKind::SerialClose || kind == FaultKind::FileClose ||
            kind == FaultKind::FolderNext) {
            f.Prepare(kind);
        }
        EXPECT_EQ(f.Call(kind), mode == FaultMode::Once) << "the third";
        EXPECT_EQ(plan.Calls(kind), 3u);
    }
    // A close that failed still released what the backend held.
    Fixture f;
    FaultPlan plan;
    {
        FailingPlatform failing(plan);
        plan.Arm(kind, 1, FaultMode::FromK, ErrorsOf(kind).front());
        f.Prepare(kind);
        f.Call(kind);
        f.file.reset();
        f.search.reset();
    }
    if (kind == FaultKind::SerialClose) {
        EXPECT_FALSE(f.device.open);
    }
    EXPECT_EQ(f.files.OpenFiles(), 0u);
    EXPECT_EQ(f.registry.OpenHandles(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Kinds, EachKind, testing::ValuesIn(kFaultKinds),
                         [](const testing::TestParamInfo<FaultKindInfo>& param) {
                             return std::string(param.param.name);
                         });

TEST(FailingSeams, PassTheWrappedBackendsErrorsThrough) {
    Fixture f;
    f.files.AddFile("D:\\Photos\\taken.jpg", "x");
    FaultPlan plan;
    FailingPlatform failing(plan);
    plan.Arm(FaultKind::FileWrite, 1, FaultMode::Once, syserr::kDiskFull);
    EXPECT_EQ(CurrentPlatform().files->CreateNew("D:\\Photos\\taken.jpg"), nullptr);
    EXPECT_EQ(CurrentPlatform().files->LastError(), syserr::kFileExists);
    FindEntry entry;
    EXPECT_EQ(CurrentPlatform().files->FindFirst("D:\\Nowhere\\*.*", entry), nullptr);
    EXPECT_EQ(CurrentPlatform().files->LastError(), syserr::kPathNotFound);
    RegistryKey key = 0;
    EXPECT_EQ(CurrentPlatform().registry->OpenKey(kHkeyCurrentUser, "Software\\None",
                                                  kKeyQueryValue, key),
              static_cast<RegistryResult>(syserr::kFileNotFound));
    EXPECT_FALSE(plan.Reached());
}

// Over the system's own file backend, in a scratch folder.
TEST(FailingSeams, WrapThePosixFileSystem) {
    namespace fs = std::filesystem;
    std::string folder = (fs::temp_directory_path() / "pixlor-faults-XXXXXX").string();
    ASSERT_NE(::mkdtemp(folder.data()), nullptr);
    const std::string path = folder + "\\a.jpg";
    {
        ScopedPlatform system(SystemPlatform());
        FaultPlan plan;
        FailingPlatform failing(plan);
        plan.Arm(FaultKind::FileWrite, 2, FaultMode::FromK, syserr::kDiskFull);
        auto file = CurrentPlatform().files->CreateNew(path.c_str());
        ASSERT_NE(file, nullptr);
        uint32_t written = 0;
        EXPECT_TRUE(file->Write("abc", 3, written));
        EXPECT_FALSE(file->Write("def", 3, written));
        EXPECT_EQ(written, 0u);
        EXPECT_EQ(CurrentPlatform().files->LastError(), syserr::kDiskFull);
        EXPECT_FALSE(file->Write("ghi", 3, written));
        EXPECT_TRUE(file->Close());
        EXPECT_EQ(CurrentPlatform().files->CreateNew(path.c_str()), nullptr);
        EXPECT_EQ(CurrentPlatform().files->LastError(), syserr::kFileExists);
        EXPECT_EQ(plan.Calls(FaultKind::FileCreate), 2u);
    }
    std::ifstream in(folder + "/a.jpg", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "abc");
    fs::remove_all(folder);
}

} // namespace
} // namespace pixlor::faults
