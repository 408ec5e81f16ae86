// The whole plugin over fakes, rebuilt as often as a test likes: the host, the
// registry, a disk, the serial line with the camera behind it, and a line
// saboteur that makes the camera misbehave at a chosen message. No real time
// passes. Used by the fault matrix, the k-loop and the soak.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "fakes/FakeCamera.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeConsole.h"
#include "fakes/FakeFileSystem.h"
#include "fakes/FakeKeyboard.h"
#include "fakes/FakeRegistry.h"
#include "fakes/FakeSerialDevice.h"
#include "fakes/FakeSleeper.h"
#include "platform/Platform.h"
#include "plugin/CameraPanel.h"
#include "reliability/HostUser.h"

namespace pixlor::reliability {

using Bytes = std::vector<uint8_t>;

inline constexpr uint32_t k17May2002 = 1021626330; // 2002-05-17 09:05:30 UTC
inline constexpr const char* kPhotos = "D:\\Photos";
inline constexpr const char* kDated = "D:\\Photos\\02-05-17";
inline constexpr const char* kHostDir = "D:\\Host";

// What the camera gets wrong.
enum class Sabotage {
    None,
    Corrupt,   // a data packet's checksum is off
    Cut,       // the answer stops halfway (the rest never comes)
    Oversized, // a data packet header announcing 32762 bytes
    Silent,    // the answer is lost (a time-out)
    Nak,       // NAK instead of the answer
    Refuse,    // 0x11 instead of the answer
    Junk,      // an unexpected byte instead of the answer
    Vanish,    // the camera answers this message, then is gone for good
};

// Which host message it hits.
enum class Aim {
    GetRegister, // 0x01
    Select,      // register 4
    Info,        // request 0x2F
    Photo,       // request 0x0E
    Delete,      // an action
};

struct LineFault {
    Sabotage what = Sabotage::None;
    Aim aim = Aim::Photo;
    int nth = 1;         // the nth matching message from arming (from 1)
    bool always = false; // every message from the first hit on
};

// Sits between the host's writes and the fake camera.
class Saboteur {
public:
    Saboteur(fakes::FakeSerialDevice& device, fakes::FakeCamera& camera);
    ~Saboteur();
    void Arm(const LineFault& fault);
    void Disarm();
    bool Fired() const { return fired_; }
    int FaultsInjected() const { return injected_; }

private:
    void OnWrite(fakes::FakeSerialDevice& device, std::span<const uint8_t> bytes);
    void OnMessage(fakes::FakeSerialDevice& device, std::span<const uint8_t> bytes, bool command);
    bool Matches(std::span<const uint8_t> payload);

    fakes::FakeSerialDevice& device_;
    fakes::FakeCamera& camera_;
    std::function<void(fakes::FakeSerialDevice&, std::span<const uint8_t>)> cameraWrite_;
    std::function<void(fakes::FakeSerialDevice&)> cameraRead_;
    LineFault fault_;
    std::vector<uint8_t> pending_; // an incomplete command packet
    int seen_ = 0;
    bool fired_ = false;
    bool active_ = false; // `always` after the first hit
    bool gone_ = false;
    int injected_ = 0;
};

class World : public HostUser {
public:
    using PictureList = std::vector<fakes::FakePicture>;

    explicit World(int pictures = 2);
    ~World();

    // A new picture of 17 May with its own bytes (2500 photo bytes: three packets).
    void AddPicture();
    // Adds pictures until the camera holds `count`.
    void Refill(size_t count);
    // A fresh, empty disk with D:\Photos and D:\Host (a soak keeps memory flat so).
    void NewDisk();
    void Seed(const std::string& path, const std::string& text);
    std::string PhotosDir() const { return kPhotos; }
    std::string HostDir() const { return kHostDir; }
    std::string DatedDir() const { return kDated; }
    static std::string Join(const std::string& dir, const std::string& name) {
        return dir + "\\" + name;
    }
    // The fault is gone (line and disk); true: the panel can go on.
    bool Heal();

    // Observations.
    bool SeedsIntact() const;
    // Every picture that left the camera lies complete on the disk.
    bool NothingLost(const std::vector<fakes::FakePicture>& before) const {
        return LostPictures(before) == 0;
    }
    size_t LostPictures(const std::vector<fakes::FakePicture>& before) const;
    // The camera and the port are at 19200 bit/s and the panel's camera disconnected.
    bool AtDefaultSpeed() const;
    bool Empty() const { return fake.pictures.empty(); }
    size_t CompleteFiles(const std::vector<fakes::FakePicture>& pictures) const;
    size_t PartialFiles(const std::vector<fakes::FakePicture>& pictures) const;
    const PictureList& Pictures() const { return fake.pictures; }
    // What no operation may leave open: files, registry keys.
    std::vector<std::string> LeftOpen() const;
    // Every pause ran inside an operation (where the Windows sleeper holds its
    // precise timer), and every operation begun has ended.
    bool TimingBalanced() const { return sleeper.operations == 0 && sleeper.pausesOutside == 0; }
    void ClearRecords();

    FakeRegistry registry;
    fakes::FakeSerialDevice device;
    fakes::FakeSerialFactory factory{device};
    fakes::FakeSleeper sleeper;
    FakeClock clock{k17May2002};
    FakeConsole console;
    FakeKeyboard keyboard;
    ScopedPlatform scope{Platform{.serial = &factory,
                                  .sleeper = &sleeper,
                                  .clock = &clock,
                                  .registry = &registry,
                                  .console = &console,
                                  .keyboard = &keyboard}};
    std::unique_ptr<FakeFileSystem> files;
    std::optional<ScopedPlatform> filesScope;
    fakes::FakeCamera fake{device};
    Saboteur line{device, fake};
    std::map<std::string, std::string> seeds;
    uint8_t nextSeed = 1;
    uint32_t nextTime = k17May2002;
};

} // namespace pixlor::reliability
