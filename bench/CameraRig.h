// An emulated camera on a pseudo-terminal for one measurement: a private
// device folder (PIXLOR_DEVICES) whose com2 is the emulator, with pacing on so
// that bytes leave at the line's speed, and strict speeds as on a real line.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "tools/camsim/Simulator.h"

namespace pixlor::bench {

inline constexpr uint8_t kRigPort = 1; // COM2, the settings' default

class CameraRig {
public:
    // `traceFile`: where the emulator writes every byte both ways, with times.
    CameraRig(std::vector<camsim::Picture> pictures, uint32_t packetSize,
              const std::string& traceFile = {});
    ~CameraRig();
    CameraRig(const CameraRig&) = delete;
    CameraRig& operator=(const CameraRig&) = delete;

    bool Started() const { return started_; }
    const std::string& Error() const { return error_; }
    camsim::Simulator& Simulator() { return *sim_; }
    // A path in the rig's folder for a downloaded file.
    std::string File(const std::string& name) const { return (dir_ / name).string(); }

private:
    std::filesystem::path dir_;
    std::unique_ptr<camsim::Simulator> sim_;
    bool started_ = false;
    std::string error_;
};

// A picture whose photo is exactly `size` bytes (a sample JPEG padded or cut).
camsim::Picture PictureOfSize(std::size_t size, unsigned seed);
// `count` pictures with small photos and distinct dates, cheap to make: the
// panel's open reads only their information.
std::vector<camsim::Picture> CheapPictures(std::size_t count);

// Best and median of a few runs.
struct Spread {
    double best = 0;
    double median = 0;
};
Spread SpreadOf(std::vector<double> seconds);

double SecondsSince(std::chrono::steady_clock::time_point start);

} // namespace pixlor::bench
