#include "reliability/World.h"

#include <algorithm>

#include "configure/ConfigDialog.h"
#include "host/MessageIds.h"
#include "host/OpenPanels.h"
#include "plugin/Startup.h"
#include "settings/SettingsStore.h"

namespace pixlor::reliability {
namespace {

fakes::CameraFault CameraFaultOf(Sabotage s) {
    switch (s) {
    case Sabotage::Corrupt:
        return fakes::CameraFault::Corrupt;
    case Sabotage::Oversized:
        return fakes::CameraFault::Oversized;
    case Sabotage::Silent:
        return fakes::CameraFault::Silent;
    case Sabotage::Nak:
        return fakes::CameraFault::Nak;
    case Sabotage::Refuse:
        return fakes::CameraFault::Refuse;
    case Sabotage::Junk:
        return fakes::CameraFault::Junk;
    default:
        return fakes::CameraFault::None;
    }
}

bool IsPictureOf(const Bytes& bytes, const std::vector<fakes::FakePicture>& pictures) {
    return std::any_of(pictures.begin(), pictures.end(), [&](const fakes::FakePicture& p) {
        return bytes == p.photo || bytes == p.thumbnail;
    });
}

} // namespace

Saboteur::Saboteur(fakes::FakeSerialDevice& device, fakes::FakeCamera& camera)
    : device_(device), camera_(camera), cameraWrite_(device.onWrite), cameraRead_(device.onRead) {
    device_.onWrite = [this](fakes::FakeSerialDevice& d, std::span<const uint8_t> bytes) {
        OnWrite(d, bytes);
    };
    device_.onRead = [this](fakes::FakeSerialDevice& d) {
        if (!gone_) {
            cameraRead_(d);
        }
        if (d.inbound.empty()) {
            pending_.clear(); // the host waits in vain: the camera forgets a broken packet
        }
    };
}

Saboteur::~Saboteur() {
    device_.onWrite = cameraWrite_;
    device_.onRead = cameraRead_;
}

void Saboteur::Arm(const LineFault& fault) {
    Disarm();
    fault_ = fault;
    fired_ = false;
}

void Saboteur::Disarm() {
    fault_ = {};
    seen_ = 0;
    active_ = false;
    gone_ = false;
    camera_.faults.clear();
}

bool Saboteur::Matches(std::span<const uint8_t> payload) {
    if (payload.size() < 2) {
        return false;
    }
    switch (fault_.aim) {
    case Aim::GetRegister:
        return payload[0] == 0x01;
    case Aim::Select:
        return payload[0] == 0x00 && payload[1] == 4;
    case Aim::Info:
        return payload[0] == 0x04 && payload[1] == 0x2F;
    case Aim::Photo:
        return payload[0] == 0x04 && payload[1] == 0x0E;
    case Aim::Delete:
        return payload[0] == 0x02;
    }
    return false;
}

// The camera sees whole command packets only: a packet the host broke off
// (a failed write) is dropped when the host next waits in vain, as the
// camera's own idle timer would.
void Saboteur::OnWrite(fakes::FakeSerialDevice& device, std::span<const uint8_t> bytes) {
    for (uint8_t b : bytes) {
        if (pending_.empty() && b != 0x1B) {
            const uint8_t control[1] = {b};
            OnMessage(device, control, false);
            continue;
        }
        pending_.push_back(b);
        if (pending_.size() < 4) {
            continue;
        }
        const size_t n = pending_[2] | (pending_[3] << 8);
        if (pending_.size() == 4 + n + 2) {
            const std::vector<uint8_t> packet = std::move(pending_);
            pending_.clear();
            OnMessage(device, packet, true);
        }
    }
}

void Saboteur::OnMessage(fakes::FakeSerialDevice& device, std::span<const uint8_t> bytes,
                         bool command) {
    if (gone_) {
        return;
    }
    bool hit = active_;
    if (!hit && fault_.what != Sabotage::None && command && Matches(bytes.subspan(4)) &&
        ++seen_ == fault_.nth) {
        hit = true;
        fired_ = true;
        active_ = fault_.always;
    }
    if (!hit) {
        cameraWrite_(device, bytes);
        return;
    }
    ++injected_;
    switch (fault_.what) {
    case Sabotage::Cut: {
        const size_t before = device.inbound.size();
        cameraWrite_(device, bytes);
        const size_t answer = device.inbound.size() - before;
        device.inbound.resize(before + answer / 2);
        break;
    }
    case Sabotage::Vanish:
        cameraWrite_(device, bytes);
        gone_ = true;
        break;
    default:
        camera_.faults.push_front(CameraFaultOf(fault_.what));
        cameraWrite_(device, bytes);
        break;
    }
}

World::World(int pictures) : HostUser(kHostDir) {
    host.Start();
    BuildSettingsRoot("Software\\Far\\Plugins");
    std::fill(std::begin(portPresent), std::end(portPresent), uint8_t{0});
    portPresent[1] = 1;
    openPanelCount = 0;
    host.PassivePanel().curDir = kPhotos;
    NewDisk();
    for (int i = 0; i < pictures; ++i) {
        AddPicture();
    }
}

World::~World() {
    Close();
    std::fill(std::begin(portPresent), std::end(portPresent), uint8_t{0});
    openPanelCount = 0;
}

void World::AddPicture() {
    // Size and pattern seed together keep every picture's bytes its own.
    const uint32_t size = 2400 + nextSeed % 200;
    fake.AddPicture(fakes::FakePicture::Sized(size, 300, nextTime, nextSeed));
    nextSeed = static_cast<uint8_t>(nextSeed % 251 + 1);
    nextTime += 60;
    if (nextTime > k17May2002 + 50000) {
        nextTime = k17May2002; // stays on 17 May
    }
}

void World::Refill(size_t count) {
    while (fake.pictures.size() < count) {
        AddPicture();
    }
}

bool World::Heal() {
    line.Disarm();
    files->ClearFaults();
    return true;
}

std::vector<std::string> World::LeftOpen() const {
    std::vector<std::string> open;
    if (files->OpenFiles() != 0) {
        open.emplace_back("a file was left open");
    }
    if (registry.OpenHandles() != 0) {
        open.emplace_back("a registry key was left open");
    }
    return open;
}

void World::NewDisk() {
    filesScope.reset();
    files = std::make_unique<FakeFileSystem>();
    filesScope.emplace(Platform{.files = files.get()});
    files->AddFolder(kPhotos);
    files->AddFolder(kHostDir);
    seeds.clear();
}

void World::Seed(const std::string& path, const std::string& text) {
    files->AddFile(path, text);
    seeds[path] = text;
}

bool World::SeedsIntact() const {
    return std::all_of(seeds.begin(), seeds.end(),
                       [this](const auto& seed) { return files->Text(seed.first) == seed.second; });
}

size_t World::LostPictures(const std::vector<fakes::FakePicture>& before) const {
    size_t lost = 0;
    for (const fakes::FakePicture& p : before) {
        const bool inCamera =
            std::any_of(fake.pictures.begin(), fake.pictures.end(),
                        [&p](const fakes::FakePicture& q) { return q.photo == p.photo; });
        if (inCamera) {
            continue;
        }
        const std::vector<std::string> paths = files->FilePaths();
        const bool copied = std::any_of(paths.begin(), paths.end(), [&](const std::string& path) {
            return files->File(path)->bytes == p.photo;
        });
        lost += copied ? 0 : 1;
    }
    return lost;
}

bool World::AtDefaultSpeed() const {
    const bool cameraAt19200 = !fake.registers.contains(17) || fake.registers.at(17) == 0;
    const bool portAt19200 = !fake.registers.contains(17) || device.line.baudRate == 19200;
    const bool disconnected = panel == nullptr || !panel->camera->Connected();
    return cameraAt19200 && portAt19200 && disconnected;
}

size_t World::CompleteFiles(const std::vector<fakes::FakePicture>& pictures) const {
    size_t n = 0;
    for (const std::string& path : files->FilePaths()) {
        n += !seeds.contains(path) && IsPictureOf(files->File(path)->bytes, pictures) ? 1 : 0;
    }
    return n;
}

size_t World::PartialFiles(const std::vector<fakes::FakePicture>& pictures) const {
    size_t n = 0;
    for (const std::string& path : files->FilePaths()) {
        n += !seeds.contains(path) && !IsPictureOf(files->File(path)->bytes, pictures) ? 1 : 0;
    }
    return n;
}

void World::ClearRecords() {
    device.ClearRecord();
    fake.commands.clear();
    fake.controlBytes.clear();
    fake.speedIndexes.clear();
    fake.deleted.clear();
    sleeper.pauses.clear();
    registry.ClearCalls();
    host.Kit().messages.clear();
    host.Kit().dialogs.clear();
    host.Kit().controls.clear();
}

} // namespace pixlor::reliability
