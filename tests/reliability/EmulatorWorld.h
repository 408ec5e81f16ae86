// The whole plugin over the real line: the host and the console are fakes, but
// the serial port, the registry file and the files are the POSIX backend's, in a
// folder of their own, and the camera is the emulator on a pseudo-terminal as
// COM2. Real pauses and time-outs: the over-the-line counterpart of World.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "fakes/FakeConsole.h"
#include "fakes/FakeKeyboard.h"
#include "platform/Platform.h"
#include "reliability/HostUser.h"
#include "tools/camsim/Simulator.h"

namespace pixlor::reliability {

class EmulatorWorld : public HostUser {
public:
    using PictureList = std::vector<camsim::Picture>;

    // Pictures of about 2.7 KB in packets of 1 KiB (three a picture), no pacing:
    // only the plugin's pauses and time-outs cost time.
    static camsim::CameraConfig SmallPackets();

    explicit EmulatorWorld(size_t pictures = 2, camsim::CameraConfig config = SmallPackets());
    ~EmulatorWorld();

    // False, with StartError(), when the camera could not be started.
    bool Started() const { return sim != nullptr && sim->Running(); }
    const std::string& StartError() const { return startError_; }
    // The camera switched off and on: these pictures, no faults, at 19200 bit/s, on
    // a new pseudo-terminal behind COM2 (an open panel's port is gone with the old one).
    bool StartCamera(PictureList pictures);
    // A new picture of 17 May with bytes of its own.
    camsim::Picture NewPicture();
    // Restarts the camera (a fresh emulator, so its logs do not grow) with new
    // pictures added until it holds `count`. The panel must be closed.
    void Refill(size_t count);
    // Forgets the host's boxes, dialogs and panel controls so far.
    void ClearRecords();
    // Empty photo and host folders.
    void NewDisk();
    void Seed(const std::string& path, const std::string& text);
    std::string PhotosDir() const { return (dir / "photos").string(); }
    std::string HostDir() const { return (dir / "host").string(); }
    std::string DatedDir() const { return (dir / "photos" / "02-05-17").string(); }
    static std::string Join(const std::string& folder, const std::string& name) {
        return folder + "/" + name;
    }
    // The camera's data packets for the picture at `index` (from 0).
    size_t PacketsOf(size_t index) const;
    // The fault is gone. A camera left at the high speed (a broken line hands
    // nothing back) stays so: the next connection finds it there. A camera
    // that is gone is connected again (started anew with its pictures), which
    // closes the panel first. True when the panel can go on.
    bool Heal();
    int reconnected = 0; // times Heal had to bring a camera that was gone back

    // Observations, as World's.
    PictureList Pictures() const { return sim->PictureData(); }
    bool SeedsIntact() const;
    bool NothingLost(const PictureList& before) const { return LostPictures(before) == 0; }
    size_t LostPictures(const PictureList& before) const;
    // The host's line and the camera at 19200 bit/s and the panel's camera disconnected.
    bool AtDefaultSpeed() const;
    size_t CompleteFiles(const PictureList& pictures) const;
    size_t PartialFiles(const PictureList& pictures) const;
    // Descriptors left open beyond the panel's port.
    std::vector<std::string> LeftOpen() const;
    // The real sleeper here keeps no operations (World checks them).
    bool TimingBalanced() const { return true; }

    std::filesystem::path dir;
    camsim::CameraConfig config;
    std::unique_ptr<camsim::Simulator> sim;
    std::map<std::string, std::string> seeds;
    FakeConsole console;
    FakeKeyboard keyboard;
    ScopedPlatform scope{Platform{.console = &console, .keyboard = &keyboard}};

private:
    std::vector<std::vector<uint8_t>> Written() const; // every file but the seeds
    std::string startError_;
    unsigned nextSeed_ = 1;
    uint32_t nextTime_;
    size_t baseDescriptors_ = 0;
};

} // namespace pixlor::reliability
