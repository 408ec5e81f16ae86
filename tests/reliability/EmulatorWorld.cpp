#include "reliability/EmulatorWorld.h"

#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#include "host/OpenPanels.h"
#include "plugin/Startup.h"
#include "settings/SettingsStore.h"
#include "tools/camsim/SamplePictures.h"

namespace pixlor::reliability {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

constexpr uint32_t k17May2002At10 = 1021629600; // 2002-05-17 10:00:00 UTC

Bytes ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

size_t Descriptors() {
    size_t n = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator("/proc/self/fd")) {
        ++n;
    }
    return n;
}

bool IsPictureOf(const Bytes& bytes, const EmulatorWorld::PictureList& pictures) {
    return std::any_of(pictures.begin(), pictures.end(), [&](const camsim::Picture& p) {
        return bytes == p.photo || bytes == p.thumbnail;
    });
}

} // namespace

camsim::CameraConfig EmulatorWorld::SmallPackets() {
    camsim::CameraConfig config;
    config.packetSize = 1024;
    return config;
}

EmulatorWorld::EmulatorWorld(size_t pictures, camsim::CameraConfig cameraConfig)
    : HostUser(
          (fs::temp_directory_path() / ("pixlor-emulator-" + std::to_string(getpid())) / "host")
              .string()),
      dir(fs::temp_directory_path() / ("pixlor-emulator-" + std::to_string(getpid()))),
      config(cameraConfig), nextTime_(k17May2002At10) {
    fs::remove_all(dir);
    fs::create_directories(dir / "dev");
    NewDisk();
    setenv("PIXLOR_DEVICES", (dir / "dev").c_str(), 1);
    setenv("PIXLOR_REGISTRY", (dir / "registry.reg").c_str(), 1);
    host.Start();
    BuildSettingsRoot("Software\\Far\\Plugins");
    std::fill(std::begin(portPresent), std::end(portPresent), uint8_t{0});
    portPresent[1] = 1;
    openPanelCount = 0;
    host.PassivePanel().curDir = PhotosDir();
    PictureList list;
    for (size_t i = 0; i < pictures; ++i) {
        list.push_back(NewPicture());
    }
    StartCamera(std::move(list));
    baseDescriptors_ = Descriptors();
}

EmulatorWorld::~EmulatorWorld() {
    Close();
    sim.reset();
    std::fill(std::begin(portPresent), std::end(portPresent), uint8_t{0});
    openPanelCount = 0;
    unsetenv("PIXLOR_DEVICES");
    unsetenv("PIXLOR_REGISTRY");
    std::error_code ignored;
    fs::remove_all(dir, ignored);
}

bool EmulatorWorld::StartCamera(PictureList pictures) {
    sim.reset();
    camsim::Options options;
    options.pictures = std::move(pictures);
    options.camera = config;
    options.strictSpeed = true;
    sim = std::make_unique<camsim::Simulator>(options);
    if (!sim->Start((dir / "dev" / "com2").string())) {
        startError_ = sim->Error();
        return false;
    }
    return true;
}

camsim::Picture EmulatorWorld::NewPicture() {
    camsim::Picture p;
    p.photo = camsim::MakeJpeg(48, 32, nextSeed_);
    camsim::ResizePhoto(p, 2600 + nextSeed_ % 193); // the size sets the pattern apart, too
    p.thumbnail = camsim::MakeJpeg(8, 8, nextSeed_);
    p.time = nextTime_;
    ++nextSeed_;
    nextTime_ += 60;
    if (nextTime_ > k17May2002At10 + 40000) {
        nextTime_ = k17May2002At10; // stays on 17 May
    }
    return p;
}

void EmulatorWorld::Refill(size_t count) {
    PictureList pictures = Pictures();
    while (pictures.size() < count) {
        pictures.push_back(NewPicture());
    }
    StartCamera(std::move(pictures));
}

void EmulatorWorld::ClearRecords() {
    host.Kit().messages.clear();
    host.Kit().dialogs.clear();
    host.Kit().controls.clear();
}

void EmulatorWorld::NewDisk() {
    fs::remove_all(dir / "photos");
    fs::remove_all(dir / "host");
    fs::create_directories(dir / "photos");
    fs::create_directories(dir / "host");
    seeds.clear();
}

void EmulatorWorld::Seed(const std::string& path, const std::string& text) {
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << text;
    seeds[path] = text;
}

size_t EmulatorWorld::PacketsOf(size_t index) const {
    const size_t size = sim->PictureData().at(index).photo.size();
    return (size + config.packetSize - 1) / config.packetSize;
}

bool EmulatorWorld::Heal() {
    if (sim->Running()) {
        sim->ClearFaults(); // also a camera left at the high speed: the next wake-up finds it
        return true;
    }
    Close();
    StartCamera(Pictures());
    ++reconnected;
    return false;
}

bool EmulatorWorld::SeedsIntact() const {
    return std::all_of(seeds.begin(), seeds.end(), [](const auto& seed) {
        const Bytes bytes = ReadFile(seed.first);
        return std::string(bytes.begin(), bytes.end()) == seed.second;
    });
}

std::vector<Bytes> EmulatorWorld::Written() const {
    std::vector<Bytes> files;
    for (const char* folder : {"photos", "host"}) {
        for (const auto& entry : fs::recursive_directory_iterator(dir / folder)) {
            if (entry.is_regular_file() && !seeds.contains(entry.path().string())) {
                files.push_back(ReadFile(entry.path()));
            }
        }
    }
    return files;
}

size_t EmulatorWorld::LostPictures(const PictureList& before) const {
    const PictureList now = Pictures();
    const std::vector<Bytes> files = Written();
    size_t lost = 0;
    for (const camsim::Picture& p : before) {
        const bool inCamera = std::any_of(
            now.begin(), now.end(), [&p](const camsim::Picture& q) { return q.photo == p.photo; });
        const bool copied = std::find(files.begin(), files.end(), p.photo) != files.end();
        lost += inCamera || copied ? 0 : 1;
    }
    return lost;
}

bool EmulatorWorld::AtDefaultSpeed() const {
    const bool disconnected = panel == nullptr || !panel->camera->Connected();
    return sim->WaitForHostSpeed(19200, std::chrono::milliseconds(2000)) &&
           sim->CameraSpeed() == 19200 && disconnected;
}

size_t EmulatorWorld::CompleteFiles(const PictureList& pictures) const {
    const std::vector<Bytes> files = Written();
    return static_cast<size_t>(std::count_if(
        files.begin(), files.end(), [&](const Bytes& f) { return IsPictureOf(f, pictures); }));
}

size_t EmulatorWorld::PartialFiles(const PictureList& pictures) const {
    return Written().size() - CompleteFiles(pictures);
}

std::vector<std::string> EmulatorWorld::LeftOpen() const {
    // The open panel holds its port; a camera that vanished took its end along.
    if (Descriptors() > baseDescriptors_ + (IsOpen() ? 1 : 0)) {
        return {"a descriptor (file, registry file or port) was left open"};
    }
    return {};
}

} // namespace pixlor::reliability
