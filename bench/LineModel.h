// What the protocol cannot go below: its prescribed pauses plus every byte of
// every exchange at the line's speed (8N1: 10 bit times a byte). The benchmarks
// divide what they measure by these figures.
#pragma once

#include <cstdint>

namespace pixlor::bench {

// Bytes a second that a line of `speed` bit/s carries at most.
double LineLimit(uint32_t speed);

// Data packets of a picture of `size` bytes in payloads of `packetSize`; an
// empty picture still takes one (empty) last packet.
uint64_t PacketCount(uint64_t size, uint32_t packetSize);

// How the minimum counts. `Sum` adds every pause and every byte. `Overlap`
// lets the bytes a write leaves on the line cross during the pause after it,
// as a serial line does: the first two pieces of a command during its 1 ms
// pauses, and an ACK that a pause follows during that pause. `Sum` is the
// simpler figure; `Overlap` the tighter bound.
enum class Counting { Sum, Overlap };

// Windows' default system timer: 64 Hz, a tick of 15.625 ms.
inline constexpr double kDefaultTimerTickMs = 1000.0 / 64;

// A running sum of pauses and line time. With a `tickMs`, every pause lasts
// until the system timer's next tick at or after its end, as Sleep does on a
// timer of that period (a model of the worst case: Sleep(1) lasts a tick).
class LineCost {
public:
    explicit LineCost(Counting counting = Counting::Sum, double tickMs = 0)
        : counting_(counting), tickMs_(tickMs) {}
    void Pause(double milliseconds);
    void Bytes(uint64_t count, uint32_t speed) { seconds_ += count / LineLimit(speed); }
    // The host's ACK of a data packet; `pauseFollows`: the host pauses next,
    // rather than waiting for the camera's answer to it.
    void Ack(uint32_t speed, bool pauseFollows);
    // A command packet of `payload` bytes: 5 ms, then three writes 1 ms apart,
    // up to its last byte on the line.
    void Command(uint32_t payload, uint32_t speed);
    double Seconds() const { return seconds_; }
    // Pauses so far, and those of less than 10 ms (the commands' 1 and 5 ms).
    uint64_t Pauses() const { return pauses_; }
    uint64_t ShortPauses() const { return shortPauses_; }

private:
    Counting counting_;
    double tickMs_;
    double seconds_ = 0;
    uint64_t pauses_ = 0;
    uint64_t shortPauses_ = 0;
};

// The command primitives as the link sends them, with their answers, and the
// host's ACK after a data packet.
void AddSetRegister(LineCost& cost, uint32_t speed);
void AddGetRegister(LineCost& cost, uint32_t speed);
// A data request whose answer is one data packet of `answerPayload` bytes,
// acknowledged.
void AddRequest(LineCost& cost, uint32_t answerPayload, uint32_t speed);

// The data packets of a picture and one ACK a packet, from the first packet's
// first byte to the last ACK.
double TransferMinimum(uint64_t size, uint32_t packetSize, uint32_t speed,
                       Counting counting = Counting::Sum);
// The whole download as Camera::DownloadPicture makes it on a connected
// camera whose picture is selected and known: the request, then the packets.
double DownloadMinimum(uint64_t size, uint32_t packetSize, uint32_t speed,
                       Counting counting = Counting::Sum);

// Opening a panel on a camera of `pictures` pictures (at least 1) that has
// just been attached: the count (a connection of its own, handed back), then
// the information of every picture in one connection, handed back after the
// last. Handshakes at 19200 bit/s, the rest at `speed`.
double OpenMinimum(uint32_t pictures, uint32_t speed, Counting counting = Counting::Sum);
// The same opening summed with every pause on a system timer of `tickMs`
// (Counting::Sum; 0: the pauses as prescribed), with its pauses counted.
LineCost OpenCost(uint32_t pictures, uint32_t speed, double tickMs);

} // namespace pixlor::bench
