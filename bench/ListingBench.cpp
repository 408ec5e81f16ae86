// pixlor-bench-listing: what the panel's listing costs as the camera fills, on
// the fake camera, registry and file system (no line, no disk): GetFindData at
// the top level with folders, inside a folder and flat, the folder grouping
// alone, and the numbering scans over a folder and the other panel. Each runs
// at 1,000 and 10,000 pictures (or files); the growth should be linear.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "fakes/FakeCamera.h"
#include "fakes/FakeFileSystem.h"
#include "fakes/FakeRegistry.h"
#include "fakes/FakeSerialDevice.h"
#include "fakes/FakeSleeper.h"
#include "host/Host.h"
#include "host/OpenPanels.h"
#include "platform/BoundedText.h"
#include "platform/Platform.h"
#include "plugin/CameraPanel.h"
#include "plugin/HostNameRules.h"
#include "plugin/PanelListing.h"
#include "plugin/Startup.h"
#include "settings/Settings.h"
#include "settings/SettingsStore.h"
#include "tools/hostkit/HostKit.h"
#include "transfer/NameTemplate.h"
#include "transfer/PanelItems.h"
#include "transfer/TransferList.h"

namespace pixlor::bench {
namespace {

constexpr uint32_t k17May2002 = 1021626330; // 09:05:30 UTC
constexpr uint32_t kDay = 86400;
constexpr const char* kSettingsKey = "Software\\Far\\Plugins\\Pixlor";

// `count` pictures, `perDay` a day: with the default folder template, one
// folder a day.
std::vector<uint32_t> PictureTimes(uint32_t count, uint32_t perDay) {
    std::vector<uint32_t> times(count);
    for (uint32_t i = 0; i < count; ++i) {
        times[i] = k17May2002 + (i / perDay) * kDay + (i % perDay) * 60;
    }
    return times;
}

// An open panel over the fake camera, as the host has it after OpenPlugin.
class PanelRig {
public:
    PanelRig(uint32_t pictures, uint32_t perDay, const char* photoPath = nullptr) {
        StartPlugin(host_.MakeStartupInfo());
        BuildSettingsRoot("Software\\Far\\Plugins");
        std::fill(std::begin(portPresent), std::end(portPresent), uint8_t{0});
        portPresent[1] = 1;
        openPanelCount = 0;
        if (photoPath != nullptr) {
            registry_.SetString(kHkeyCurrentUser, kSettingsKey, "PhotoPath", photoPath);
        }
        for (uint32_t time : PictureTimes(pictures, perDay)) {
            camera_.AddPicture(fakes::FakePicture::Sized(1000, 100, time));
        }
        const HANDLE handle = OpenPlugin();
        if (handle != INVALID_HANDLE_VALUE) {
            panel_ = static_cast<CameraPanel*>(handle);
        }
        device_.calls.clear(); // the open's record is not needed
    }
    ~PanelRig() {
        if (panel_ != nullptr) {
            ClosePlugin(panel_);
        }
        ForgetHostRecords();
    }
    PanelRig(const PanelRig&) = delete;
    PanelRig& operator=(const PanelRig&) = delete;

    CameraPanel* Panel() const { return panel_; }

    // One listing as the host takes it; the item count.
    int List() const {
        PluginPanelItem* items = nullptr;
        int count = 0;
        panel_->GetFindData(&items, &count);
        benchmark::DoNotOptimize(items);
        panel_->FreeFindData(items, count);
        return count;
    }

private:
    hostkit::HostKit host_;
    FakeRegistry registry_;
    fakes::FakeSerialDevice device_;
    fakes::FakeSerialFactory factory_{device_};
    fakes::FakeSleeper sleeper_;
    ScopedPlatform scope_{
        Platform{.serial = &factory_, .sleeper = &sleeper_, .registry = &registry_}};
    fakes::FakeCamera camera_{device_};
    CameraPanel* panel_ = nullptr;
};

void Finish(benchmark::State& state, int items) {
    state.SetComplexityN(state.range(0));
    state.counters["items"] = items;
}

// The top level with the default folder template: ten pictures a day.
void GetFindDataFolders(benchmark::State& state) {
    const PanelRig rig(static_cast<uint32_t>(state.range(0)), 10);
    if (rig.Panel() == nullptr) {
        state.SkipWithError("the panel did not open");
        return;
    }
    int items = 0;
    for (auto _ : state) {
        items = rig.List();
    }
    Finish(state, items);
}

// Inside the last folder of the top-level listing.
void GetFindDataInsideFolder(benchmark::State& state) {
    const PanelRig rig(static_cast<uint32_t>(state.range(0)), 10);
    if (rig.Panel() == nullptr) {
        state.SkipWithError("the panel did not open");
        return;
    }
    rig.List();
    const std::string last = rig.Panel()->folders.back().name;
    if (rig.Panel()->SetDirectory(last.c_str()) != 1) {
        state.SkipWithError("no folder to enter");
        return;
    }
    int items = 0;
    for (auto _ : state) {
        items = rig.List();
    }
    Finish(state, items);
}

// Every picture at the top level (an empty folder template).
void GetFindDataFlat(benchmark::State& state) {
    const PanelRig rig(static_cast<uint32_t>(state.range(0)), 10, "");
    if (rig.Panel() == nullptr) {
        state.SkipWithError("the panel did not open");
        return;
    }
    int items = 0;
    for (auto _ : state) {
        items = rig.List();
    }
    Finish(state, items);
}

// The grouping alone; range(1) pictures a day, so 1 makes a folder of each.
void BuildFolders(benchmark::State& state) {
    const PanelRig rig(static_cast<uint32_t>(state.range(0)),
                       static_cast<uint32_t>(state.range(1)));
    if (rig.Panel() == nullptr) {
        state.SkipWithError("the panel did not open");
        return;
    }
    const PictureTable& table = rig.Panel()->camera->Table();
    size_t folders = 0;
    for (auto _ : state) {
        const FolderList list =
            BuildFolderList(HostNameRules(), "%2Y-%2M-%2D", PictureKind::Photo, table);
        folders = list.size();
        benchmark::DoNotOptimize(list.data());
    }
    Finish(state, static_cast<int>(folders));
}

// F5 on every folder of the top level: the transfer list of all pictures,
// folder after folder.
void CollectAllFolders(benchmark::State& state) {
    const PanelRig rig(static_cast<uint32_t>(state.range(0)), 10);
    if (rig.Panel() == nullptr) {
        state.SkipWithError("the panel did not open");
        return;
    }
    rig.List();
    const FolderList& folders = rig.Panel()->folders;
    std::vector<PanelItem> selected;
    for (const PictureFolder& folder : folders) {
        selected.push_back(PanelItem{folder.name, 0, {}, true});
    }
    NamingSettings naming;
    CopyBounded(naming.photoPath, "%2Y-%2M-%2D");
    const PictureTable& table = rig.Panel()->camera->Table();
    size_t count = 0;
    for (auto _ : state) {
        TransferList list;
        count = CollectSelection(HostNameRules(), selected, true, PictureKind::Photo, naming, table,
                                 list);
        benchmark::DoNotOptimize(list.data());
    }
    Finish(state, static_cast<int>(count));
}

// The name of the n-th numbered picture file of the default naming.
std::string NumberedName(uint32_t n) {
    return NumberedFileName("pic17.05.2002_", n, 5);
}

// The next number in a folder of range(0) numbered files, on the fake files.
void NextNumberInFakeFolder(benchmark::State& state) {
    FakeFileSystem files;
    files.AddFolder("D:\\photos");
    const auto count = static_cast<uint32_t>(state.range(0));
    for (uint32_t n = 1; n <= count; ++n) {
        files.AddFile("D:\\photos\\" + NumberedName(n));
    }
    hostkit::HostKit host;
    StartPlugin(host.MakeStartupInfo());
    ScopedPlatform scope(Platform{.files = &files});
    uint32_t next = 0;
    for (auto _ : state) {
        NextNumberInFolder(HostNameRules(), 5, "pic17.05.2002_", "D:\\photos\\", next);
        benchmark::DoNotOptimize(next);
    }
    ForgetHostRecords();
    state.SetComplexityN(state.range(0));
    state.counters["next"] = next;
}

// The same on a real folder through the POSIX file backend.
void NextNumberInRealFolder(benchmark::State& state) {
    namespace fs = std::filesystem;
    const auto count = static_cast<uint32_t>(state.range(0));
    const fs::path dir =
        fs::temp_directory_path() /
        ("pixlor-bench-listing-" + std::to_string(getpid()) + "-" + std::to_string(count));
    fs::create_directories(dir);
    for (uint32_t n = 1; n <= count; ++n) {
        std::ofstream(dir / NumberedName(n)).put('x');
    }
    hostkit::HostKit host;
    StartPlugin(host.MakeStartupInfo());
    const std::string folder = dir.string() + "/";
    uint32_t next = 0;
    for (auto _ : state) {
        if (NextNumberInFolder(HostNameRules(), 5, "pic17.05.2002_", folder, next) != 0) {
            state.SkipWithError("the folder could not be listed");
            break;
        }
        benchmark::DoNotOptimize(next);
    }
    ForgetHostRecords();
    fs::remove_all(dir);
    state.SetComplexityN(state.range(0));
    state.counters["next"] = next;
}

// The listing's own numbering over an other panel of range(0) files.
void NextNumberInOtherPanel(benchmark::State& state) {
    const auto count = static_cast<size_t>(state.range(0));
    std::vector<PluginPanelItem> items(count);
    for (size_t i = 0; i < count; ++i) {
        const std::string name = NumberedName(static_cast<uint32_t>(i + 1));
        std::copy_n(name.c_str(), name.size() + 1, items[i].FindData.cFileName);
    }
    PanelInfo other{};
    other.PanelItems = items.data();
    other.ItemsNumber = static_cast<int>(count);
    hostkit::HostKit host;
    StartPlugin(host.MakeStartupInfo());
    uint32_t next = 0;
    for (auto _ : state) {
        next = NextNumberInPanel(HostNameRules(), 5, "pic17.05.2002_", other);
        benchmark::DoNotOptimize(next);
    }
    ForgetHostRecords();
    state.SetComplexityN(state.range(0));
    state.counters["next"] = next;
}

BENCHMARK(GetFindDataFolders)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Complexity();
BENCHMARK(GetFindDataInsideFolder)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();
BENCHMARK(GetFindDataFlat)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Complexity();
BENCHMARK(BuildFolders)
    ->ArgNames({"pictures", "per_day"})
    ->Args({1000, 10})
    ->Args({10000, 10})
    ->Args({1000, 1})
    ->Args({10000, 1})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(CollectAllFolders)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Complexity();
BENCHMARK(NextNumberInFakeFolder)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();
BENCHMARK(NextNumberInRealFolder)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();
BENCHMARK(NextNumberInOtherPanel)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

} // namespace
} // namespace pixlor::bench

BENCHMARK_MAIN();
