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

// A running sum of pauses and line time.
class LineCost {
public:
    void Pause(double milliseconds) { seconds_ += milliseconds / 1000.0; }
    void Bytes(uint64_t count, uint32_t speed) { seconds_ += count / LineLimit(speed); }
    double Seconds() const { return seconds_; }

private:
    double seconds_ = 0;
};

// The command primitives as the link sends them: 5 ms, then three writes 1 ms
// apart; the answer, and the host's ACK after a data packet.
void AddSetRegister(LineCost& cost, uint32_t speed);
void AddGetRegister(LineCost& cost, uint32_t speed);
// A data request whose answer is one data packet of `answerPayload` bytes,
// acknowledged.
void AddRequest(LineCost& cost, uint32_t answerPayload, uint32_t speed);

// The data packets of a picture and one ACK a packet, from the first packet's
// first byte to the last ACK.
double TransferMinimum(uint64_t size, uint32_t packetSize, uint32_t speed);
// The whole download as Camera::DownloadPicture makes it on a connected
// camera whose picture is selected and known: the request, then the packets.
double DownloadMinimum(uint64_t size, uint32_t packetSize, uint32_t speed);

// Opening a panel on a camera of `pictures` pictures (at least 1) that has
// just been attached: the count (a connection of its own, handed back), then
// the information of every picture in one connection, handed back after the
// last. Handshakes at 19200 bit/s, the rest at `speed`.
double OpenMinimum(uint32_t pictures, uint32_t speed);

} // namespace pixlor::bench
