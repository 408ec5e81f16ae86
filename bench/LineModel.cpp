#include "bench/LineModel.h"

#include <algorithm>
#include <cmath>

namespace pixlor::bench {
namespace {

constexpr uint32_t kHandshakeSpeed = 19200;
constexpr uint32_t kFraming = 6;         // a packet's type, marker, length and checksum
constexpr uint32_t kRegisterPayload = 4; // the value a register read returns
constexpr uint32_t kInfoPayload = 24;    // a picture's information record

// A handshake answered by its first probe.
void AddHandshake(LineCost& cost, bool first) {
    if (first) {
        cost.Pause(500); // before the port is opened
        cost.Pause(100); // before the first purge
    }
    cost.Pause(100);                    // before the probe
    cost.Bytes(1 + 1, kHandshakeSpeed); // the probe and its NAK
}

// Register 17 is written at the speed in force; the ACK still comes at it.
void AddConnect(LineCost& cost, bool first, uint32_t speed) {
    AddHandshake(cost, first);
    AddSetRegister(cost, kHandshakeSpeed);
    AddGetRegister(cost, speed); // the check read of register 1
}

// Opening a panel: the count in a connection of its own, then every
// picture's information in one connection.
void AddOpen(LineCost& cost, uint32_t pictures, uint32_t speed) {
    // The count, in a connection of its own.
    AddConnect(cost, true, speed);
    AddGetRegister(cost, speed);
    AddSetRegister(cost, speed); // register 17 back to 0, acknowledged at `speed`
    // Every picture's information in one connection.
    AddConnect(cost, false, speed);
    for (uint32_t n = 1; n <= pictures; ++n) {
        AddSetRegister(cost, speed); // register 4
        AddRequest(cost, kInfoPayload, speed);
    }
    AddSetRegister(cost, speed);
}

} // namespace

double LineLimit(uint32_t speed) {
    return speed / 10.0;
}

uint64_t PacketCount(uint64_t size, uint32_t packetSize) {
    if (size == 0 || packetSize == 0) {
        return 1;
    }
    return (size + packetSize - 1) / packetSize;
}

void LineCost::Pause(double milliseconds) {
    ++pauses_;
    shortPauses_ += milliseconds < 10 ? 1 : 0;
    const double lasts =
        tickMs_ > 0 ? std::ceil(milliseconds / tickMs_ - 1e-9) * tickMs_ : milliseconds;
    seconds_ += lasts / 1000.0;
}

void LineCost::Ack(uint32_t speed, bool pauseFollows) {
    if (counting_ == Counting::Sum || !pauseFollows) {
        Bytes(1, speed);
    }
}

void LineCost::Command(uint32_t payload, uint32_t speed) {
    Pause(5);
    if (counting_ == Counting::Sum) {
        Pause(1);
        Pause(1);
        Bytes(kFraming + payload, speed);
        return;
    }
    // The pieces queue on the line: each starts when it is written or when the
    // one before has left, whichever is later.
    const double byte = 1 / LineLimit(speed);
    const double first = 1 * byte;
    const double second = std::max(0.001, first) + 3 * byte;
    const double third = std::max(0.002, second) + (payload + 2) * byte;
    seconds_ += third;
}

void AddSetRegister(LineCost& cost, uint32_t speed) {
    cost.Command(6, speed);
    cost.Bytes(1, speed); // ACK
}

void AddGetRegister(LineCost& cost, uint32_t speed) {
    AddRequest(cost, kRegisterPayload, speed);
}

void AddRequest(LineCost& cost, uint32_t answerPayload, uint32_t speed) {
    cost.Command(2, speed);
    cost.Bytes(kFraming + answerPayload, speed); // the data packet
    cost.Ack(speed, true);                       // the next command's pause follows
}

double TransferMinimum(uint64_t size, uint32_t packetSize, uint32_t speed, Counting counting) {
    LineCost cost(counting);
    const uint64_t packets = PacketCount(size, packetSize);
    cost.Bytes(size + kFraming * packets, speed);
    for (uint64_t p = 1; p < packets; ++p) {
        cost.Ack(speed, false); // the camera waits for it
    }
    cost.Ack(speed, true); // the last: nothing waits for it
    return cost.Seconds();
}

double DownloadMinimum(uint64_t size, uint32_t packetSize, uint32_t speed, Counting counting) {
    LineCost cost(counting);
    cost.Command(2, speed); // the request; its answer is the first packet
    return cost.Seconds() + TransferMinimum(size, packetSize, speed, counting);
}

double OpenMinimum(uint32_t pictures, uint32_t speed, Counting counting) {
    if (counting == Counting::Sum) {
        return OpenCost(pictures, speed, 0).Seconds();
    }
    LineCost cost(counting);
    AddOpen(cost, pictures, speed);
    return cost.Seconds();
}

LineCost OpenCost(uint32_t pictures, uint32_t speed, double tickMs) {
    LineCost cost(Counting::Sum, tickMs);
    AddOpen(cost, pictures, speed);
    return cost;
}

} // namespace pixlor::bench
