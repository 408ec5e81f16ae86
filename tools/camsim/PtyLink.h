// The camera's end of the line: a pseudo-terminal whose slave side the host opens.
#pragma once

#include "tools/camsim/CameraSimulator.h"

#include <atomic>
#include <cstdint>
#include <span>
#include <string>

namespace camsim {

// When the first `sent` bytes of a burst that began at `start` have left a line of
// `speed` bit/s (8N1: 10 bits a byte). Scheduled from the start, so chunks never drift.
Clock::time_point PaceDeadline(Clock::time_point start, std::uint64_t sent, std::uint32_t speed);

// Bytes of one paced write: about 10 ms of line time.
std::size_t PaceChunk(std::uint32_t speed);

class PtyLink {
public:
    PtyLink() = default;
    ~PtyLink() { Close(); }
    PtyLink(const PtyLink&) = delete;
    PtyLink& operator=(const PtyLink&) = delete;

    // Creates the pty in raw mode without XON/XOFF at 19200 bit/s, keeps the slave open
    // (so master reads never see EIO between host sessions), turns on packet mode to see
    // the host's purges, and links `linkPath` to the slave (unless empty). An existing
    // symlink at `linkPath` is replaced; any other file there makes Open fail.
    bool Open(const std::string& linkPath, bool controllingTerminal, std::string& error);
    // Closes both sides and removes the link if it still points at this pty.
    void Close();
    bool IsOpen() const { return master_ >= 0; }
    int MasterFd() const { return master_; }
    const std::string& SlavePath() const { return slavePath_; }

    // The host's line speed (the slave's termios, as the master reports it); 0 if closed.
    std::uint32_t HostSpeed() const;

    // Reads what is queued without blocking: the host's bytes into `data`; `purged` is
    // set when the host discarded its input queue. False when nothing could be read.
    bool Read(Bytes& data, bool& purged);

    // Writes every byte; paced at `speed` when `pace`, the line time starting at
    // `lineStart` (or when the line is free, if later): a writer that wakes late
    // catches up instead of adding its own latency to the line. Gives up (false)
    // on an error or when `stop` becomes true.
    bool Write(std::span<const std::uint8_t> bytes, std::uint32_t speed, bool pace,
               const std::atomic<bool>& stop, Clock::time_point lineStart = {});

    // Waits until the host has read what was written (at most `timeout`): closing the
    // master discards whatever the host has not read yet.
    void WaitDrained(std::chrono::milliseconds timeout) const;

private:
    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
    std::string linkPath_;
    Clock::time_point lineFreeAt_{};
};

} // namespace camsim
