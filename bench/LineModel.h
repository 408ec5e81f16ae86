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

// A running sum of pauses and line time.
class LineCost {
public:
    explicit LineCost(Counting counting = Counting::Sum) : counting_(counting) {}
    void Pause(double milliseconds) { seconds_ += milliseconds / 1000.0; }
    void Bytes(uint64_t count, uint32_t speed) { seconds_ += count / LineLimit(speed); }
    // The host's ACK of a data packet; `pauseFollows`: the host pauses next,
    // rather than waiting for the camera's answer to it.
    void Ack(uint32_t speed, bool pauseFollows);
    // A command packet of `payload` bytes: 5 ms, then three writes 1 ms apart,
    // up to its last byte on the line.
    void Command(uint32_t payload, uint32_t speed);
    double Seconds() const { return seconds_; }

private:
    Counting counting_;
    double seconds_ = 0;
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

} // namespace pixlor::bench
