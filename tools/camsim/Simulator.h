// The camera emulator in-process: a pseudo-terminal served by a background thread.
//
//   camsim::Options options;
//   options.pictures = camsim::SamplePictures(5);
//   camsim::Simulator sim(options);
//   if (!sim.Start("/tmp/x/ttyCOM1")) { ... sim.Error() ... }
//   ... open sim.SlavePath() (or the link) as the host ...
//   sim.HostSpeed();  // 115200 once the host has switched its line
//   sim.Pictures();   // what is left in the camera
//   sim.Stop();       // or let the destructor do it
#pragma once

#include "tools/camsim/CameraSimulator.h"
#include "tools/camsim/Faults.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace camsim {

struct Options {
    std::vector<Picture> pictures;
    CameraConfig camera;
    std::vector<Fault> faults;
    // Bytes leave at the camera's line speed (10 bits a byte) instead of at once.
    bool pace = false;
    // Bytes that arrive while the host's line speed differs from the camera's are lost,
    // as on a real line.
    bool strictSpeed = false;
    // The completion byte of an action goes out once the host has discarded its input
    // after reading the ACK, or after this long if no discard is seen.
    std::chrono::milliseconds completionFallback{200};
    // Make the pty the process's controlling terminal (the command line tool, which
    // runs in its own session; never in a test process).
    bool controllingTerminal = false;
    std::string traceFile; // every byte both ways, appended as it happens
    std::string stateFile; // what is left in the camera, rewritten after each deletion
                           // and on Stop
};

// One line of the trace: "  12.345678 > 1B 43 02 00 01 0A 0B 00".
// '>' host to camera, '<' camera to host, '*' an event (line speed, purge, vanish).
struct TraceLine {
    Clock::time_point when{};
    char direction = '*';
    Bytes bytes;
    std::string note;
};
std::string FormatTraceLine(const TraceLine& line, Clock::time_point start);

class Simulator {
public:
    explicit Simulator(Options options);
    ~Simulator(); // Stop()
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    // Creates the pty (raw, no XON/XOFF), links `linkPath` to its slave (unless empty;
    // an existing symlink is replaced, any other file is left alone and Start fails) and
    // serves in a background thread. False with Error() on failure.
    bool Start(const std::string& linkPath = {});
    // Stops serving, writes the state file, closes the pty, removes the link.
    void Stop();
    bool Running() const; // false after Stop or after a `vanish` fault fired
    const std::string& Error() const { return error_; }
    const std::string& SlavePath() const { return slavePath_; }

    // Thread-safe snapshots and controls.
    std::vector<PictureSummary> Pictures() const;
    std::vector<Picture> PictureData() const;
    std::uint32_t HostSpeed() const;      // the host's line speed, read now from the pty
    std::uint32_t CameraSpeed() const;    // the camera's own notion of the line speed
    std::uint32_t Selected() const;       // register 4
    bool AddFault(std::string_view text); // false if it does not parse
    void AddFault(const Fault& fault);
    // The camera works again: every fault is forgotten and the answers they held
    // back (delayed, slow) are dropped unsent.
    void ClearFaults();
    std::vector<camsim::Received> Received() const; // every unit the host sent
    std::vector<TraceLine> Trace() const;
    std::vector<std::string> TraceText() const;

    // Waits until HostSpeed() == speed; false on time-out.
    bool WaitForHostSpeed(std::uint32_t speed, std::chrono::milliseconds timeout) const;
    // Waits until at least `count` units have been received; false on time-out.
    bool WaitForReceived(std::size_t count, std::chrono::milliseconds timeout) const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    std::string error_;
    std::string slavePath_;
};

// Writes the state file format: "count N" then one line a picture:
// "picture NUMBER photo SIZE thumb SIZE time T crc HEX thumbcrc HEX" (T decimal; the
// sizes are the bytes held).
bool WriteStateFile(const std::string& path, const std::vector<PictureSummary>& pictures);

} // namespace camsim
