#include "bench/LineModel.h"

namespace pixlor::bench {
namespace {

constexpr uint32_t kHandshakeSpeed = 19200;
constexpr uint32_t kFraming = 6;         // a packet's type, marker, length and checksum
constexpr uint32_t kRegisterPayload = 4; // the value a register read returns
constexpr uint32_t kInfoPayload = 24;    // a picture's information record

// The pause before a command and the two between its three writes.
void AddCommand(LineCost& cost, uint32_t payload, uint32_t speed) {
    cost.Pause(5 + 1 + 1);
    cost.Bytes(kFraming + payload, speed);
}

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

void AddSetRegister(LineCost& cost, uint32_t speed) {
    AddCommand(cost, 6, speed);
    cost.Bytes(1, speed); // ACK
}

void AddGetRegister(LineCost& cost, uint32_t speed) {
    AddRequest(cost, kRegisterPayload, speed);
}

void AddRequest(LineCost& cost, uint32_t answerPayload, uint32_t speed) {
    AddCommand(cost, 2, speed);
    cost.Bytes(kFraming + answerPayload + 1, speed); // the data packet and its ACK
}

double TransferMinimum(uint64_t size, uint32_t packetSize, uint32_t speed) {
    LineCost cost;
    cost.Bytes(size + (kFraming + 1) * PacketCount(size, packetSize), speed);
    return cost.Seconds();
}

double DownloadMinimum(uint64_t size, uint32_t packetSize, uint32_t speed) {
    LineCost cost;
    AddCommand(cost, 2, speed); // the request; its answer is the first packet
    return cost.Seconds() + TransferMinimum(size, packetSize, speed);
}

double OpenMinimum(uint32_t pictures, uint32_t speed) {
    LineCost cost;
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
    return cost.Seconds();
}

} // namespace pixlor::bench
